// Security of the folders the module creates for itself.
#pragma once

#include <windows.h>

#include "common/win/win_owners.h"

namespace mardonel {

// SYSTEM and Administrators full control, Users read and execute, each
// inherited by files and subfolders; protected, so nothing is inherited from
// the parent. Readers can still read; no user can plant anything inside.
inline constexpr char kProtectedFolderSddl[] = "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)";

// A security descriptor built from SDDL text, and the attributes that hand it
// to CreateDirectoryA.
class FolderSecurity {
 public:
  explicit FolderSecurity(const char* sddl);
  FolderSecurity(const FolderSecurity&) = delete;
  FolderSecurity& operator=(const FolderSecurity&) = delete;

  // Null when the text could not be converted.
  SECURITY_ATTRIBUTES* attributes() { return descriptor_ ? &attributes_ : nullptr; }

 private:
  unique_hlocal descriptor_;
  SECURITY_ATTRIBUTES attributes_;
};

}  // namespace mardonel
