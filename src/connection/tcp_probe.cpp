#include "tcp_probe.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <cstring>

#include "common/win/net_owners.h"
#include "connect_attempts.h"

namespace mardonel {

namespace {

// As for staggered connection attempts: an address that neither answers nor
// fails holds the next one back this long, no longer.
constexpr ULONGLONG kAttemptDelay = 250;  // milliseconds

// mingw-w64 declares the next link with a misspelt tag; it is the same structure.
const ADDRINFOEXW* NextOf(const ADDRINFOEXW* address) { return reinterpret_cast<const ADDRINFOEXW*>(address->ai_next); }

// The resolver's addresses, IPv4 ones first, each family in the resolver's
// order: the host table and the remembered subnets are IPv4, so a
// connection over IPv4 is one the module can credit.
class AddressOrder {
 public:
  explicit AddressOrder(const ADDRINFOEXW* addresses) : addresses_(addresses), current_(addresses) { Settle(); }
  [[nodiscard]] const ADDRINFOEXW* current() const { return current_; }
  void Advance() {
    current_ = NextOf(current_);
    Settle();
  }

 private:
  void Settle() {
    for (;;) {
      while (current_ != nullptr && (current_->ai_family == AF_INET) != ipv4_) current_ = NextOf(current_);
      if (current_ != nullptr || !ipv4_) return;
      ipv4_ = false;
      current_ = addresses_;
    }
  }

  const ADDRINFOEXW* addresses_;
  const ADDRINFOEXW* current_;
  bool ipv4_ = true;
};

// Where `address` keeps its port; null for a family without ports.
u_short* PortOf(sockaddr_storage& address) {
  if (address.ss_family == AF_INET) return &reinterpret_cast<sockaddr_in&>(address).sin_port;
  if (address.ss_family == AF_INET6) return &reinterpret_cast<sockaddr_in6&>(address).sin6_port;
  return nullptr;
}

// Starts connections to `address` on its own port and on `secondPort`; true
// when one is established at once.
bool StartBothPorts(ConnectAttempts& attempts, const ADDRINFOEXW& address, unsigned short secondPort) {
  sockaddr_storage target{};
  std::memcpy(&target, address.ai_addr, std::min(sizeof target, address.ai_addrlen));
  if (attempts.Start(address, target, true)) return true;
  u_short* const port = PortOf(target);
  if (port == nullptr || secondPort == 0 || htons(secondPort) == *port) return false;
  *port = htons(secondPort);
  return attempts.Start(address, target, false);
}

// ProbeTcpConnection for addresses already resolved.
int ProbeTcpAddresses(const ADDRINFOEXW* addresses, unsigned short secondPort, DWORD timeout,
                      std::uint32_t& localAddress) {
  localAddress = 0;
  const ULONGLONG deadline = GetTickCount64() + timeout;
  AddressOrder order(addresses);
  ConnectAttempts attempts;
  ULONGLONG nextStart = 0;
  for (;;) {
    const ADDRINFOEXW* const address = order.current();
    if (address == nullptr && !attempts.AnyPending()) return attempts.LastError();
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) return WSAETIMEDOUT;
    const bool canStart = address != nullptr && attempts.HasRoomForTwo();
    // An address that failed before its delay ran out holds nothing back.
    if (canStart && (now >= nextStart || !attempts.NewestPending())) {
      order.Advance();
      nextStart = now + kAttemptDelay;
      attempts.NextAddress();
      if (!StartBothPorts(attempts, *address, secondPort)) continue;
    } else if (!attempts.Wait(canStart ? std::min(nextStart, deadline) : deadline)) {
      continue;
    }
    localAddress = attempts.LocalIPv4Address();
    return 0;
  }
}

}  // namespace

DWORD ProbeTcpConnection(const char* host, unsigned short port, unsigned short secondPort, DWORD timeout,
                         std::uint32_t& localAddress, const HostResolver& resolver) {
  localAddress = 0;
  // An empty name would stand for every address of this machine.
  if (host == nullptr || *host == '\0') return WSAHOST_NOT_FOUND;
  WSADATA data;
  const int started = WSAStartup(MAKEWORD(2, 2), &data);
  if (started != 0) return static_cast<DWORD>(started);
  const unique_winsock session(true);

  const ULONGLONG deadline = GetTickCount64() + timeout;
  unique_addrinfoex addresses;
  const int resolved = LookUpTcpHost(host, port, timeout, addresses, resolver);
  if (resolved != 0) return static_cast<DWORD>(resolved);
  const ULONGLONG resolvedAt = GetTickCount64();
  // Winsock's error codes are the platform's own.
  return static_cast<DWORD>(ProbeTcpAddresses(addresses.get(), secondPort,
                                              resolvedAt >= deadline ? 0 : static_cast<DWORD>(deadline - resolvedAt),
                                              localAddress));
}

}  // namespace mardonel
