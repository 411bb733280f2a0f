// Whether a TCP connection to a host, on one of two ports, can be
// established now.
#pragma once

#include <winsock2.h>
#include <windows.h>
#include <ws2tcpip.h>

#include <cstdint>

#include "host_lookup.h"

namespace mardonel {

// Connects to the addresses `host` resolves to, IPv4 ones first, each on
// `port` and `secondPort` at once (0 or `port` itself for none). An address
// that neither answers nor fails within 250 ms does not hold back the next
// one, whose connections start beside its own. The first connection
// established answers; it and all others are closed at once without sending
// anything. Name resolution and the waits for connections take at most
// `timeout` milliseconds in all, where the platform can bound resolution
// (see LookUpTcpHost). Returns ERROR_SUCCESS when a connection was
// established, WSAETIMEDOUT when the time ran out first, otherwise the
// Winsock error of the last connection to an address's own port that failed:
// the edge where the Winsock calls' int becomes the DWORD status the rest of
// the library speaks. `localAddress`
// gets the connection's own IPv4 address in network byte order, or 0 when
// there was none or it runs over IPv6.
[[nodiscard]] DWORD ProbeTcpConnection(const char* host, unsigned short port, unsigned short secondPort, DWORD timeout,
                                       std::uint32_t& localAddress, const HostResolver& resolver = PlatformResolver());

}  // namespace mardonel
