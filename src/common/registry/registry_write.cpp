#include "registry_write.h"

#include <cstring>

#include "common/log/log.h"
#include "common/registry/registry_parameter.h"
#include "common/win/error_text.h"
#include "registry_key.h"

namespace mardonel {

DWORD WriteRegistryValue(HKEY root, const char* subKey, const char* valueName, DWORD type, const void* data, DWORD size,
                         RegistryValueWriter write) {
  const bool dataMissing = data == nullptr && (IsRegistryText(type) || size != 0);
  if (root == nullptr || subKey == nullptr || valueName == nullptr || dataMissing) return ERROR_INVALID_PARAMETER;
  RegistryKey opened = OpenRegistryKey(root, subKey, kRegistryReadWrite);
  if (!opened.ok()) opened = CreateRegistryKey(root, subKey);
  if (!opened.ok()) {
    LogPrintf("SetRegParameter \"%s\\%s\" - %s\n", subKey, valueName, ErrorText(opened.status()));
    return opened.status();
  }
  if (IsRegistryText(type)) size = static_cast<DWORD>(std::strlen(static_cast<const char*>(data)) + 1);
  // One call replaces type and data, whatever was there: a refused write
  // leaves the old value.
  const auto status =
      static_cast<DWORD>(write(opened.value().get(), valueName, 0, type, static_cast<const BYTE*>(data), size));
  if (status != ERROR_SUCCESS) LogPrintf("SetRegParameter \"%s\\%s\" - %s\n", subKey, valueName, ErrorText(status));
  return status;
}

DWORD SetRegParameter(HKEY root, const char* subKey, const char* valueName, DWORD type, const void* data, DWORD size,
                      DWORD) {
  const DWORD status = WriteRegistryValue(root, subKey, valueName, type, data, size);
  SetLastError(status);
  return status;
}

}  // namespace mardonel
