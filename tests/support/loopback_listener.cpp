#include "support/loopback_listener.h"

#include <ws2tcpip.h>

#include <utility>

namespace mardonel {

namespace {

sockaddr_in LoopbackAddress(unsigned short port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(port);
  return address;
}

unsigned short BoundPort(SOCKET socket) {
  sockaddr_in bound{};
  int length = sizeof bound;
  getsockname(socket, reinterpret_cast<sockaddr*>(&bound), &length);
  return ntohs(bound.sin_port);
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

LoopbackListener::LoopbackListener() : listener_(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP)) {
  const sockaddr_in address = LoopbackAddress(0);
  bind(listener_.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address);
  listen(listener_.get(), 1);
  port_ = BoundPort(listener_.get());
}

void LoopbackListener::FillBacklog() {
  const sockaddr_in address = LoopbackAddress(port_);
  for (int attempt = 0; attempt < 64; ++attempt) {
    unique_socket client(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    u_long nonBlocking = 1;
    ioctlsocket(client.get(), FIONBIO, &nonBlocking);
    connect(client.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address);
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
  const sockaddr_in address = LoopbackAddress(0);
  bind(probe.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address);
  return BoundPort(probe.get());
}

}  // namespace mardonel
