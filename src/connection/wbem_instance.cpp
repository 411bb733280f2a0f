#include "wbem_instance.h"

#include "common/win/com_error.h"

namespace mardonel {

unique_variant CWbemInstance::GetProperty(const wchar_t* name) const {
  if (!object_) throw ComError(E_POINTER);
  unique_variant value;
  ThrowIfFailed(object_->Get(name, 0, value.put(), nullptr, nullptr));
  return value;
}

}  // namespace mardonel
