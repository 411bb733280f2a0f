// A settings key of its own for each test, under the settings root and its
// policy counterpart, in a scratch machine registry.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "common/registry/registry_parameter.h"
#include "support/captured_log.h"
#include "support/scratch_registry.h"
#include "support/test_registry.h"

namespace mardonel {

class RegistryFixture : public testing::Test {
 protected:
  void SetUp() override { ASSERT_NO_FATAL_FAILURE(registry_.Redirect()); }

  // The policy form of a key under Software\Quarnel.
  static std::string PolicyKeyOf(const std::string& key) {
    return "Software\\Policies\\Quarnel" + key.substr(sizeof "Software\\Quarnel" - 1);
  }
  std::optional<RawValue> Stored(const char* name) const { return ReadRawValue(key_, name); }

  ScratchMachineRegistry registry_;
  std::string key_ = UniqueTestKey("Software\\Quarnel");
  std::string policyKey_ = PolicyKeyOf(key_);
  CapturedLog log_;
};

// An HKEY that names no open key: every open under it is refused.
inline HKEY NoSuchRoot() { return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x0BADF00C)); }

}  // namespace mardonel
