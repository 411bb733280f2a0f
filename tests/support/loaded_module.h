// Mardonel.dll loaded as a host loads it: by name, from the test program's
// folder, for the length of a test.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include "common/win/win_owners.h"

namespace mardonel {

class LoadedModule {
 public:
  // A fatal failure when the library cannot be loaded: call it as
  // ASSERT_NO_FATAL_FAILURE(library.Load()).
  void Load() {
    library_.reset(LoadLibraryA("Mardonel.dll"));
    ASSERT_TRUE(library_) << "Mardonel.dll not loaded, error " << GetLastError();
  }

  // The export `name` as a `Function`; a fatal failure when it is missing.
  template <typename Function>
  void Find(const char* name, Function& function) const {
    function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library_.get(), name)));
    ASSERT_NE(function, nullptr) << "Mardonel.dll exports no " << name;
  }

  void Unload() { library_.reset(); }

 private:
  unique_hmodule library_;
};

}  // namespace mardonel
