// Bad input that the module's other tests do not try: foreign setting types
// and sizes read at start-up, malformed remembered subnets, calls out of
// order and null pointers, blocked history paths and odd management point
// names.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/fs/directory.h"
#include "common/log/log.h"
#include "connection/ConfigMgrMPConnection.h"
#include "module/dotted_address.h"
#include "module/history_test_env.h"
#include "module/mardonel.h"
#include "stress_env.h"
#include "support/test_registry.h"

namespace {

constexpr char kSettingsKey[] = "Software\\Quarnel\\ToveraAgt";
constexpr char kPolicyKey[] = "Software\\Policies\\Quarnel\\ToveraAgt";
constexpr char kCommonKey[] = "Software\\Quarnel\\Common";
constexpr char kFailureLine[] = ": Failed to create new history file: ";

std::string Bytes(const char* data, std::size_t size) { return std::string(data, size); }

// A subnet list of exactly `length` characters that ends with 10.1.2.34, so
// that a list cut short by one character ends with another subnet.
std::string ListOfLength(std::size_t length) {
  std::string text;
  while (text.size() + 18 <= length) text += "10.9.0.0;";
  text.append(length - 9 - text.size(), ';');
  return text + "10.1.2.34";
}

std::string LastOf(const std::string& list) { return list.substr(list.find_last_of(';') + 1); }

// Start-up against a registry that holds only what a case stores.
class StartupInput : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(DeleteKeyTree("Software\\Quarnel"));
    ASSERT_TRUE(DeleteKeyTree("Software\\Policies\\Quarnel"));
    StoreText(kSettingsKey, "LogFileName", logPath_);
  }

  // The module's remembered subnets after start-up, as dotted texts.
  std::string StartAndListSubnets() {
    Mardonel module;
    EXPECT_EQ(module.OnStartup(empty_.get(), 0), 0u);
    std::string list;
    for (const std::uint32_t subnet : module.managedSubnets) {
      if (!list.empty()) list += ';';
      list += FormatDottedAddress(nullptr, 0, subnet);
    }
    return list;
  }

  void Start() {
    Mardonel module;
    EXPECT_EQ(module.OnStartup(empty_.get(), 0), 0u);
  }

  ScopedRegistryTree settings_{"Software\\Quarnel"};
  ScopedRegistryTree policies_{"Software\\Policies\\Quarnel"};
  ScopedTempFolder temp_;
  ScopedProfileFolder profile_{temp_.path()};
  std::string logPath_ = temp_ / "startup.log";
  ScopedLogSettings log_{logPath_, 1048576, 9};
  TestHostTable empty_;
};

TEST_F(StartupInput, SettingsOfForeignTypesAndSizes) {
  StoreRawValue(kSettingsKey, "Debug", REG_BINARY, Bytes("\x7f\x7f\x7f\x7f", 4));
  Start();
  EXPECT_EQ(Debug, 9u);
  EXPECT_EQ(ReadRawValue(kSettingsKey, "Debug"), NumberValue(9)) << "replaced by the default";

  StoreRawValue(kSettingsKey, "Debug", REG_BINARY, std::string(8, '\x7f'));
  Start();
  EXPECT_EQ(Debug, 9u);
  EXPECT_EQ(ReadRawValue(kSettingsKey, "Debug"), (RawValue{REG_BINARY, std::string(8, '\x7f')})) << "too large";

  StoreText(kSettingsKey, "Debug", "0x10");
  Start();
  EXPECT_EQ(Debug, 9u) << "five bytes with the terminator do not fit a number";
  EXPECT_EQ(ReadRawValue(kSettingsKey, "Debug"), TextValue("0x10"));
  StoreText(kSettingsKey, "Debug", "0x1");
  Start();
  EXPECT_EQ(Debug, 0u) << "a number text is read in decimal only";
  EXPECT_EQ(ReadRawValue(kSettingsKey, "Debug"), NumberValue(0));
  Debug = 9;

  StoreRawValue(kSettingsKey, "MaxLogFilesize", REG_QWORD, std::string(8, '\0'));
  Start();
  EXPECT_EQ(MaxLogFilesize, 1048576);
  EXPECT_EQ(ReadRawValue(kSettingsKey, "MaxLogFilesize")->type, static_cast<DWORD>(REG_QWORD));

  StoreNumber(kSettingsKey, "MaxLogFilesize", 0xFFFFFFFF);
  Start();
  EXPECT_EQ(MaxLogFilesize, -1);
  LogNow("%T: first record after start-up\n");
  EXPECT_EQ(MaxLogFilesize, 8192) << "a negative limit is raised to the least";

  StoreNumber(kSettingsKey, "MaxLogFilesize", 0);
  Start();
  EXPECT_EQ(LogNow("%T: not written\n"), 0);
  EXPECT_EQ(ReadWholeFile(logPath_).find("not written"), std::string::npos);
  MaxLogFilesize = 1048576;

  StoreRawValue(kSettingsKey, "LogFileName", REG_DWORD, Bytes("\1\0\0\0", 4));
  Start();
  EXPECT_STREQ(LogFileName, logPath_.c_str());
  EXPECT_EQ(ReadRawValue(kSettingsKey, "LogFileName"), TextValue(logPath_)) << "replaced by the name in use";

  StoreText(kSettingsKey, "LogFileName", std::string(300, 'x'));
  Start();
  EXPECT_STREQ(LogFileName, logPath_.c_str()) << "too long to read";

  // A policy value of a foreign type is never rewritten, and still keeps the
  // ordinary value from being read.
  StoreText(kSettingsKey, "LogFileName", logPath_);
  StoreRawValue(kPolicyKey, "Debug", REG_BINARY, Bytes("\x10\0\0\0", 4));
  StoreNumber(kSettingsKey, "Debug", 0x1F);
  Debug = 9;
  Start();
  EXPECT_EQ(Debug, 9u) << "the value it had";
  EXPECT_EQ(ReadRawValue(kPolicyKey, "Debug"), (RawValue{REG_BINARY, Bytes("\x10\0\0\0", 4)}));
}

