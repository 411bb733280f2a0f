#include "module/mardonel.h"

#include <new>
#include <optional>
#include <utility>

#include "common/log/log.h"
#include "common/registry/registry_parameter.h"
#include "common/registry/setting_names.h"
#include "common/win/file_time.h"
#include "connection/config_mgr_mp_connection.h"

namespace mardonel {

namespace {

DWORD ReportFailure(const char* operation, DWORD code) noexcept {
  try {
    LogPrintf("%T: %s failed with error %lu\n", operation, code);
  } catch (...) {
    // The result still tells the host.
  }
  return code;
}

// The host is not built to take exceptions: whatever escapes an operation
// becomes its result.
template <typename Operation>
DWORD Guarded(const char* name, Operation operation) noexcept {
  try {
    return operation();
  } catch (const std::bad_alloc&) {
    return ReportFailure(name, ERROR_NOT_ENOUGH_MEMORY);
  } catch (...) {
    return ReportFailure(name, ERROR_INTERNAL_ERROR);
  }
}

}  // namespace

Mardonel::Mardonel(ConnectionFactory makeConnection, const Clock& clock)
    : clock_(clock), store_(clock), check_(std::move(makeConnection)) {}

void* Mardonel::ScalarDeletingDestructor(unsigned int flags) {
  if (flags & 1) {
    delete this;
  } else {
    this->~Mardonel();
  }
  return this;
}

DWORD Mardonel::SetManagedState(ManagedState requested, RecordReason reason, bool force) {
  if (requested == managedState_ && !force) return ERROR_SUCCESS;
  lastRecordTime_ = clock_.LocalNow();
  if (requested == kManaged) {
    if (check_.IsManagedNetwork()) managedState_ = kManaged;
  } else {
    managedState_ = requested;
  }
  return store_.WriteStateRecord({lastRecordTime_, managedState_, reason});
}

// The host may log from other threads meanwhile: the reads fill a copy,
// which is put in force in one step. A setting that cannot be read keeps
// its default, and the read has logged why.
void Mardonel::LoadSettings() {
  LogSettings settings = CurrentLogSettings();
  static_cast<void>(RegGetPolicyParameter(HKEY_LOCAL_MACHINE, kSettingsKey, kLogFileNameValue, REG_SZ,
                                          settings.fileName, sizeof settings.fileName, 0));
  static_cast<void>(RegGetPolicyParameter(HKEY_LOCAL_MACHINE, kSettingsKey, kMaxLogFilesizeValue, REG_DWORD,
                                          &settings.maxFileSize, sizeof settings.maxFileSize, 0));
  static_cast<void>(RegGetPolicyParameter(HKEY_LOCAL_MACHINE, kSettingsKey, kDebugValue, REG_DWORD, &settings.debugMask,
                                          sizeof settings.debugMask, 0));
  SetLogSettings(settings);
}

DWORD Mardonel::OnStartup(HostAddressTable* table, ULONG_PTR) {
  return Guarded("OnStartup", [&] {
    check_.Connect(table);
    LoadSettings();
    check_.LoadManagedSubnets();
    store_.MaintainHistoryFolder();
    if (check_.AddressCount() == 0) return DWORD{ERROR_SUCCESS};
    return SetManagedState(kManaged, RecordReason::kStartup, false);
  });
}

DWORD Mardonel::OnShutdown() {
  return Guarded("OnShutdown", [&] {
    check_.Disconnect();
    return SetManagedState(kUnmanaged, RecordReason::kShutdown, false);
  });
}

DWORD Mardonel::OnNetAdaptersChanged(bool connected, bool force) {
  return Guarded("OnNetAdaptersChanged", [&] {
    if (connected) return SetManagedState(kManaged, RecordReason::kNetAdaptersChanged, force);
    return SetManagedState(kUnmanaged, RecordReason::kNetAdaptersChanged, false);
  });
}

DWORD Mardonel::OnHeartbeat(const FILETIME* now) {
  if (now == nullptr) return ERROR_SUCCESS;
  // The heartbeat reports nothing to the host, a failed record included.
  Guarded("OnHeartbeat", [&] {
    const std::optional<LocalReading> local = clock_.ToLocal(TimePointOf<UtcClock>(*now));
    if (!local) return DWORD{ERROR_SUCCESS};
    // Compared as a difference, so a stored time near the top of the range
    // cannot wrap round and let every heartbeat write.
    if (*local <= lastRecordTime_ || *local - lastRecordTime_ <= std::chrono::hours(1)) return DWORD{ERROR_SUCCESS};
    lastRecordTime_ = *local;
    return store_.WriteStateRecord({lastRecordTime_, managedState_, RecordReason::kHeartbeat});
  });
  return ERROR_SUCCESS;
}

DWORD Mardonel::OnSleep() {
  return Guarded("OnSleep", [&] { return SetManagedState(kUnmanaged, RecordReason::kSleep, false); });
}

DWORD Mardonel::OnOutOfSuspend() {
  return Guarded("OnOutOfSuspend", [&] {
    store_.MaintainHistoryFolder();
    return SetManagedState(kManaged, RecordReason::kOutOfSuspend, false);
  });
}

DWORD Mardonel::ReservedA() { return ERROR_SUCCESS; }
DWORD Mardonel::ReservedB(ULONG_PTR, ULONG_PTR) { return ERROR_SUCCESS; }
DWORD Mardonel::ReservedC(INT32) { return ERROR_SUCCESS; }
DWORD Mardonel::ReservedD(ULONG_PTR) { return ERROR_SUCCESS; }
DWORD Mardonel::ReservedE() { return ERROR_SUCCESS; }
DWORD Mardonel::ReservedF() { return ERROR_SUCCESS; }
DWORD Mardonel::ReservedG(UINT16) { return ERROR_SUCCESS; }

}  // namespace mardonel

extern "C" TOVERA_MODULE_API Tovera::IAgentModule* __getMardonel(void*) {
  try {
    return new mardonel::Mardonel([] { return std::make_unique<mardonel::ConfigMgrMPConnection>(); },
                                  mardonel::SystemClock());
  } catch (...) {
    return nullptr;  // the host is not built to take exceptions
  }
}
