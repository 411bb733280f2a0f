#include <cstring>

#include "common/log/log.h"
#include "common/registry/registry_key.h"
#include "common/registry/registry_parameter.h"
#include "common/win/error_text.h"

namespace mardonel {

namespace {

bool IsTextType(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ; }

DWORD Finish(DWORD status) {
  SetLastError(status);
  return status;
}

}  // namespace

DWORD SetRegParameter(HKEY root, const char* subKey, const char* valueName, DWORD type, const void* data, DWORD size,
                      DWORD) {
  const bool dataMissing = data == nullptr && (IsTextType(type) || size != 0);
  if (root == nullptr || subKey == nullptr || valueName == nullptr || dataMissing) {
    return Finish(ERROR_INVALID_PARAMETER);
  }
  LSTATUS status = ERROR_SUCCESS;
  unique_hkey key = OpenRegistryKey(root, subKey, kRegistryReadWrite, status);
  if (!key) key = CreateRegistryKey(root, subKey, status);
  if (!key) {
    LogPrintf("SetRegParameter \"%s\\%s\" - %s\n", subKey, valueName, ErrorText(status));
    return Finish(status);
  }
  if (IsTextType(type)) size = static_cast<DWORD>(std::strlen(static_cast<const char*>(data)) + 1);
  // Deleting first makes the stored type the requested one, whatever was there.
  RegDeleteValueA(key.get(), valueName);
  status = RegSetValueExA(key.get(), valueName, 0, type, static_cast<const BYTE*>(data), size);
  if (status != ERROR_SUCCESS) {
    // The old value is already gone: the caller must learn that nothing is stored.
    LogPrintf("SetRegParameter \"%s\\%s\" - %s\n", subKey, valueName, ErrorText(status));
  }
  return Finish(status);
}

}  // namespace mardonel