TEST_F(StartupInput, MalformedRememberedSubnetsAreTakenAsTheyParse) {
  const struct {
    const char* stored;
    const char* remembered;
  } cases[] = {
      {"10.1.0.0;garbage;;192.168.5.0", "10.1.0.0;0.0.0.0;192.168.5.0"},
      {" 10.1.0.0", "0.0.0.0"},
      {"10.1.0.0 ;10.2.0.0", "10.1.0.0;10.2.0.0"},
      {"10.1.0.0,10.2.0.0", "10.1.0.0"},
      {"999.1.1.1", "231.1.1.1"},
      {"-1.2.3.4", "0.0.0.0"},
      {"1.2.3.4.5", "1.2.3.4"},
      {"99999999999999999999.1.1.1", "255.1.1.1"},
      {"10.0.0.0/8", "10.0.0.0"},
      {"010.001.0.0", "10.1.0.0"},
      {";;;", ""},
      {"", ""},
  };
  for (const auto& one : cases) {
    StoreText(kCommonKey, "ManagedSubnets", one.stored);
    EXPECT_EQ(StartAndListSubnets(), one.remembered) << "stored [" << one.stored << "]";
  }
}

TEST_F(StartupInput, RememberedSubnetsOfForeignTypesOrSizesAreNotLoaded) {
  StoreRawValue(kCommonKey, "ManagedSubnets", REG_MULTI_SZ, Bytes("10.1.0.0\0" "10.2.0.0\0\0", 19));
  EXPECT_EQ(StartAndListSubnets(), "");
  StoreRawValue(kCommonKey, "ManagedSubnets", REG_EXPAND_SZ, TextValue("10.1.0.0").bytes);
  EXPECT_EQ(StartAndListSubnets(), "");
  StoreNumber(kCommonKey, "ManagedSubnets", 0x0000010A);
  EXPECT_EQ(StartAndListSubnets(), "");
  EXPECT_EQ(ReadRawValue(kCommonKey, "ManagedSubnets"), NumberValue(0x0000010A)) << "a read-only read repairs nothing";

  StoreText(kCommonKey, "ManagedSubnets", ListOfLength(259));
  EXPECT_EQ(LastOf(StartAndListSubnets()), "10.1.2.34") << "259 characters and the terminator fit";
  StoreRawValue(kCommonKey, "ManagedSubnets", REG_SZ, ListOfLength(259));
  EXPECT_EQ(LastOf(StartAndListSubnets()), "10.1.2.34") << "259 characters without a terminator";
  StoreText(kCommonKey, "ManagedSubnets", ListOfLength(260));
  EXPECT_EQ(StartAndListSubnets(), "") << "with the terminator 260 characters do not fit";
  StoreRawValue(kCommonKey, "ManagedSubnets", REG_SZ, ListOfLength(260));
  EXPECT_EQ(StartAndListSubnets(), "") << "260 characters without a terminator";
}

}  // namespace
