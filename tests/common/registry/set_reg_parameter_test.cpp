#include "registry_fixture.h"
#include "registry_write.h"

namespace mardonel {

namespace {

using SetRegParameterTest = RegistryFixture;

TEST_F(SetRegParameterTest, TextReplacesAValueOfAnotherType) {
  StoreRawValue(key_, "ManagedSubnets", REG_MULTI_SZ,
                std::string("10.1.0.0\0"
                            "10.2.0.0\0\0",
                            19));
  EXPECT_EQ(SetRegParameter(HKEY_LOCAL_MACHINE, key_.c_str(), "ManagedSubnets", REG_SZ, "10.3.0.0", 0, 0), 0u);
  EXPECT_EQ(Stored("ManagedSubnets"), TextValue("10.3.0.0"));
}

TEST_F(SetRegParameterTest, TextSizeComesFromTheTextAndEmptyTextIsOneByte) {
  EXPECT_EQ(SetRegParameter(HKEY_LOCAL_MACHINE, key_.c_str(), "Empty", REG_SZ, "", 0, 0), 0u);
  EXPECT_EQ(Stored("Empty"), (RawValue{REG_SZ, std::string(1, '\0')}));
  EXPECT_EQ(SetRegParameter(HKEY_LOCAL_MACHINE, key_.c_str(), "Text", REG_SZ, "abc", 200, 0), 0u);
  EXPECT_EQ(Stored("Text"), TextValue("abc"));

  const DWORD number = 0x64;
  EXPECT_EQ(SetRegParameter(HKEY_LOCAL_MACHINE, key_.c_str(), "Number", REG_DWORD, &number, sizeof number, 0), 0u);
  EXPECT_EQ(Stored("Number"), NumberValue(number));
}

TEST_F(SetRegParameterTest, MissingKeyChainIsCreated) {
  const std::string deep = key_ + "\\Common\\Deeper";
  EXPECT_EQ(SetRegParameter(HKEY_LOCAL_MACHINE, deep.c_str(), "ManagedSubnets", REG_SZ, "10.1.0.0", 0, 0), 0u);
  EXPECT_EQ(GetLastError(), 0u);
  EXPECT_EQ(ReadRawValue(deep, "ManagedSubnets"), TextValue("10.1.0.0"));
}

TEST_F(SetRegParameterTest, KeyThatCannotBeOpenedIsLoggedAndReturned) {
  EXPECT_EQ(SetRegParameter(NoSuchRoot(), key_.c_str(), "ManagedSubnets", REG_SZ, "10.1.0.0", 0, 0), 6u);
  EXPECT_EQ(GetLastError(), 6u);
  EXPECT_EQ(log_.CountEndingWith("SetRegParameter \"" + key_ + "\\ManagedSubnets\" - Invalid handle."), 1);
}

TEST_F(SetRegParameterTest, RefusedWriteIsReportedAndLeavesTheOldValue) {
  // The registry refuses a value name this long, after the key was opened.
  const std::string tooLong(20000, 'n');
  EXPECT_EQ(SetRegParameter(HKEY_LOCAL_MACHINE, key_.c_str(), tooLong.c_str(), REG_SZ, "x", 0, 0), 87u);
  EXPECT_EQ(GetLastError(), 87u);
  EXPECT_EQ(log_.CountStartingWith("SetRegParameter \"" + key_ + "\\nnnn"), 1);

  // Nothing here refuses a write for its data: a stand-in for the registry does.
  StoreText(key_, "ManagedSubnets", "10.1.0.0");
  const RegistryValueWriter refuse = [](HKEY, LPCSTR, DWORD, DWORD, const BYTE*, DWORD) -> LSTATUS {
    return ERROR_ACCESS_DENIED;
  };
  EXPECT_EQ(WriteRegistryValue(HKEY_LOCAL_MACHINE, key_.c_str(), "ManagedSubnets", REG_SZ, "10.2.0.0", 0, refuse), 5u);
  EXPECT_EQ(Stored("ManagedSubnets"), TextValue("10.1.0.0"));
  EXPECT_EQ(log_.CountEndingWith("SetRegParameter \"" + key_ + "\\ManagedSubnets\" - Access denied."), 1);
}

TEST_F(SetRegParameterTest, MissingArgumentsAreRefused) {
  EXPECT_EQ(SetRegParameter(HKEY_LOCAL_MACHINE, key_.c_str(), "Text", REG_SZ, nullptr, 0, 0), 87u);
  EXPECT_EQ(SetRegParameter(HKEY_LOCAL_MACHINE, nullptr, "Text", REG_SZ, "x", 0, 0), 87u);
  EXPECT_FALSE(KeyExists(key_));
}

}  // namespace

}  // namespace mardonel
