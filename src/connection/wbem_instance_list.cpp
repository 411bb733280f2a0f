#include "wbem_instance_list.h"

#include "common/win/com_error.h"

namespace mardonel {

void CWbemInstanceList::Query(const wchar_t* wql, long flags) {
  if (!services_) throw ComError(E_POINTER);
  com_ptr<IEnumWbemClassObject> enumerator;
  {
    const unique_bstr language = CopyBstr(L"WQL");
    const unique_bstr query = CopyBstr(wql);
    ThrowIfFailed(services_->ExecQuery(language.get(), query.get(), flags, nullptr, enumerator.put()));
  }

  ULONG returned = 1;
  for (;;) {
    com_ptr<IWbemClassObject> object;
    const HRESULT result = enumerator->Next(kNextTimeout, 1, object.put(), &returned);
    // Whatever the reason, a call that delivers nothing ends the enumeration.
    if (result == WBEM_S_FALSE || returned == 0) break;
    ThrowIfFailed(result);
    emplace_back(object.get());
  }
}

}  // namespace mardonel
