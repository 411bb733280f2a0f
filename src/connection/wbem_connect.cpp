#include "wbem_connect.h"

#include <string>

#include "common/log/log.h"
#include "common/win/com_error.h"
#include "common/win/text_conversion.h"

namespace mardonel {

namespace {

bool IsEmpty(const wchar_t* text) { return text == nullptr || *text == L'\0'; }

std::wstring NamespacePath(const wchar_t* server, const wchar_t* nameSpace) {
  std::wstring path;
  if (!IsEmpty(server)) path.append(L"\\\\").append(server).append(L"\\");
  return path.append(nameSpace);
}

}  // namespace

void WbemConnectServer(com_ptr<IWbemServices>& services, const wchar_t* server, const wchar_t* nameSpace,
                       const wchar_t* user, const wchar_t* password, DWORD authenticationLevel,
                       DWORD impersonationLevel) {
  com_ptr<IWbemLocator> locator;
  ThrowIfFailed(
      CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator, locator.put_void()));

  const unique_bstr userCopy = CopyBstr(IsEmpty(user) ? nullptr : user);
  const unique_bstr passwordCopy = CopyBstr(IsEmpty(password) ? nullptr : password);
  const unique_bstr path = CopyBstr(NamespacePath(server, nameSpace).c_str());
  std::string ansiPath;
  if (DebugInfoEnabled() && WideToAnsi(path.get(), CP_ACP, ansiPath) == ERROR_SUCCESS) {
    LogPrintf("%T: Connecting to %s\n", ansiPath.c_str());
  }

  ThrowIfFailed(locator->ConnectServer(path.get(), userCopy.get(), passwordCopy.get(), nullptr, 0, nullptr, nullptr,
                                       services.put()));
  ThrowIfFailed(CoSetProxyBlanket(services.get(), RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr, authenticationLevel,
                                  impersonationLevel, nullptr, EOAC_NONE));
}

}  // namespace mardonel
