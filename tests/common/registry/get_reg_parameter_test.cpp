#include <cstring>

#include "registry_fixture.h"
#include "support/registry_witness.h"

namespace mardonel {

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

TEST_F(GetRegParameterTest, NumberTextIsTakenWholeOrLeftAsStored) {
  StoreText(key_, "MaxLogFilesize", "100");
  DWORD number = 1048576;
  EXPECT_EQ(ReadNumber("MaxLogFilesize", number, RP_READ_ONLY), 1u);
  EXPECT_EQ(number, 100u);
  EXPECT_EQ(Stored("MaxLogFilesize"), TextValue("100")) << "read-only repairs nothing";

  struct Case {
    std::string stored;  // as REG_SZ, terminator included
    DWORD number;        // read over a default of 9
    RegExeValue after;
  };
  const Case cases[] = {
      {std::string("100", 4), 100, {"REG_DWORD", "0x64"}},
      {std::string("0x19", 5), 25, {"REG_DWORD", "0x19"}},
      {std::string("1048576", 8), 1048576, {"REG_DWORD", "0x100000"}},
      {std::string(" 25 ", 5), 25, {"REG_DWORD", "0x19"}},
      {std::string("\t0XfFfFfFfF", 12), 0xFFFFFFFF, {"REG_DWORD", "0xffffffff"}},
      {"123", 123, {"REG_DWORD", "0x7b"}},  // no terminator stored
      {std::string("25abc", 6), 9, {"REG_SZ", "25abc"}},
      {std::string("big", 4), 9, {"REG_SZ", "big"}},
      {std::string("4294967296", 11), 9, {"REG_SZ", "4294967296"}},
      {std::string("x1", 3), 9, {"REG_SZ", "x1"}},
      {std::string("1a", 3), 9, {"REG_SZ", "1a"}},
      {std::string("0x", 3), 9, {"REG_SZ", "0x"}},
      {std::string("-1", 3), 9, {"REG_SZ", "-1"}},
      {std::string("", 1), 9, {"REG_SZ", ""}},
  };
  for (const Case& c : cases) {
    StoreRawValue(key_, "Debug", REG_SZ, c.stored);
    number = 9;
    const int failuresBefore = CountLines(log_.Lines(), ": GetRegParameter Debug - ");
    const DWORD status = ReadNumber("Debug", number);
    EXPECT_EQ(number, c.number) << c.stored;
    const bool taken = c.after.type == "REG_DWORD";
    EXPECT_EQ(status, taken ? (c.number != 9 ? 1u : 0u) : static_cast<DWORD>(ERROR_INVALID_DATA)) << c.stored;
    EXPECT_EQ(CountLines(log_.Lines(), ": GetRegParameter Debug - ") - failuresBefore, taken ? 0 : 1) << c.stored;
    EXPECT_EQ(RegExeQueryValue("HKLM\\" + key_, "Debug"), c.after) << c.stored;
  }
  EXPECT_EQ(log_.CountEndingWith(": GetRegParameter Debug - \"big\" is not a number; left as stored"), 1);
}

TEST_F(GetRegParameterTest, ValueOfTheWrongSizeLeavesDefaultAndValue) {
  // A number of fewer than four bytes would replace only the default's low ones.
  for (const std::size_t bytes : {0, 1, 3}) {
    StoreRawValue(key_, "MaxLogFilesize", REG_DWORD, std::string(bytes, '\0'));
    DWORD size = 1048576;
    EXPECT_EQ(ReadNumber("MaxLogFilesize", size), static_cast<DWORD>(ERROR_INVALID_DATA)) << bytes;
    EXPECT_EQ(size, 1048576u) << bytes;
    EXPECT_EQ(Stored("MaxLogFilesize"), (RawValue{REG_DWORD, std::string(bytes, '\0')})) << bytes;
  }
  for (const char* size : {"0 bytes", "1 byte", "3 bytes"}) {
    EXPECT_EQ(log_.CountEndingWith(std::string(": GetRegParameter MaxLogFilesize - REG_DWORD of ") + size +
                                   " is not a number; left as stored"),
              1)
        << size;
  }

  StoreRawValue(key_, "Debug", REG_BINARY, std::string(8, '\x7f'));
  DWORD number = 9;
  EXPECT_EQ(ReadNumber("Debug", number), static_cast<DWORD>(ERROR_MORE_DATA));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MORE_DATA));
  EXPECT_EQ(number, 9u);
  EXPECT_EQ(Stored("Debug"), (RawValue{REG_BINARY, std::string(8, '\x7f')}));
  EXPECT_EQ(ReadNumber("Debug", number, RP_READ_ONLY), 0u) << "a read-only read reports changes only";
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MORE_DATA));

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

  StoreRawValue(key_, "LogFileName", REG_MULTI_SZ, std::string("a\0b\0\0", 5));
  char text[260] = "C:\\temp\\agent.log";
  EXPECT_EQ(ReadText("LogFileName", text, sizeof text), 0u);
  EXPECT_STREQ(text, "C:\\temp\\agent.log");
  EXPECT_EQ(Stored("LogFileName"), TextValue("C:\\temp\\agent.log"));
}

