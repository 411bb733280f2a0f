#include "connect_attempts.h"

#include <algorithm>

namespace mardonel {

namespace {

// The Winsock error of a connection that select reported; 0 when it is
// established.
int ConnectionError(SOCKET socket, bool failed) {
  int error = 0;
  int length = sizeof error;
  if (getsockopt(socket, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) != 0) {
    error = WSAGetLastError();
  }
  return error == 0 && failed ? WSAECONNREFUSED : error;
}

}  // namespace

void ConnectAttempts::NextAddress() {
  for (Attempt& attempt : attempts_) attempt.newest = false;
}

bool ConnectAttempts::Start(const ADDRINFOEXW& address, const sockaddr_storage& target, bool reported) {
  const auto free = std::find_if(attempts_.begin(), attempts_.end(), [](const Attempt& a) { return !a.socket; });
  if (free == attempts_.end()) return false;
  Attempt& attempt = *free;
  attempt.reported = reported;
  attempt.newest = true;
  attempt.socket.reset(socket(address.ai_family, address.ai_socktype, address.ai_protocol));
  u_long nonBlocking = 1;
  if (!attempt.socket || ioctlsocket(attempt.socket.get(), FIONBIO, &nonBlocking) != 0) {
    Fail(attempt, WSAGetLastError());
    return false;
  }
  if (connect(attempt.socket.get(), reinterpret_cast<const sockaddr*>(&target), static_cast<int>(address.ai_addrlen)) ==
      0) {
    established_ = attempt.socket.get();
    return true;
  }
  const int error = WSAGetLastError();
  if (error != WSAEWOULDBLOCK) Fail(attempt, error);
  return false;
}

bool ConnectAttempts::Wait(ULONGLONG until) {
  fd_set connected;
  fd_set failed;
  FD_ZERO(&connected);
  FD_ZERO(&failed);
  for (const Attempt& attempt : attempts_) {
    if (!attempt.socket) continue;
    FD_SET(attempt.socket.get(), &connected);
    FD_SET(attempt.socket.get(), &failed);
  }
  if (connected.fd_count == 0) return false;
  const ULONGLONG now = GetTickCount64();
  const ULONGLONG left = until > now ? until - now : 0;
  timeval wait{static_cast<long>(left / 1000), static_cast<long>(left % 1000 * 1000)};
  if (select(0, nullptr, &connected, &failed, &wait) == SOCKET_ERROR) {
    // Nothing can be told of these connections any more.
    const int error = WSAGetLastError();
    for (Attempt& attempt : attempts_) {
      if (attempt.socket) Fail(attempt, error);
    }
    return false;
  }
  for (Attempt& attempt : attempts_) {
    if (!attempt.socket) continue;
    const bool refused = FD_ISSET(attempt.socket.get(), &failed) != 0;
    if (!refused && FD_ISSET(attempt.socket.get(), &connected) == 0) continue;
    const int error = ConnectionError(attempt.socket.get(), refused);
    if (error == 0) {
      established_ = attempt.socket.get();
      return true;
    }
    Fail(attempt, error);
  }
  return false;
}

bool ConnectAttempts::AnyPending() const {
  return std::any_of(attempts_.begin(), attempts_.end(), [](const Attempt& a) { return static_cast<bool>(a.socket); });
}

bool ConnectAttempts::NewestPending() const {
  return std::any_of(attempts_.begin(), attempts_.end(), [](const Attempt& a) { return a.socket && a.newest; });
}

bool ConnectAttempts::HasRoomForTwo() const {
  return std::count_if(attempts_.begin(), attempts_.end(), [](const Attempt& a) { return !a.socket; }) >= 2;
}

std::uint32_t ConnectAttempts::LocalIPv4Address() const {
  sockaddr_storage local{};
  int length = sizeof local;
  if (getsockname(established_, reinterpret_cast<sockaddr*>(&local), &length) != 0) return 0;
  if (local.ss_family != AF_INET) return 0;
  return reinterpret_cast<const sockaddr_in&>(local).sin_addr.s_addr;
}

void ConnectAttempts::Fail(Attempt& attempt, int error) {
  attempt.socket.reset();
  if (attempt.reported) lastError_ = error;
}

}  // namespace mardonel
