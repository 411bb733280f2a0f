#include "support/scratch_registry.h"

#include <gtest/gtest.h>

namespace mardonel {

namespace {

constexpr char kScratchParent[] = "Software\\Mardonel tests";

std::string activeScratch;  // under HKEY_CURRENT_USER; empty when none

std::string NewScratchPath() {
  static int counter = 0;
  return std::string(kScratchParent) + "\\" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
}

}  // namespace

void ScratchMachineRegistry::Redirect() {
  ASSERT_FALSE(scratch_) << "redirected twice";
  const std::string path = NewScratchPath();
  ASSERT_EQ(
      RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, scratch_.put(), nullptr),
      ERROR_SUCCESS)
      << "no scratch key at HKCU\\" << path;
  activeScratch = path;
  ASSERT_EQ(RegOverridePredefKey(HKEY_LOCAL_MACHINE, scratch_.get()), ERROR_SUCCESS)
      << "HKEY_LOCAL_MACHINE not redirected to HKCU\\" << path;
}

ScratchMachineRegistry::~ScratchMachineRegistry() {
  if (!scratch_) return;
  RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
  scratch_.reset();
  RegDeleteTreeA(HKEY_CURRENT_USER, activeScratch.c_str());
  // Goes only when no other test program still has a scratch key there.
  RegDeleteKeyA(HKEY_CURRENT_USER, kScratchParent);
  activeScratch.clear();
}

std::string KeyForOtherProcesses(const std::string& key) {
  constexpr char kMachine[] = "HKLM\\";
  if (activeScratch.empty() || key.rfind(kMachine, 0) != 0) return key;
  return "HKCU\\" + activeScratch + "\\" + key.substr(sizeof kMachine - 1);
}

}  // namespace mardonel
