#include <cstring>

#include "registry_fixture.h"

namespace {

class GetRegParameterTest : public RegistryFixture {
 protected:
  DWORD ReadNumber(const char* name, DWORD& number, DWORD flags = 0) {
    return GetRegParameter(HKEY_LOCAL_MACHINE, key_.c_str(), name, REG_DWORD, &number, sizeof number, flags);
  }
  DWORD ReadText(const char* name, char* text, DWORD size, DWORD flags = 0) {
    return GetRegParameter(HKEY_LOCAL_MACHINE, key_.c_str(), name, REG_SZ, text, size, flags);
  }
};

TEST_F(GetRegParameterTest, MissingKeyAndValuesAreCreatedWithTheDefaults) {
  DWORD number = 9;
  EXPECT_EQ(ReadNumber("Debug", number), 0u);
  EXPECT_EQ(GetLastError(), 0u);
  EXPECT_EQ(number, 9u);
  EXPECT_EQ(Stored("Debug"), NumberValue(9));

  char name[260] = "C:\\logs\\agent.log";
  EXPECT_EQ(ReadText("LogFileName", name, sizeof name), 0u);
  EXPECT_EQ(Stored("LogFileName"), TextValue("C:\\logs\\agent.log"));

  char empty[260] = "";
  EXPECT_EQ(ReadText("Empty", empty, sizeof empty), 0u);
  EXPECT_EQ(Stored("Empty"), (RawValue{REG_SZ, std::string(1, '\0')}));
}

TEST_F(GetRegParameterTest, ReadOnlyCreatesNothingAndClearsOnlyForAnExistingKey) {
  DWORD number = 9;
  char text[260] = "10.1.0.0";
  EXPECT_EQ(ReadNumber("Debug", number, RP_READ_ONLY), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(ReadText("ManagedSubnets", text, sizeof text, RP_READ_ONLY), 0u);
  EXPECT_EQ(number, 9u);
  EXPECT_STREQ(text, "10.1.0.0");
  EXPECT_FALSE(KeyExists(key_));

  StoreNumber(key_, "Other", 1);
  EXPECT_EQ(ReadNumber("Debug", number, RP_READ_ONLY), 0u);
  EXPECT_EQ(ReadText("ManagedSubnets", text, sizeof text, RP_READ_ONLY), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(number, 0u);
  EXPECT_STREQ(text, "");
  EXPECT_FALSE(Stored("Debug"));
  EXPECT_FALSE(Stored("ManagedSubnets"));
  EXPECT_TRUE(log_.Lines().empty());
}

TEST_F(GetRegParameterTest, StoredValueIsReadAndAChangeIsReported) {
  StoreNumber(key_, "Debug", 0x1f);
  DWORD number = 9;
  EXPECT_EQ(ReadNumber("Debug", number), 1u);
  EXPECT_EQ(number, 0x1fu);
  EXPECT_EQ(ReadNumber("Debug", number), 0u);
  number = 9;
  EXPECT_EQ(ReadNumber("Debug", number, RP_READ_ONLY), 1u);

  StoreText(key_, "LogFileName", "ABC");
  char text[260] = "abc";
  EXPECT_EQ(ReadText("LogFileName", text, sizeof text), 0u) << "case alone is no change";
  EXPECT_STREQ(text, "ABC");
  std::strcpy(text, "ab");
  EXPECT_EQ(ReadText("LogFileName", text, sizeof text), 1u);
  std::strcpy(text, "abcd");
  EXPECT_EQ(ReadText("LogFileName", text, sizeof text), 1u);
  EXPECT_STREQ(text, "ABC");
}

TEST_F(GetRegParameterTest, LongTextsAreComparedWithoutCaseToo) {
  const std::string lower(300, 'a');
  StoreText(key_, "LogFileName", std::string(300, 'A'));
  char text[600] = {};
  std::strcpy(text, lower.c_str());
  EXPECT_EQ(ReadText("LogFileName", text, sizeof text), 0u);
  EXPECT_EQ(std::string(text), std::string(300, 'A'));
  std::strcpy(text, std::string(299, 'a').c_str());
  EXPECT_EQ(ReadText("LogFileName", text, sizeof text), 1u);
}

TEST_F(GetRegParameterTest, ShortNumberTextIsConvertedAndRewrittenAsNumber) {
  StoreText(key_, "MaxLogFilesize", "100");
  DWORD number = 1048576;
  EXPECT_EQ(ReadNumber("MaxLogFilesize", number, RP_READ_ONLY), 1u);
  EXPECT_EQ(number, 100u);
  EXPECT_EQ(Stored("MaxLogFilesize"), TextValue("100")) << "read-only repairs nothing";

  number = 1048576;
  EXPECT_EQ(ReadNumber("MaxLogFilesize", number), 1u);
  EXPECT_EQ(GetLastError(), 0u);
  EXPECT_EQ(number, 100u);
  EXPECT_EQ(Stored("MaxLogFilesize"), NumberValue(100));

  StoreText(key_, "Debug", "x1");
  number = 9;
  EXPECT_EQ(ReadNumber("Debug", number), 1u);
  EXPECT_EQ(number, 0u) << "no leading digits";
  StoreRawValue(key_, "Debug", REG_SZ, "123");  // no terminator stored
  EXPECT_EQ(ReadNumber("Debug", number), 1u);
  EXPECT_EQ(number, 123u);
}

TEST_F(GetRegParameterTest, ValueLargerThanTheBufferLeavesDefaultAndValue) {
  StoreText(key_, "MaxLogFilesize", "1048576");
  DWORD number = 4096;
  EXPECT_EQ(ReadNumber("MaxLogFilesize", number), static_cast<DWORD>(ERROR_MORE_DATA));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MORE_DATA));
  EXPECT_EQ(number, 4096u);
  EXPECT_EQ(Stored("MaxLogFilesize"), TextValue("1048576"));

  EXPECT_EQ(ReadNumber("MaxLogFilesize", number, RP_READ_ONLY), 0u) << "a read-only read reports changes only";
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MORE_DATA));

  StoreRawValue(key_, "Debug", REG_BINARY, std::string(8, '\x7f'));
  number = 9;
  EXPECT_EQ(ReadNumber("Debug", number), static_cast<DWORD>(ERROR_MORE_DATA));
  EXPECT_EQ(number, 9u);
  EXPECT_EQ(Stored("Debug"), (RawValue{REG_BINARY, std::string(8, '\x7f')}));

  StoreText(key_, "LogFileName", std::string(300, 'x'));
  char text[260] = "keep";
  EXPECT_EQ(ReadText("LogFileName", text, sizeof text), static_cast<DWORD>(ERROR_MORE_DATA));
  EXPECT_STREQ(text, "keep");
}

