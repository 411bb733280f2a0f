#include "support/profile_folder.h"

#include <windows.h>

namespace mardonel {

ScopedProfileFolder::ScopedProfileFolder(const std::string& folder) : folder_(folder) {
  char previous[MAX_PATH] = {};
  GetEnvironmentVariableA("ALLUSERSPROFILE", previous, sizeof previous);
  previous_ = previous;
  SetEnvironmentVariableA("ALLUSERSPROFILE", folder_.c_str());
}

ScopedProfileFolder::~ScopedProfileFolder() {
  SetEnvironmentVariableA("ALLUSERSPROFILE", previous_.empty() ? nullptr : previous_.c_str());
}

std::string ScopedProfileFolder::StatesFolder() const {
  return folder_ + "\\Application Data\\Quarnel\\ToveraAgt\\States\\";
}

}  // namespace mardonel
