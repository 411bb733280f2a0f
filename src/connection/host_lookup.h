// Name resolution for a TCP connection, its wait bounded where the platform
// allows it.
#pragma once

#include <winsock2.h>
#include <ws2tcpip.h>

#include "common/win/net_owners.h"

namespace mardonel {

// The resolver's calls: the platform's, or in tests one that is slow or
// never answers.
struct HostResolver {
  decltype(&GetAddrInfoExW) start = nullptr;
  // Both present where resolution is asynchronous (Windows 8 on), or neither.
  INT(WSAAPI* cancel)(LPHANDLE) = nullptr;
  INT(WSAAPI* result)(LPOVERLAPPED) = nullptr;
};

// GetAddrInfoExW, with its asynchronous partners where the platform has them.
[[nodiscard]] const HostResolver& PlatformResolver();

// Fills `addresses` with the stream addresses of `host` and `port`, in the
// resolver's order; Winsock must be started. Where asynchronous resolution
// exists the wait ends after `timeout` milliseconds with WSAETIMEDOUT, even
// when the resolver never answers; elsewhere it lasts as long as the
// resolver takes. Returns 0 or the resolver's error.
[[nodiscard]] int LookUpTcpHost(const char* host, unsigned short port, DWORD timeout, unique_addrinfoex& addresses,
                                const HostResolver& resolver = PlatformResolver());

}  // namespace mardonel
