// Whether this machine is on a managed network: one of the host's addresses
// on a subnet remembered as managed, or the management point reachable now,
// whose subnet is then remembered and stored in ManagedSubnets.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>

#include "connection/connection.h"
#include "module/remembered_subnets.h"
#include "tovera/agent_module.h"

namespace mardonel {

// Makes the management point check of one run, start-up to shut-down.
using ConnectionFactory = std::function<std::unique_ptr<IConnection>()>;

class ManagedNetworkCheck {
 public:
  // Every Connect that finds no connection makes one with `makeConnection`
  // (none when it is empty).
  explicit ManagedNetworkCheck(ConnectionFactory makeConnection) : makeConnection_(std::move(makeConnection)) {}

  // Reads the host's `table` from now on, each entry under the table's lock;
  // the table is not owned and must outlive the reads. Makes a connection
  // unless one is held.
  void Connect(HostAddressTable* table);

  // Destroys the connection: until the next Connect the point counts as
  // unreachable.
  void Disconnect() { connection_.reset(); }

  // Reads ManagedSubnets afresh; the subnets learnt meanwhile stay, those
  // the registry refused to store included. Entries that are not subnets
  // are logged and kept for the next store.
  void LoadManagedSubnets();

  // The entries of the host's table; none before Connect.
  [[nodiscard]] std::uintptr_t AddressCount() const;

  // True at the first entry whose subnet is remembered, or when the point
  // answers; the point is asked at most once a scan. Only the subnet of the
  // entry holding the address the point was reached from is remembered.
  [[nodiscard]] bool IsManagedNetwork();

 private:
  [[nodiscard]] DWORD SaveManagedSubnets();

  ConnectionFactory makeConnection_;
  std::unique_ptr<IConnection> connection_;
  HostAddressTable* addressTable_ = nullptr;
  RememberedSubnets managedSubnets_;
};

}  // namespace mardonel
