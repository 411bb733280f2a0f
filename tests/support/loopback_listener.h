// TCP listeners on the loopback address, for reachability tests that send no
// traffic beyond this machine.
#pragma once

#include <winsock2.h>

#include <vector>

#include "common/win/net_owners.h"

namespace mardonel {

// Winsock started for the life of the owner.
unique_winsock StartWinsock();

class LoopbackListener {
 public:
  // On 127.0.0.1, or ::1 for AF_INET6.
  explicit LoopbackListener(int family = AF_INET);
  LoopbackListener(const LoopbackListener&) = delete;
  LoopbackListener& operator=(const LoopbackListener&) = delete;

  unsigned short port() const { return port_; }
  // Connects clients until the backlog is full and a further connection is
  // left unanswered.
  void FillBacklog();
  // Accepts one waiting connection and returns how many bytes came before
  // the peer closed it, or -1 when no connection came within `waitMs`.
  int AcceptAndCountBytes(int waitMs);

 private:
  int family_;
  unique_winsock winsock_ = StartWinsock();
  unique_socket listener_;
  unsigned short port_ = 0;
  std::vector<unique_socket> clients_;
};

// A loopback port on which nothing listens.
unsigned short ClosedLoopbackPort();

}  // namespace mardonel
