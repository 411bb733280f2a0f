#include <cctype>

#include "registry_fixture.h"

namespace mardonel {

namespace {

class RegGetPolicyParameterTest : public RegistryFixture {
 protected:
  DWORD ReadNumber(const std::string& key, const char* name, DWORD& number) {
    return RegGetPolicyParameter(HKEY_LOCAL_MACHINE, key.c_str(), name, REG_DWORD, &number, sizeof number, 0);
  }
};

TEST_F(RegGetPolicyParameterTest, PolicyValueWinsAndTheOrdinaryKeyIsLeftAlone) {
  StoreNumber(policyKey_, "Debug", 0x1f);
  DWORD number = 9;
  EXPECT_EQ(ReadNumber(key_, "Debug", number), 1u);
  EXPECT_EQ(number, 0x1fu);
  EXPECT_FALSE(KeyExists(key_)) << "neither read nor created";

  StoreNumber(key_, "Debug", 3);
  EXPECT_EQ(ReadNumber(key_, "Debug", number), 0u);
  EXPECT_EQ(number, 0x1fu);
}

TEST_F(RegGetPolicyParameterTest, PolicyTextIsConvertedButNeverRewritten) {
  StoreText(policyKey_, "Debug", "9");
  DWORD number = 1;
  EXPECT_EQ(ReadNumber(key_, "Debug", number), 1u);
  EXPECT_EQ(number, 9u);
  EXPECT_EQ(ReadRawValue(policyKey_, "Debug"), TextValue("9"));
}

TEST_F(RegGetPolicyParameterTest, UnreadablePolicyValueStillWins) {
  StoreRawValue(policyKey_, "Debug", REG_BINARY, std::string(8, '\x01'));
  DWORD number = 9;
  EXPECT_EQ(ReadNumber(key_, "Debug", number), static_cast<DWORD>(ERROR_MORE_DATA));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MORE_DATA));
  EXPECT_EQ(number, 9u);
  EXPECT_FALSE(KeyExists(key_));

  DeleteKeyTree(policyKey_);
  StoreNumber(policyKey_, "Other", 1);
  EXPECT_EQ(ReadNumber(key_, "Debug", number), 0u) << "a policy key without the value falls back";
  EXPECT_EQ(Stored("Debug"), NumberValue(9));
}

TEST_F(RegGetPolicyParameterTest, SettingsPrefixIsComparedWithoutCase) {
  StoreNumber(policyKey_, "Debug", 0x10);
  std::string shouted = key_;
  for (char& c : shouted) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  DWORD number = 9;
  ReadNumber(shouted, "Debug", number);
  EXPECT_EQ(number, 0x10u);
  EXPECT_TRUE(log_.Lines().empty());
}

TEST_F(RegGetPolicyParameterTest, KeyOutsideTheSettingsIsLoggedAndReadPlainly) {
  const std::string outside = UniqueTestKey("Software\\QuarnelOutside");
  StoreNumber(PolicyKeyOf(key_), "Debug", 0x10);
  DWORD number = 9;
  EXPECT_EQ(ReadNumber(outside, "Debug", number), 0u);
  EXPECT_EQ(number, 9u);
  EXPECT_EQ(ReadRawValue(outside, "Debug"), NumberValue(9));
  EXPECT_EQ(log_.CountEndingWith("Error: RegGetPolicyParameter Debug"), 1);
}

TEST_F(RegGetPolicyParameterTest, PolicyNameMustFitInItsBuffer) {
  // The policy form is 9 characters longer: 250 characters fit with the
  // terminator in 260 bytes, 251 do not.
  for (const std::size_t length : {std::size_t{250}, std::size_t{251}}) {
    const std::string key = key_ + "\\" + std::string(length - key_.size() - 1, 'x');
    ASSERT_EQ(key.size(), length);
    StoreNumber(PolicyKeyOf(key), "Debug", 0x10);
    DWORD number = 9;
    ReadNumber(key, "Debug", number);
    EXPECT_EQ(number, length == 250 ? 0x10u : 9u) << length;
    EXPECT_EQ(KeyExists(key), length != 250) << length;
  }
}

}  // namespace

}  // namespace mardonel