TEST_F(GetRegParameterTest, ForeignTypeIsReplacedByTheDefaultUnlessReadOnly) {
  StoreRawValue(key_, "Debug", REG_BINARY, std::string(4, '\x7f'));
  DWORD number = 9;
  EXPECT_EQ(ReadNumber("Debug", number, RP_READ_ONLY), 0u);
  EXPECT_EQ(Stored("Debug"), (RawValue{REG_BINARY, std::string(4, '\x7f')}));
  EXPECT_EQ(ReadNumber("Debug", number), 0u);
  EXPECT_EQ(number, 9u);
  EXPECT_EQ(Stored("Debug"), NumberValue(9));

  StoreRawValue(key_, "LogFileName", REG_EXPAND_SZ, TextValue("%TEMP%\\x.log").bytes);
  char text[260] = "C:\\temp\\agent.log";
  EXPECT_EQ(ReadText("LogFileName", text, sizeof text), 0u);
  EXPECT_STREQ(text, "C:\\temp\\agent.log");
  EXPECT_EQ(Stored("LogFileName"), TextValue("C:\\temp\\agent.log"));
}

TEST_F(GetRegParameterTest, TextStoredWithoutTerminatorEndsInsideTheBuffer) {
  // The registry counts the missing terminator in the stored size, so a text
  // of eight characters needs nine bytes.
  char area[16];
  StoreRawValue(key_, "Exact", REG_SZ, "abcdefgh");
  std::memset(area, 'X', sizeof area);
  area[0] = '\0';
  EXPECT_EQ(ReadText("Exact", area, 8), static_cast<DWORD>(ERROR_MORE_DATA));
  EXPECT_EQ(area[0], '\0');
  EXPECT_EQ(ReadText("Exact", area, 9), 1u);
  EXPECT_STREQ(area, "abcdefgh");
  EXPECT_EQ(std::string(area + 9, 7), std::string(7, 'X'));

  StoreRawValue(key_, "Short", REG_SZ, "abc");
  std::memset(area, 'X', sizeof area);
  area[0] = '\0';
  EXPECT_EQ(ReadText("Short", area, 8), 1u);
  EXPECT_STREQ(area, "abc");
  EXPECT_EQ(std::string(area + 4, 12), std::string(12, 'X'));
}

