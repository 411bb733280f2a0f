#include "connection/wbem_instance.h"

namespace mardonel {

unique_variant CWbemInstance::GetProperty(const wchar_t* name) const {
  if (!object_) throw E_POINTER;
  unique_variant value;
  const HRESULT result = object_->Get(name, 0, value.put(), nullptr, nullptr);
  if (FAILED(result)) throw result;
  return unique_variant(value.get());
}

}  // namespace mardonel
