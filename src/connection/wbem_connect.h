// Connecting to a WMI namespace with a chosen security blanket.
#pragma once

#include <windows.h>
#include <wbemcli.h>

#include "common/win/com_owners.h"

namespace mardonel {

// Fills `services` with the namespace's services, blanket set. COM must be
// initialised on the thread. A failed COM step is thrown as ComError.
// Null or empty server: the local namespace path without a server part.
// Null or empty user and password: the caller's own identity.
void WbemConnectServer(com_ptr<IWbemServices>& services, const wchar_t* server, const wchar_t* nameSpace,
                       const wchar_t* user, const wchar_t* password, DWORD authenticationLevel,
                       DWORD impersonationLevel);

}  // namespace mardonel