TEST_F(GetRegParameterTest, MissingArgumentsAreRefusedWithoutTouchingAnything) {
  DWORD number = 9;
  SetLastError(12345);
  EXPECT_EQ(GetRegParameter(nullptr, key_.c_str(), "Debug", REG_DWORD, &number, 4, 0), 87u);
  EXPECT_EQ(GetRegParameter(HKEY_LOCAL_MACHINE, nullptr, "Debug", REG_DWORD, &number, 4, 0), 87u);
  EXPECT_EQ(GetRegParameter(HKEY_LOCAL_MACHINE, key_.c_str(), nullptr, REG_DWORD, &number, 4, 0), 87u);
  EXPECT_EQ(GetRegParameter(HKEY_LOCAL_MACHINE, key_.c_str(), "Debug", REG_DWORD, nullptr, 4, 0), 87u);
  EXPECT_EQ(GetRegParameter(HKEY_LOCAL_MACHINE, key_.c_str(), "Debug", REG_DWORD, &number, 2, 0), 87u);
  EXPECT_EQ(GetLastError(), 12345u);
  EXPECT_EQ(number, 9u);
  EXPECT_FALSE(KeyExists(key_));
}

TEST_F(GetRegParameterTest, KeyThatCannotBeOpenedIsLoggedForWritableReads) {
  DWORD number = 9;
  const DWORD status = GetRegParameter(NoSuchRoot(), key_.c_str(), "Debug", REG_DWORD, &number, 4, 0);
  EXPECT_NE(status, 0u);
  EXPECT_EQ(GetLastError(), status);
  EXPECT_EQ(number, 9u);
  EXPECT_EQ(log_.CountEndingWith("GetRegParameter_4 " + ErrorTextOf(status) + " - " + key_ + "\\Debug"), 1);

  EXPECT_EQ(GetRegParameter(NoSuchRoot(), key_.c_str(), "Debug", REG_DWORD, &number, 4, RP_READ_ONLY), 0u);
  EXPECT_EQ(log_.Lines().size(), 1u);
}

TEST_F(GetRegParameterTest, DefaultThatCannotBeWrittenIsLogged) {
  // The registry refuses a value name this long, so the default cannot be stored.
  const std::string tooLong(20000, 'n');
  DWORD number = 9;
  const DWORD status = ReadNumber(tooLong.c_str(), number);
  EXPECT_NE(status, 0u);
  EXPECT_EQ(GetLastError(), status);
  EXPECT_EQ(number, 9u);
  EXPECT_EQ(log_.CountStartingWith("GetRegParameter_3 " + ErrorTextOf(status) + " - nnnn"), 1);
}

}  // namespace
