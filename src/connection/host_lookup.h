// Name resolution for a TCP connection, its wait bounded where the platform
// allows it.
#pragma once

#include <winsock2.h>
#include <ws2tcpip.h>

#include "common/win/net_owners.h"

namespace mardonel {

// Fills `addresses` with the stream addresses of `host` and `port`, in the
// resolver's order; Winsock must be started. Where asynchronous resolution
// exists (Windows 8 on) the wait ends after `timeout` milliseconds with
// WSAETIMEDOUT; elsewhere it lasts as long as the resolver takes. Returns 0
// or the resolver's error.
int LookUpTcpHost(const char* host, unsigned short port, DWORD timeout, unique_addrinfoex& addresses);

}  // namespace mardonel
