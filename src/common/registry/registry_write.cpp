#include <cstring>

#include "common/log/log.h"
#include "common/registry/registry_key.h"
#include "common/registry/registry_parameter.h"
#include "common/win/error_text.h"

namespace mardonel {

namespace {

// The status is also left in the thread's last error, as GetRegParameter leaves its own.
[[nodiscard]] DWORD Finish(DWORD status) {
  SetLastError(status);
  return status;
}

}  // namespace

DWORD SetRegParameter(HKEY root, const char* subKey, const char* valueName, DWORD type, const void* data, DWORD size,
                      DWORD) {
  const bool dataMissing = data == nullptr && (IsRegistryText(type) || size != 0);
  if (root == nullptr || subKey == nullptr || valueName == nullptr || dataMissing) {
    return Finish(ERROR_INVALID_PARAMETER);
  }
  RegistryKey opened = OpenRegistryKey(root, subKey, kRegistryReadWrite);
  if (!opened.key) opened = CreateRegistryKey(root, subKey);
  if (!opened.key) {
    LogPrintf("SetRegParameter \"%s\\%s\" - %s\n", subKey, valueName, ErrorText(opened.status));
    return Finish(opened.status);
  }
  if (IsRegistryText(type)) size = static_cast<DWORD>(std::strlen(static_cast<const char*>(data)) + 1);
  // Deleting first makes the stored type the requested one, whatever was there.
  RegDeleteValueA(opened.key.get(), valueName);
  const auto status =
      static_cast<DWORD>(RegSetValueExA(opened.key.get(), valueName, 0, type, static_cast<const BYTE*>(data), size));
  if (status != ERROR_SUCCESS) {
    // The old value is already gone: the caller must learn that nothing is stored.
    LogPrintf("SetRegParameter \"%s\\%s\" - %s\n", subKey, valueName, ErrorText(status));
  }
  return Finish(status);
}

}  // namespace mardonel
