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

ScratchMachineRegistry::ScratchMachineRegistry() {
  const std::string path = NewScratchPath();
  RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, scratch_.put(), nullptr);
  if (!scratch_ || RegOverridePredefKey(HKEY_LOCAL_MACHINE, scratch_.get()) != ERROR_SUCCESS) {
    ADD_FAILURE() << "no scratch registry at HKCU\\" << path;
    return;
  }
  activeScratch = path;
}

ScratchMachineRegistry::~ScratchMachineRegistry() {
  RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
  scratch_.reset();
  if (activeScratch.empty()) return;
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
