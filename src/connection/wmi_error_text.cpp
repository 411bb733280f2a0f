#include "wmi_error_text.h"

#include <wbemcli.h>

#include "common/win/com_owners.h"
#include "common/win/text_conversion.h"

namespace mardonel {

HRESULT GetWmiErrorText(HRESULT error, std::string& text) {
  com_ptr<IWbemStatusCodeText> status;
  const HRESULT created = CoCreateInstance(CLSID_WbemStatusCodeText, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_IWbemStatusCodeText, status.put_void());
  if (created != S_OK) return created;

  unique_bstr message;
  const HRESULT result = status->GetErrorCodeText(error, 0, 0, message.put());
  if (result != S_OK) {
    text = "Get last error failed";
    return result;
  }
  const DWORD converted = WideToAnsi(message.get(), CP_THREAD_ACP, text);
  return HRESULT_FROM_WIN32(converted);
}

}  // namespace mardonel
