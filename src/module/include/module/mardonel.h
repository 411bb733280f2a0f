// The agent module: one managed state, its history, and the host's events.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>

#include "common/history/history_record.h"
#include "connection/connection.h"
#include "module/clock.h"
#include "module/remembered_subnets.h"
#include "tovera/agent_module.h"

namespace mardonel {

// Makes the management point check of one run, start-up to shut-down.
using ConnectionFactory = std::function<std::unique_ptr<IConnection>()>;

class Mardonel final : public Tovera::IAgentModule {
 public:
  // Every start-up that finds no check makes one with `makeConnection`
  // (none when it is empty), and shut-down destroys it; `clock` gives every
  // time the module records and must outlive it.
  Mardonel(ConnectionFactory makeConnection, const Clock& clock);
  ~Mardonel() = default;
  Mardonel(const Mardonel&) = delete;
  Mardonel& operator=(const Mardonel&) = delete;

  void* ScalarDeletingDestructor(unsigned int flags) override;
  DWORD OnStartup(HostAddressTable* table, ULONG_PTR reserved) override;
  DWORD OnShutdown() override;
  DWORD ReservedA() override;
  DWORD ReservedB(ULONG_PTR first, ULONG_PTR second) override;
  DWORD ReservedC(INT32 value) override;
  DWORD OnNetAdaptersChanged(bool connected, bool force) override;
  DWORD ReservedD(ULONG_PTR value) override;
  DWORD OnHeartbeat(const FILETIME* now) override;
  DWORD ReservedE() override;
  DWORD OnSleep() override;
  DWORD OnOutOfSuspend() override;
  DWORD ReservedF() override;
  DWORD ReservedG(UINT16 value) override;

  [[nodiscard]] bool IsManagedNetwork();
  void MaintainHistoryFolder();

 private:
  [[nodiscard]] DWORD SetManagedState(ManagedState requested, RecordReason reason, bool force);
  [[nodiscard]] DWORD WriteStateRecord(RecordReason reason);
  [[nodiscard]] DWORD SaveManagedSubnets();
  void LoadSettings();
  void LoadManagedSubnets();

  const Clock& clock_;
  ConnectionFactory makeConnection_;
  std::unique_ptr<IConnection> connection_;
  HostAddressTable* addressTable_ = nullptr;
  ManagedState managedState_ = kUnmanaged;
  std::uint64_t lastRecordTime_ = 0;  // local FILETIME of the last record
  RememberedSubnets managedSubnets_;
};

}  // namespace mardonel
