#include "connection/tcp_probe.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include "common/win/net_owners.h"
#include "connection/host_lookup.h"

namespace mardonel {

namespace {

// 0 unless the connection runs over IPv4.
std::uint32_t LocalIPv4Address(SOCKET connection) {
  sockaddr_storage local{};
  int length = sizeof local;
  if (getsockname(connection, reinterpret_cast<sockaddr*>(&local), &length) != 0) return 0;
  if (local.ss_family != AF_INET) return 0;
  return reinterpret_cast<const sockaddr_in&>(local).sin_addr.s_addr;
}

int ConnectOne(const ADDRINFOEXW& address, ULONGLONG timeout, std::uint32_t& localAddress) {
  const unique_socket connection(socket(address.ai_family, address.ai_socktype, address.ai_protocol));
  if (!connection) return WSAGetLastError();
  u_long nonBlocking = 1;
  if (ioctlsocket(connection.get(), FIONBIO, &nonBlocking) != 0) return WSAGetLastError();
  if (connect(connection.get(), address.ai_addr, static_cast<int>(address.ai_addrlen)) == 0) {
    localAddress = LocalIPv4Address(connection.get());
    return 0;
  }
  const int started = WSAGetLastError();
  if (started != WSAEWOULDBLOCK) return started;

  fd_set connected;
  fd_set failed;
  FD_ZERO(&connected);
  FD_ZERO(&failed);
  FD_SET(connection.get(), &connected);
  FD_SET(connection.get(), &failed);
  timeval wait{static_cast<long>(timeout / 1000), static_cast<long>(timeout % 1000 * 1000)};
  const int ready = select(0, nullptr, &connected, &failed, &wait);
  if (ready == SOCKET_ERROR) return WSAGetLastError();
  if (ready == 0) return WSAETIMEDOUT;

  int error = 0;
  int length = sizeof error;
  if (getsockopt(connection.get(), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) != 0) {
    return WSAGetLastError();
  }
  if (error == 0 && FD_ISSET(connection.get(), &failed)) return WSAECONNREFUSED;
  if (error == 0) localAddress = LocalIPv4Address(connection.get());
  return error;
}

}  // namespace

int ProbeTcpConnection(const char* host, unsigned short port, DWORD timeout, std::uint32_t& localAddress) {
  localAddress = 0;
  // An empty name would stand for every address of this machine.
  if (host == nullptr || *host == '\0') return WSAHOST_NOT_FOUND;
  WSADATA data;
  const int started = WSAStartup(MAKEWORD(2, 2), &data);
  if (started != 0) return started;
  const unique_winsock session(true);

  const ULONGLONG deadline = GetTickCount64() + timeout;
  unique_addrinfoex addresses;
  const int resolved = LookUpTcpHost(host, port, timeout, addresses);
  if (resolved != 0) return resolved;
  const ULONGLONG resolvedAt = GetTickCount64();
  return ProbeTcpAddresses(addresses.get(), resolvedAt >= deadline ? 0 : static_cast<DWORD>(deadline - resolvedAt),
                           localAddress);
}

int ProbeTcpAddresses(const ADDRINFOEXW* addresses, DWORD timeout, std::uint32_t& localAddress) {
  localAddress = 0;
  const ULONGLONG deadline = GetTickCount64() + timeout;
  int error = WSAHOST_NOT_FOUND;
  // mingw-w64 declares the next link with a misspelt tag; it is the same structure.
  const auto next = [](const ADDRINFOEXW* address) { return reinterpret_cast<const ADDRINFOEXW*>(address->ai_next); };
  for (const ADDRINFOEXW* address = addresses; address != nullptr; address = next(address)) {
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) return WSAETIMEDOUT;
    error = ConnectOne(*address, deadline - now, localAddress);
    if (error == 0) return 0;
  }
  return error;
}

}  // namespace mardonel
