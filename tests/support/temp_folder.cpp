#include "support/temp_folder.h"

#include <windows.h>

#include <atomic>
#include <cstdio>

#include "common/fs/directory.h"

namespace mardonel {

namespace {

std::atomic<int> folderCounter{0};

}  // namespace

ScopedTempFolder::ScopedTempFolder() {
  char base[MAX_PATH] = {};
  GetTempPathA(sizeof base, base);
  char name[MAX_PATH];
  std::snprintf(name, sizeof name, "%smardonel-test-%lu-%d-%lu", base, GetCurrentProcessId(), folderCounter++,
                GetTickCount());
  path_ = name;
  CreateDirectoryA(path_.c_str(), nullptr);
}

ScopedTempFolder::~ScopedTempFolder() { RemoveDirectoryTree(path_.c_str()); }

}  // namespace mardonel
