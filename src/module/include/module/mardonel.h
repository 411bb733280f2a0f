// The agent module: the host's events and the one managed state they set,
// recorded by its history store and granted by its managed-network check.
#pragma once

#include <windows.h>

#include "common/history/history_record.h"
#include "module/clock.h"
#include "module/history_store.h"
#include "module/managed_network_check.h"
#include "tovera/agent_module.h"

namespace mardonel {

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

 private:
  [[nodiscard]] DWORD SetManagedState(ManagedState requested, RecordReason reason, bool force);
  void LoadSettings();

  const Clock& clock_;
  HistoryStore store_;
  ManagedNetworkCheck check_;
  ManagedState managedState_ = kUnmanaged;
  LocalReading lastRecordTime_;  // of the last record
};

}  // namespace mardonel
