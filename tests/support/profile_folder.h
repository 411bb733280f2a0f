// The all-users profile of this process pointed at a test folder.
#pragma once

#include <string>

namespace mardonel {

class ScopedProfileFolder {
 public:
  explicit ScopedProfileFolder(const std::string& folder);
  ~ScopedProfileFolder();
  ScopedProfileFolder(const ScopedProfileFolder&) = delete;
  ScopedProfileFolder& operator=(const ScopedProfileFolder&) = delete;
  std::string StatesFolder() const;  // with its trailing backslash

 private:
  std::string folder_;
  std::string previous_;
};

}  // namespace mardonel
