// Whether a TCP connection to a host and port can be established now.
#pragma once

#include <windows.h>

// Connects to every address `host` resolves to, in turn, until one connection
// is established, then closes it at once without sending anything. The waits
// for connections take at most `timeout` milliseconds in all (name resolution
// itself is not counted). Returns 0 when a connection was established,
// otherwise the Winsock error of the last attempt (WSAETIMEDOUT when the
// time ran out).
int ProbeTcpConnection(const char* host, unsigned short port, DWORD timeout);