TEST_F(GetRegParameterTest, ExpandableTextIsReadExpandedAndNeverRewritten) {
  const std::string stored = "%SystemDrive%\\logs\\a.log";
  StoreRawValue(key_, "LogFileName", REG_EXPAND_SZ, TextValue(stored).bytes);
  for (const DWORD flags : {DWORD{0}, RP_READ_ONLY}) {
    char text[260] = "";
    EXPECT_EQ(ReadText("LogFileName", text, sizeof text, flags), 1u) << flags;
    EXPECT_STREQ(text, "C:\\logs\\a.log") << flags;
    EXPECT_EQ(RegExeQueryValue("HKLM\\" + key_, "LogFileName"), (RegExeValue{"REG_EXPAND_SZ", stored})) << flags;
  }

  // The bound is the expanded text's: 14 bytes here, 9 below for 19 stored.
  char text[16] = "keep";
  EXPECT_EQ(ReadText("LogFileName", text, 13), static_cast<DWORD>(ERROR_MORE_DATA));
  EXPECT_STREQ(text, "keep");
  StoreRawValue(key_, "LogFileName", REG_EXPAND_SZ, TextValue("%SystemDrive%\\a.log").bytes);
  EXPECT_EQ(ReadText("LogFileName", text, 9), 1u);
  EXPECT_STREQ(text, "C:\\a.log");
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
  EXPECT_EQ(GetRegParameter(NoSuchRoot(), key_.c_str(), "Debug", REG_DWORD, &number, 4, 0), 6u);
  EXPECT_EQ(GetLastError(), 6u);
  EXPECT_EQ(number, 9u);
  EXPECT_EQ(log_.CountEndingWith("GetRegParameter_4 Invalid handle. - " + key_ + "\\Debug"), 1);

  EXPECT_EQ(GetRegParameter(NoSuchRoot(), key_.c_str(), "Debug", REG_DWORD, &number, 4, RP_READ_ONLY), 0u);
  EXPECT_EQ(log_.Lines().size(), 1u);
}

TEST_F(GetRegParameterTest, DefaultThatCannotBeWrittenIsLogged) {
  // The registry refuses a value name this long, so the default cannot be stored.
  const std::string tooLong(20000, 'n');
  DWORD number = 9;
  EXPECT_EQ(ReadNumber(tooLong.c_str(), number), 87u);
  EXPECT_EQ(GetLastError(), 87u);
  EXPECT_EQ(number, 9u);
  EXPECT_EQ(log_.CountStartingWith("GetRegParameter_3 Invalid parameter. - nnnn"), 1);
}

}  // namespace

}  // namespace mardonel
