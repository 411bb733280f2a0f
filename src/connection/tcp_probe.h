// Whether a TCP connection to a host and port can be established now.
#pragma once

#include <winsock2.h>
#include <windows.h>
#include <ws2tcpip.h>

#include <cstdint>

namespace mardonel {

// Connects to every address `host` resolves to, in turn, until one connection
// is established, then closes it at once without sending anything. Name
// resolution and the waits for connections take at most `timeout`
// milliseconds in all, where the platform can bound resolution (see
// LookUpTcpHost). Returns 0 when a connection was established, otherwise the
// Winsock error of the last attempt (WSAETIMEDOUT when the time ran out).
// `localAddress` gets the connection's own IPv4 address in network byte
// order, or 0 when there was none.
int ProbeTcpConnection(const char* host, unsigned short port, DWORD timeout, std::uint32_t& localAddress);

// The same for addresses already resolved, tried in list order within
// `timeout` milliseconds in all; Winsock must be started.
int ProbeTcpAddresses(const ADDRINFOEXW* addresses, DWORD timeout, std::uint32_t& localAddress);

}  // namespace mardonel
