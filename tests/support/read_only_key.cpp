#include "support/read_only_key.h"

#include <sddl.h>

namespace mardonel {

ScopedReadOnlyKey::ScopedReadOnlyKey(const std::string& key) {
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, READ_CONTROL | WRITE_DAC, nullptr, key_.put(),
                      nullptr) != ERROR_SUCCESS) {
    return;
  }
  DWORD size = 0;
  RegGetKeySecurity(key_.get(), DACL_SECURITY_INFORMATION, nullptr, &size);
  saved_.resize(size);
  if (size == 0 || RegGetKeySecurity(key_.get(), DACL_SECURITY_INFORMATION, saved_.data(), &size) != ERROR_SUCCESS) {
    return;
  }
  // Everyone is denied setting values and making subkeys, and allowed the rest.
  PSECURITY_DESCRIPTOR refusing = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(D;;0x6;;;WD)(A;;KA;;;WD)", SDDL_REVISION_1, &refusing,
                                                            nullptr)) {
    return;
  }
  const unique_hlocal owner(refusing);
  applied_ = RegSetKeySecurity(key_.get(), DACL_SECURITY_INFORMATION, refusing) == ERROR_SUCCESS;
}

ScopedReadOnlyKey::~ScopedReadOnlyKey() {
  if (applied_) RegSetKeySecurity(key_.get(), DACL_SECURITY_INFORMATION, saved_.data());
}

bool WritesRefused(const std::string& key) {
  HKEY handle = nullptr;
  const LSTATUS status = RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_SET_VALUE, &handle);
  if (status == ERROR_SUCCESS) RegCloseKey(handle);
  return status == ERROR_ACCESS_DENIED;
}

}  // namespace mardonel
