#include "connection/wmi_error_text.h"

#include <wbemcli.h>

#include "connection/com_owners.h"
#include "connection/text_conversion.h"

namespace mardonel {

HRESULT GetWmiErrorText(HRESULT error, std::string& text) {
  com_ptr<IWbemStatusCodeText> status;
  const HRESULT created = CoCreateInstance(CLSID_WbemStatusCodeText, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_IWbemStatusCodeText, status.put_void());
  if (created != S_OK) return created;

  unique_bstr message;
  BSTR received = nullptr;
  const HRESULT result = status->GetErrorCodeText(error, 0, 0, &received);
  message.reset(received);
  text = result == S_OK ? WideToAnsi(message.get(), CP_THREAD_ACP) : std::string("Get last error failed");
  return result;
}

}  // namespace mardonel
