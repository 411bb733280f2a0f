// What Wine honours of a redirected machine registry: the calls of this
// process land in the scratch key, while reg.exe, another process, still
// sees the prefix's own HKEY_LOCAL_MACHINE.
#include <gtest/gtest.h>

#include <string>

#include "support/registry_witness.h"
#include "support/scratch_registry.h"
#include "support/test_registry.h"

namespace mardonel {

namespace {

TEST(ScratchMachineRegistry, RedirectsThisProcessOnlyAndLeavesNothingBehind) {
  const std::string key = UniqueTestKey("Software\\Quarnel");
  {
    ScratchMachineRegistry registry;
    ASSERT_NO_FATAL_FAILURE(registry.Redirect());
    StoreText(key, "Probe", "scratch");
    EXPECT_EQ(ReadRawValue(key, "Probe"), TextValue("scratch"));
    EXPECT_EQ(RegExeQueryValue("HKLM\\" + key, "Probe"), (RegExeValue{"REG_SZ", "scratch"})) << "by its HKCU path";
    EXPECT_FALSE(RegExeQueryKey("HKEY_LOCAL_MACHINE\\" + key)) << "reg.exe sees the real machine registry";
  }
  EXPECT_FALSE(KeyExists(key));
  EXPECT_FALSE(RegExeQueryKey("HKEY_LOCAL_MACHINE\\" + key));
}

}  // namespace

}  // namespace mardonel
