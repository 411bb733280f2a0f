#include "loopback_listener.h"

#include <ws2tcpip.h>

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

WinsockUser::WinsockUser() {
  WSADATA data;
  WSAStartup(MAKEWORD(2, 2), &data);
}

WinsockUser::~WinsockUser() { WSACleanup(); }

LoopbackListener::LoopbackListener() {
  listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  const sockaddr_in address = LoopbackAddress(0);
  bind(listener_, reinterpret_cast<const sockaddr*>(&address), sizeof address);
  listen(listener_, 1);
  port_ = BoundPort(listener_);
}

LoopbackListener::~LoopbackListener() {
  for (SOCKET client : clients_) closesocket(client);
  closesocket(listener_);
}

void LoopbackListener::FillBacklog() {
  const sockaddr_in address = LoopbackAddress(port_);
  for (int attempt = 0; attempt < 64; ++attempt) {
    SOCKET client = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    u_long nonBlocking = 1;
    ioctlsocket(client, FIONBIO, &nonBlocking);
    connect(client, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    clients_.push_back(client);
    if (!WaitReady(client, true, 300)) return;
  }
}

int LoopbackListener::AcceptAndCountBytes(int waitMs) {
  if (!WaitReady(listener_, false, waitMs)) return -1;
  SOCKET peer = accept(listener_, nullptr, nullptr);
  if (peer == INVALID_SOCKET) return -1;
  int total = 0;
  char buffer[256];
  while (WaitReady(peer, false, 2000)) {
    const int received = recv(peer, buffer, sizeof buffer, 0);
    if (received <= 0) break;
    total += received;
  }
  closesocket(peer);
  return total;
}

unsigned short ClosedLoopbackPort() {
  WinsockUser winsock;
  SOCKET probe = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  const sockaddr_in address = LoopbackAddress(0);
  bind(probe, reinterpret_cast<const sockaddr*>(&address), sizeof address);
  const unsigned short port = BoundPort(probe);
  closesocket(probe);
  return port;
}
