#include "support/loopback_listener.h"

#include <ws2tcpip.h>

#include <utility>

namespace mardonel {

namespace {

// 127.0.0.1 or ::1; both families keep the port at the same place.
sockaddr_in6 LoopbackAddress(int family, unsigned short port) {
  sockaddr_in6 address{};
  address.sin6_family = static_cast<ADDRESS_FAMILY>(family);
  address.sin6_port = htons(port);
  if (family == AF_INET6) {
    address.sin6_addr = in6addr_loopback;
  } else {
    reinterpret_cast<sockaddr_in&>(address).sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  }
  return address;
}

int LengthOf(int family) { return family == AF_INET6 ? sizeof(sockaddr_in6) : sizeof(sockaddr_in); }

unsigned short BoundPort(SOCKET socket) {
  sockaddr_in6 bound{};
  int length = sizeof bound;
  getsockname(socket, reinterpret_cast<sockaddr*>(&bound), &length);
  return ntohs(bound.sin6_port);
}

bool WaitReady(SOCKET socket, bool forWrite, int waitMs) {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(socket, &set);
  timeval wait{waitMs / 1000, waitMs % 1000 * 1000};
  return select(0, forWrite ? nullptr : &set, forWrite ? &set : nullptr, nullptr, &wait) == 1;
}

}  // namespace

unique_winsock StartWinsock() {
  WSADATA data;
  return unique_winsock(WSAStartup(MAKEWORD(2, 2), &data) == 0);
}

LoopbackListener::LoopbackListener(int family) : family_(family), listener_(socket(family, SOCK_STREAM, IPPROTO_TCP)) {
  const sockaddr_in6 address = LoopbackAddress(family_, 0);
  bind(listener_.get(), reinterpret_cast<const sockaddr*>(&address), LengthOf(family_));
  listen(listener_.get(), 1);
  port_ = BoundPort(listener_.get());
}

void LoopbackListener::FillBacklog() {
  const sockaddr_in6 address = LoopbackAddress(family_, port_);
  for (int attempt = 0; attempt < 64; ++attempt) {
    unique_socket client(socket(family_, SOCK_STREAM, IPPROTO_TCP));
    u_long nonBlocking = 1;
    ioctlsocket(client.get(), FIONBIO, &nonBlocking);
    connect(client.get(), reinterpret_cast<const sockaddr*>(&address), LengthOf(family_));
    const bool answered = WaitReady(client.get(), true, 300);
    clients_.push_back(std::move(client));
    if (!answered) return;
  }
}

int LoopbackListener::AcceptAndCountBytes(int waitMs) {
  if (!WaitReady(listener_.get(), false, waitMs)) return -1;
  const unique_socket peer(accept(listener_.get(), nullptr, nullptr));
  if (!peer) return -1;
  int total = 0;
  char buffer[256];
  while (WaitReady(peer.get(), false, 2000)) {
    const int received = recv(peer.get(), buffer, sizeof buffer, 0);
    if (received <= 0) break;
    total += received;
  }
  return total;
}

unsigned short ClosedLoopbackPort() {
  const unique_winsock winsock = StartWinsock();
  const unique_socket probe(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
  const sockaddr_in6 address = LoopbackAddress(AF_INET, 0);
  bind(probe.get(), reinterpret_cast<const sockaddr*>(&address), LengthOf(AF_INET));
  return BoundPort(probe.get());
}

}  // namespace mardonel
