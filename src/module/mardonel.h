// The agent module: one managed state, its history, and the host's events.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "common/history/history_record.h"
#include "connection/connection.h"
#include "tovera/agent_module.h"

namespace mardonel {

inline constexpr std::uint64_t kOneHour = 36000000000ULL;  // FILETIME units

class Mardonel final : public Tovera::IAgentModule {
 public:
  Mardonel() = default;
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

  DWORD SetManagedState(ManagedState requested, RecordReason reason, bool force);
  bool IsManagedNetwork();
  DWORD SaveManagedSubnets();
  DWORD WriteStateRecord(RecordReason reason);
  void MaintainHistoryFolder();

  // Open to the host-side tests, which set up and inspect the module directly.
  ManagedState managedState = kUnmanaged;
  std::uint64_t lastRecordTime = 0;  // local FILETIME of the last record
  HostAddressTable* addressTable = nullptr;
  std::vector<std::uint32_t> managedSubnets;  // oldest first
  std::unique_ptr<IConnection> connection;

 private:
  void LoadSettings();
  void LoadManagedSubnets();
};

}  // namespace mardonel
