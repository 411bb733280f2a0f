#include "module/mardonel.h"

#include <cstring>
#include <new>

#include "common/log/log.h"
#include "common/registry/registry_parameter.h"
#include "common/registry/setting_names.h"
#include "connection/config_mgr_mp_connection.h"
#include "module/dotted_address.h"
#include "module/host_address_table.h"

namespace mardonel {

namespace {

constexpr int kSubnetTextSize = 260;

std::uint64_t LocalNow() {
  FILETIME utc;
  FILETIME local;
  GetSystemTimeAsFileTime(&utc);
  FileTimeToLocalFileTime(&utc, &local);
  return (static_cast<std::uint64_t>(local.dwHighDateTime) << 32) | local.dwLowDateTime;
}

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

void* Mardonel::ScalarDeletingDestructor(unsigned int flags) {
  if (flags & 1) {
    delete this;
  } else {
    this->~Mardonel();
  }
  return this;
}

DWORD Mardonel::SetManagedState(ManagedState requested, RecordReason reason, bool force) {
  if (requested == managedState && !force) return ERROR_SUCCESS;
  lastRecordTime = LocalNow();
  if (requested == kManaged) {
    if (IsManagedNetwork()) managedState = kManaged;
  } else {
    managedState = requested;
  }
  return WriteStateRecord(reason);
}

// The host may log from other threads meanwhile: the reads fill a copy,
// which is put in force in one step.
void Mardonel::LoadSettings() {
  LogSettings settings = CurrentLogSettings();
  RegGetPolicyParameter(HKEY_LOCAL_MACHINE, kSettingsKey, kLogFileNameValue, REG_SZ, settings.fileName,
                        sizeof settings.fileName, 0);
  RegGetPolicyParameter(HKEY_LOCAL_MACHINE, kSettingsKey, kMaxLogFilesizeValue, REG_DWORD, &settings.maxFileSize,
                        sizeof settings.maxFileSize, 0);
  RegGetPolicyParameter(HKEY_LOCAL_MACHINE, kSettingsKey, kDebugValue, REG_DWORD, &settings.debugMask,
                        sizeof settings.debugMask, 0);
  SetLogSettings(settings);
}

void Mardonel::LoadManagedSubnets() {
  char text[kSubnetTextSize] = {};
  GetRegParameter(HKEY_LOCAL_MACHINE, kCommonKey, kManagedSubnetsValue, REG_SZ, text, sizeof text, RP_READ_ONLY);
  text[kSubnetTextSize - 1] = '\0';
  if (text[0] == '\0') return;
  if (DebugInfoEnabled()) LogPrintf("%T: Found managed subnets [%s]\n", text);
  for (char* piece = text; *piece != '\0';) {
    char* end = std::strchr(piece, ';');
    if (end != nullptr) *end = '\0';
    if (IsStrictDottedAddress(piece)) {
      managedSubnets.push_back(ParseDottedAddress(piece));
    } else if (*piece != '\0') {
      // Read as a number it would be 0.0.0.0 or a part, and claim hosts wrongly.
      LogPrintf("%T: Skipped remembered subnet that is not a dotted address: \"%s\"\n", piece);
    }
    if (end == nullptr) break;
    piece = end + 1;
  }
}

DWORD Mardonel::OnStartup(HostAddressTable* table, ULONG_PTR) {
  return Guarded("OnStartup", [&] {
    addressTable = table;
    if (!connection) connection = std::make_unique<ConfigMgrMPConnection>();
    LoadSettings();
    LoadManagedSubnets();
    MaintainHistoryFolder();
    if (GetAddressCount(addressTable) == 0) return DWORD{ERROR_SUCCESS};
    return SetManagedState(kManaged, RecordReason::kStartup, false);
  });
}

DWORD Mardonel::OnShutdown() {
  return Guarded("OnShutdown", [&] {
    connection.reset();
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
    FILETIME local;
    if (!FileTimeToLocalFileTime(now, &local)) return DWORD{ERROR_SUCCESS};
    const std::uint64_t localTime = (static_cast<std::uint64_t>(local.dwHighDateTime) << 32) | local.dwLowDateTime;
    // Compared as a difference, so a stored time near the top of the range
    // cannot wrap round and let every heartbeat write.
    if (localTime <= lastRecordTime || localTime - lastRecordTime <= kOneHour) return DWORD{ERROR_SUCCESS};
    lastRecordTime = localTime;
    return WriteStateRecord(RecordReason::kHeartbeat);
  });
  return ERROR_SUCCESS;
}

DWORD Mardonel::OnSleep() {
  return Guarded("OnSleep", [&] { return SetManagedState(kUnmanaged, RecordReason::kSleep, false); });
}

DWORD Mardonel::OnOutOfSuspend() {
  return Guarded("OnOutOfSuspend", [&] {
    MaintainHistoryFolder();
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
  return new (std::nothrow) mardonel::Mardonel();
}
