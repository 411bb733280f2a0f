#include "connection/tcp_probe.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <array>
#include <cstring>

#include "common/win/net_owners.h"

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

// Where `address` keeps its port; null for a family without ports.
u_short* PortOf(sockaddr_storage& address) {
  if (address.ss_family == AF_INET) return &reinterpret_cast<sockaddr_in&>(address).sin_port;
  if (address.ss_family == AF_INET6) return &reinterpret_cast<sockaddr_in6&>(address).sin6_port;
  return nullptr;
}

// One connection under way, to one port of an address.
struct Attempt {
  unique_socket socket;
  int error = WSAETIMEDOUT;
  bool pending = false;
};

// Starts a non-blocking connection to `target`; true when it is established
// at once.
bool Start(const ADDRINFOEXW& address, const sockaddr_storage& target, Attempt& attempt) {
  attempt.socket.reset(socket(address.ai_family, address.ai_socktype, address.ai_protocol));
  u_long nonBlocking = 1;
  if (!attempt.socket || ioctlsocket(attempt.socket.get(), FIONBIO, &nonBlocking) != 0) {
    attempt.error = WSAGetLastError();
    return false;
  }
  if (connect(attempt.socket.get(), reinterpret_cast<const sockaddr*>(&target), static_cast<int>(address.ai_addrlen)) ==
      0) {
    return true;
  }
  attempt.error = WSAGetLastError();
  attempt.pending = attempt.error == WSAEWOULDBLOCK;
  return false;
}

// Whether a connection that select reported is established; its error
// otherwise.
bool Established(Attempt& attempt, bool failed) {
  attempt.pending = false;
  int error = 0;
  int length = sizeof error;
  if (getsockopt(attempt.socket.get(), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) != 0) {
    error = WSAGetLastError();
  }
  if (error == 0 && failed) error = WSAECONNREFUSED;
  attempt.error = error;
  return error == 0;
}

// Connects to `address` on its own port and on `secondPort` at once, until
// one connection is established, both fail, or `deadline` passes.
int ConnectAny(const ADDRINFOEXW& address, unsigned short secondPort, ULONGLONG deadline, std::uint32_t& localAddress) {
  std::array<sockaddr_storage, 2> targets{};
  std::memcpy(&targets[0], address.ai_addr, std::min(sizeof targets[0], address.ai_addrlen));
  targets[1] = targets[0];
  u_short* const other = PortOf(targets[1]);
  const bool both = other != nullptr && secondPort != 0 && htons(secondPort) != *other;
  if (both) *other = htons(secondPort);
  std::array<Attempt, 2> attempts;
  for (std::size_t index = 0; index < (both ? 2u : 1u); ++index) {
    if (Start(address, targets[index], attempts[index])) {
      localAddress = LocalIPv4Address(attempts[index].socket.get());
      return 0;
    }
  }
  for (;;) {
    fd_set connected;
    fd_set failed;
    FD_ZERO(&connected);
    FD_ZERO(&failed);
    for (const Attempt& attempt : attempts) {
      if (!attempt.pending) continue;
      FD_SET(attempt.socket.get(), &connected);
      FD_SET(attempt.socket.get(), &failed);
    }
    const ULONGLONG now = GetTickCount64();
    if (connected.fd_count == 0 || now >= deadline) break;
    timeval wait{static_cast<long>((deadline - now) / 1000), static_cast<long>((deadline - now) % 1000 * 1000)};
    const int ready = select(0, nullptr, &connected, &failed, &wait);
    if (ready == SOCKET_ERROR) return WSAGetLastError();
    for (Attempt& attempt : attempts) {
      if (!attempt.pending) continue;
      const bool refused = FD_ISSET(attempt.socket.get(), &failed) != 0;
      if (!refused && FD_ISSET(attempt.socket.get(), &connected) == 0) continue;
      if (Established(attempt, refused)) {
        localAddress = LocalIPv4Address(attempt.socket.get());
        return 0;
      }
    }
  }
  for (const Attempt& attempt : attempts) {
    if (attempt.pending) return WSAETIMEDOUT;
  }
  return attempts[0].error;
}

}  // namespace

int ProbeTcpConnection(const char* host, unsigned short port, unsigned short secondPort, DWORD timeout,
                       std::uint32_t& localAddress, const HostResolver& resolver) {
  localAddress = 0;
  // An empty name would stand for every address of this machine.
  if (host == nullptr || *host == '\0') return WSAHOST_NOT_FOUND;
  WSADATA data;
  const int started = WSAStartup(MAKEWORD(2, 2), &data);
  if (started != 0) return started;
  const unique_winsock session(true);

  const ULONGLONG deadline = GetTickCount64() + timeout;
  unique_addrinfoex addresses;
  const int resolved = LookUpTcpHost(host, port, timeout, addresses, resolver);
  if (resolved != 0) return resolved;
  const ULONGLONG resolvedAt = GetTickCount64();
  return ProbeTcpAddresses(addresses.get(), secondPort,
                           resolvedAt >= deadline ? 0 : static_cast<DWORD>(deadline - resolvedAt), localAddress);
}

int ProbeTcpAddresses(const ADDRINFOEXW* addresses, unsigned short secondPort, DWORD timeout,
                      std::uint32_t& localAddress) {
  localAddress = 0;
  const ULONGLONG deadline = GetTickCount64() + timeout;
  int error = WSAHOST_NOT_FOUND;
  // mingw-w64 declares the next link with a misspelt tag; it is the same structure.
  const auto next = [](const ADDRINFOEXW* address) { return reinterpret_cast<const ADDRINFOEXW*>(address->ai_next); };
  // The host table and the remembered subnets are IPv4: a connection over
  // IPv4 is one the module can credit.
  for (const bool ipv4 : {true, false}) {
    for (const ADDRINFOEXW* address = addresses; address != nullptr; address = next(address)) {
      if ((address->ai_family == AF_INET) != ipv4) continue;
      if (GetTickCount64() >= deadline) return WSAETIMEDOUT;
      error = ConnectAny(*address, secondPort, deadline, localAddress);
      if (error == 0) return 0;
    }
  }
  return error;
}

}  // namespace mardonel
