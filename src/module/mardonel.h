// The agent module: one managed state, its history, and the host's events.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include "common/history/history_record.h"
#include "connection/connection.h"
#include "module/clock.h"
#include "module/remembered_subnets.h"
#include "tovera/agent_module.h"

namespace mardonel {

class Mardonel final : public Tovera::IAgentModule {
 public:
  // `connection` is asked from start-up until shut-down, which destroys it;
  // `clock` gives every time the module records and must outlive it.
  Mardonel(std::unique_ptr<IConnection> connection, const Clock& clock);
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
  std::unique_ptr<IConnection> connection_;
  HostAddressTable* addressTable_ = nullptr;
  ManagedState managedState_ = kUnmanaged;
  std::uint64_t lastRecordTime_ = 0;  // local FILETIME of the last record
  RememberedSubnets managedSubnets_;
};

}  // namespace mardonel
