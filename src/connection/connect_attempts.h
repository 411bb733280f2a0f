// Non-blocking TCP connections under way together, waited on as one.
#pragma once

#include <winsock2.h>
#include <windows.h>
#include <ws2tcpip.h>

#include <array>
#include <cstddef>
#include <cstdint>

#include "common/win/net_owners.h"

namespace mardonel {

class ConnectAttempts {
 public:
  // Makes the connections under way older than the next one started.
  void NextAddress();
  // Starts a connection to `target`, an address of `address`'s family and
  // protocol; true when it is established at once. The failures of attempts
  // started `reported` give LastError.
  bool Start(const ADDRINFOEXW& address, const sockaddr_storage& target, bool reported);
  // Waits until one connection is established (true), every one has failed,
  // or the tick count reaches `until`. Failed connections are closed at once;
  // the rest when the object goes.
  bool Wait(ULONGLONG until);

  [[nodiscard]] bool AnyPending() const;
  // Whether a connection started since the last NextAddress is under way.
  [[nodiscard]] bool NewestPending() const;
  // Whether two more connections can be watched along with those under way.
  [[nodiscard]] bool HasRoomForTwo() const;
  // The Winsock error of the last reported attempt that failed.
  [[nodiscard]] int LastError() const { return lastError_; }
  // The established connection's own IPv4 address in network byte order; 0
  // when it runs over IPv6.
  [[nodiscard]] std::uint32_t LocalIPv4Address() const;

 private:
  struct Attempt {
    unique_socket socket;  // present while the connection is under way
    bool reported = false;
    bool newest = false;
  };

  void Fail(Attempt& attempt, int error);

  // What one select can watch.
  std::array<Attempt, FD_SETSIZE> attempts_;
  SOCKET established_ = INVALID_SOCKET;
  int lastError_ = WSAHOST_NOT_FOUND;
};

}  // namespace mardonel
