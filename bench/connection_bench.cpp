// How long a management point check that gets no answer holds the host's
// thread, against the 5-second bound of its connection wait.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <optional>
#include <string>
#include <vector>

#include "bench.h"
#include "connection/ConfigMgrMPConnection.h"

namespace {

constexpr double kConnectBound = 5.0;  // seconds

sockaddr_in Loopback(unsigned short port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(port);
  return address;
}

// A loopback listener whose backlog is full, so that a further connection
// stays unanswered; nothing leaves the machine.
class SilentListener {
 public:
  SilentListener() {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    const sockaddr_in any = Loopback(0);
    bind(listener_, reinterpret_cast<const sockaddr*>(&any), sizeof any);
    listen(listener_, 1);
    sockaddr_in bound{};
    int length = sizeof bound;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&bound), &length);
    port_ = ntohs(bound.sin_port);
    FillBacklog();
  }
  ~SilentListener() {
    for (SOCKET client : clients_) closesocket(client);
    closesocket(listener_);
    WSACleanup();
  }
  SilentListener(const SilentListener&) = delete;
  SilentListener& operator=(const SilentListener&) = delete;
  unsigned short port() const { return port_; }

 private:
  void FillBacklog() {
    const sockaddr_in address = Loopback(port_);
    for (int attempt = 0; attempt < 64; ++attempt) {
      SOCKET client = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
      u_long nonBlocking = 1;
      ioctlsocket(client, FIONBIO, &nonBlocking);
      connect(client, reinterpret_cast<const sockaddr*>(&address), sizeof address);
      clients_.push_back(client);
      fd_set connected;
      FD_ZERO(&connected);
      FD_SET(client, &connected);
      timeval wait{0, 300000};
      if (select(0, nullptr, &connected, nullptr, &wait) != 1) return;
    }
  }

  SOCKET listener_ = INVALID_SOCKET;
  unsigned short port_ = 0;
  std::vector<SOCKET> clients_;
};

double UnansweredCheckRatio() {
  const SilentListener listener;
  const std::wstring name = L"127.0.0.1:" + std::to_wstring(listener.port());
  ConfigMgrMPConnection connection([name] { return std::optional<std::wstring>(name); });
  return BestSeconds(2, [&] { connection.TestConnectivity(); }) / kConnectBound;
}

const BenchRegistrar registrar{BenchFigure{"management point check, unanswered connection / 5 s bound",
                                           "at most 1.1", UnansweredCheckRatio}};

}  // namespace
