#include "wbem_instance.h"

namespace mardonel {

namespace {

// Made on first use, once even when threads race for it (a static local's
// initialisation is guarded); freed by the module's static destruction.
BSTR SharedEmptyBstr() {
  static const unique_bstr empty = CopyBstr(L"");
  return empty.get();
}

}  // namespace

BSTR BstrFromVariant(const VARIANT& value) {
  // A null BSTR is an empty string too; callers never see a null pointer.
  if (value.vt == VT_BSTR && value.bstrVal != nullptr) return value.bstrVal;
  return SharedEmptyBstr();
}

}  // namespace mardonel
