#include "common/fs/folder_security.h"

#include <sddl.h>

namespace mardonel {

FolderSecurity::FolderSecurity(const char* sddl) : attributes_{sizeof(SECURITY_ATTRIBUTES), nullptr, FALSE} {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &descriptor, nullptr)) {
    descriptor_.reset(descriptor);
    attributes_.lpSecurityDescriptor = descriptor;
  }
}

}  // namespace mardonel
