// Bad input that the module's other tests do not try: foreign setting types
// and sizes read at start-up, malformed remembered subnets, calls out of
// order and null pointers, blocked history paths and odd management point
// names.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdarg>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/fs/directory.h"
#include "common/log/log.h"
#include "common/log/log_settings.h"
#include "common/registry/setting_names.h"
#include "common/win/error_text.h"
#include "connection/config_mgr_mp_connection.h"
#include "module/managed_network_check.h"
#include "module/mardonel.h"
#include "remembered_subnet_module.h"
#include "stress_env.h"
#include "support/captured_log.h"
#include "support/file_times.h"
#include "support/profile_folder.h"
#include "support/scratch_registry.h"
#include "support/temp_folder.h"
#include "support/test_host_table.h"
#include "support/test_registry.h"
#include "support/text_lines.h"
#include "support/whole_file.h"

namespace mardonel {

namespace {

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

// Start-up against a registry that holds only what a case stores.
class StartupInput : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(registry_.Redirect());
    StoreText(kSettingsKey, "LogFileName", logPath_);
  }

  void Start() {
    Mardonel module(nullptr, clock_);
    EXPECT_EQ(module.OnStartup(empty_.get(), 0), 0u);
  }

  // Whether start-up took `subnet` as remembered: with no management point
  // to ask, only memory can answer for an address on it.
  bool StartAndRemembers(const char* subnet) {
    TestHostTable table;
    ManagedNetworkCheck check(nullptr);
    check.Connect(table.get());
    check.LoadManagedSubnets();
    table.Add(subnet, "255.255.255.255");
    return check.IsManagedNetwork();
  }

  ScratchMachineRegistry registry_;
  ScopedTempFolder temp_;
  ScopedProfileFolder profile_{temp_.path()};
  std::string logPath_ = temp_ / "startup.log";
  CapturedLog log_{9, 1048576, logPath_};
  TestHostTable empty_;
  FakeClock clock_;
};

TEST_F(StartupInput, SettingsOfForeignTypesAndSizes) {
  StoreRawValue(kSettingsKey, "Debug", REG_BINARY, Bytes("\x7f\x7f\x7f\x7f", 4));
  Start();
  EXPECT_EQ(CurrentLogSettings().debugMask, 9u);
  EXPECT_EQ(ReadRawValue(kSettingsKey, "Debug"), NumberValue(9)) << "replaced by the default";

  StoreRawValue(kSettingsKey, "Debug", REG_BINARY, std::string(8, '\x7f'));
  Start();
  EXPECT_EQ(CurrentLogSettings().debugMask, 9u);
  EXPECT_EQ(ReadRawValue(kSettingsKey, "Debug"), (RawValue{REG_BINARY, std::string(8, '\x7f')})) << "too large";

  StoreText(kSettingsKey, "Debug", "0x19");
  Start();
  EXPECT_EQ(CurrentLogSettings().debugMask, 0x19u) << "a whole number text of any length";
  EXPECT_EQ(ReadRawValue(kSettingsKey, "Debug"), NumberValue(0x19));
  StoreNumber(kSettingsKey, "Debug", 9);
  StoreText(kSettingsKey, "MaxLogFilesize", "big");
  Start();
  EXPECT_EQ(CurrentLogSettings().maxFileSize, 1048576) << "the log stays on";
  EXPECT_EQ(ReadRawValue(kSettingsKey, "MaxLogFilesize"), TextValue("big"));
  SetEnvironmentVariableA("MARDONEL_TEST_LOGS", temp_.path().c_str());
  const RawValue expandable{REG_EXPAND_SZ, TextValue("%MARDONEL_TEST_LOGS%\\x.log").bytes};
  StoreRawValue(kSettingsKey, "LogFileName", expandable.type, expandable.bytes);
  Start();
  SetEnvironmentVariableA("MARDONEL_TEST_LOGS", nullptr);
  EXPECT_EQ(std::string(CurrentLogSettings().fileName), temp_ / "x.log");
  EXPECT_EQ(ReadRawValue(kSettingsKey, "LogFileName"), expandable) << "never rewritten";
  log_.UseFile(logPath_);
  StoreText(kSettingsKey, "LogFileName", logPath_);

  StoreRawValue(kSettingsKey, "MaxLogFilesize", REG_QWORD, std::string(8, '\0'));
  Start();
  EXPECT_EQ(CurrentLogSettings().maxFileSize, 1048576);
  EXPECT_EQ(ReadRawValue(kSettingsKey, "MaxLogFilesize"), (RawValue{REG_QWORD, std::string(8, '\0')}));

  StoreNumber(kSettingsKey, "MaxLogFilesize", 0xFFFFFFFF);
  Start();
  EXPECT_EQ(CurrentLogSettings().maxFileSize, 8192) << "a negative limit is raised to the least";

  StoreNumber(kSettingsKey, "MaxLogFilesize", 0);
  Start();
  EXPECT_EQ(LogPrintf("%T: not written\n"), 0);
  EXPECT_EQ(ReadWholeFile(logPath_).find("not written"), std::string::npos);
  log_.SetMaxFileSize(1048576);

  StoreRawValue(kSettingsKey, "LogFileName", REG_DWORD, Bytes("\1\0\0\0", 4));
  Start();
  EXPECT_STREQ(CurrentLogSettings().fileName, logPath_.c_str());
  EXPECT_EQ(ReadRawValue(kSettingsKey, "LogFileName"), TextValue(logPath_)) << "replaced by the name in use";

  StoreText(kSettingsKey, "LogFileName", std::string(300, 'x'));
  Start();
  EXPECT_STREQ(CurrentLogSettings().fileName, logPath_.c_str()) << "too long to read";

  // A policy value of a foreign type is never rewritten, and still keeps the
  // ordinary value from being read.
  StoreText(kSettingsKey, "LogFileName", logPath_);
  StoreRawValue(PolicyKeyOf(kSettingsKey), "Debug", REG_BINARY, Bytes("\x10\0\0\0", 4));
  StoreNumber(kSettingsKey, "Debug", 0x1F);
  log_.SetDebugMask(9);
  Start();
  EXPECT_EQ(CurrentLogSettings().debugMask, 9u) << "the value it had";
  EXPECT_EQ(ReadRawValue(PolicyKeyOf(kSettingsKey), "Debug"), (RawValue{REG_BINARY, Bytes("\x10\0\0\0", 4)}));
}

// Start-up reads the list afresh each time; entries that are not subnets
// are logged at each and stored again as they stand; the connection is kept.
TEST_F(StartupInput, RememberedListIsReadAtEveryStartupAndKeepsItsBadEntries) {
  StoreText(kCommonKey, "ManagedSubnets", "10.1.0.0;garbage;;192.168.5.0;1.2.3.");
  TestHostTable table;
  ConnectionScript script;
  script.reachable = true;
  script.localAddress = DottedToWord("10.9.1.1");
  ManagedNetworkCheck check(FakeConnectionOf(script));
  for (int startup = 0; startup < 2; ++startup) {
    check.Connect(table.get());
    check.LoadManagedSubnets();
  }
  table.Add("10.9.1.1", "255.255.0.0");
  EXPECT_TRUE(check.IsManagedNetwork());
  EXPECT_EQ(script.checks, 1);
  EXPECT_FALSE(script.destroyed);
  EXPECT_EQ(ReadRawValue(kCommonKey, "ManagedSubnets"), TextValue("garbage;1.2.3.;10.1.0.0;192.168.5.0;10.9.0.0"));
  const std::vector<std::string> lines = SplitLines(ReadWholeFile(logPath_));
  for (const char* entry : {"garbage", "1.2.3."}) {
    const std::string skipped =
        std::string(": Skipped remembered subnet that is not a dotted address: \"") + entry + '"';
    EXPECT_EQ(CountLines(lines, skipped, LinePart::kEnd), 2) << entry;
  }
}

TEST_F(StartupInput, RememberedSubnetsOfForeignTypesOrSizesAreNotLoaded) {
  StoreRawValue(kCommonKey, "ManagedSubnets", REG_MULTI_SZ,
                Bytes("10.1.0.0\0"
                      "10.2.0.0\0\0",
                      19));
  EXPECT_FALSE(StartAndRemembers("10.1.0.0"));
  StoreRawValue(kCommonKey, "ManagedSubnets", REG_EXPAND_SZ, TextValue("10.1.0.0").bytes);
  EXPECT_TRUE(StartAndRemembers("10.1.0.0")) << "an expandable text is text";
  EXPECT_EQ(ReadRawValue(kCommonKey, "ManagedSubnets"), (RawValue{REG_EXPAND_SZ, TextValue("10.1.0.0").bytes}));
  StoreNumber(kCommonKey, "ManagedSubnets", 0x0000010A);
  EXPECT_FALSE(StartAndRemembers("10.1.0.0"));
  EXPECT_EQ(ReadRawValue(kCommonKey, "ManagedSubnets"), NumberValue(0x0000010A)) << "a read-only read repairs nothing";

  StoreText(kCommonKey, "ManagedSubnets", ListOfLength(259));
  EXPECT_TRUE(StartAndRemembers("10.1.2.34")) << "259 characters and the terminator fit";
  StoreRawValue(kCommonKey, "ManagedSubnets", REG_SZ, ListOfLength(259));
  EXPECT_TRUE(StartAndRemembers("10.1.2.34")) << "259 characters without a terminator";
  StoreText(kCommonKey, "ManagedSubnets", ListOfLength(260));
  EXPECT_FALSE(StartAndRemembers("10.9.0.0")) << "with the terminator 260 characters do not fit";
  StoreRawValue(kCommonKey, "ManagedSubnets", REG_SZ, ListOfLength(260));
  EXPECT_FALSE(StartAndRemembers("10.9.0.0")) << "260 characters without a terminator";
}

// A module that is driven without the host's order, or with its pointers
// missing.
class OutOfOrder : public testing::Test {
 protected:
  std::vector<std::string> Lines() const { return AllHistoryLines(profile_.StatesFolder()); }

  ScopedTempFolder temp_;
  ScopedProfileFolder profile_{temp_.path()};
  std::string logPath_ = temp_ / "order.log";
  CapturedLog log_{9, 1 << 20, logPath_};
  FakeClock clock_;
  Mardonel module_{nullptr, clock_};
};

TEST_F(OutOfOrder, FactoryIgnoresItsArgument) {
  Tovera::IAgentModule* module = __getMardonel(reinterpret_cast<void*>(0x1234));
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(module->OnShutdown(), 0u);
  Tovera::DestroyAgentModule(module);
}

TEST_F(OutOfOrder, EventsBeforeStartupRunWithoutTableOrConnection) {
  EXPECT_EQ(module_.OnHeartbeat(nullptr), 0u);
  EXPECT_EQ(module_.OnSleep(), 0u) << "already unmanaged";
  EXPECT_TRUE(Lines().empty());

  const FILETIME now = FileTimeOf(kWorkedExampleTime);
  EXPECT_EQ(module_.OnHeartbeat(&now), 0u);
  EXPECT_EQ(module_.OnNetAdaptersChanged(true, false), 0u);
  EXPECT_EQ(module_.OnOutOfSuspend(), 0u);
  const std::vector<std::string> lines = Lines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_NE(lines[0].find(",1,Heartbeat,"), std::string::npos) << lines[0];
  EXPECT_NE(lines[1].find(",1,Net Adapters changed,"), std::string::npos) << lines[1];
  EXPECT_NE(lines[2].find(",1,Out of suspend,"), std::string::npos) << lines[2];
}

TEST_F(OutOfOrder, NullFormatsAreEmptyRecords) {
  va_list none{};
  EXPECT_EQ(vFastLogPrintf(nullptr, none), 0);
  EXPECT_EQ(vLogPrintf(nullptr, none), 0);
  EXPECT_FALSE(FileExists(logPath_));
}

class BlockedHistory : public RememberedSubnetModule {
 protected:
  int FailureLines() const { return CountLines(LogLines(), kFailureLine + TodayPath(), LinePart::kEnd); }
};

TEST_F(BlockedHistory, FileWhereTheFolderChainGoesFailsEveryRecord) {
  WriteWholeFile(temp_ / "Application Data", "in the way");
  EXPECT_EQ(module_.OnOutOfSuspend(), static_cast<DWORD>(ERROR_INTERNAL_ERROR));
  EXPECT_EQ(module_.OnSleep(), static_cast<DWORD>(ERROR_INTERNAL_ERROR)) << "the state chosen stood";
  EXPECT_EQ(FailureLines(), 2);
  EXPECT_EQ(ReadWholeFile(temp_ / "Application Data"), "in the way");

  DeleteFileA((temp_ / "Application Data").c_str());
  EXPECT_EQ(module_.OnOutOfSuspend(), 0u);
  EXPECT_EQ(SplitLines(ReadWholeFile(TodayPath())).size(), 1u);
}

TEST_F(BlockedHistory, TrimmingLeavesEverythingButHistoryFilesAlone) {
  std::string states = profile_.StatesFolder();
  ASSERT_EQ(CreateDirectoryPath(states.data()), 0u);
  for (int day = 1; day <= 31; ++day)
    WriteWholeFile(states + "200001" + (day < 10 ? "0" : "") + std::to_string(day) + "T.mgt", "");
  WriteWholeFile(states + "notes.txt", "kept");
  WriteWholeFile(states + "20000101T.mgt.bak", "kept");
  ASSERT_TRUE(CreateDirectoryA((states + "archive").c_str(), nullptr));

  EXPECT_EQ(module_.OnOutOfSuspend(), 0u);
  EXPECT_FALSE(FileExists(states + "20000101T.mgt"));
  EXPECT_TRUE(FileExists(states + "20000102T.mgt"));
  EXPECT_EQ(ReadWholeFile(states + "notes.txt"), "kept");
  EXPECT_EQ(ReadWholeFile(states + "20000101T.mgt.bak"), "kept");
  EXPECT_TRUE(FileExists(states + "archive"));
  EXPECT_EQ(AllHistoryLines(states).size(), 1u) << "no missed days that long ago";
}

// Management point names that no host could carry, checked against closed
// loopback ports (the address's and the HTTPS one), without any name lookup
// on the network.
TEST(ManagementPointNames, OddNamesAreUnreachable) {
  ScopedTempFolder temp;
  const std::string logPath = temp / "names.log";
  const CapturedLog log(9 | kDebugInfo, 1 << 20, logPath);
  for (const wchar_t* name : {L"127.0.0.1:1", L"127.0.0.1:1\r\nforged line"}) {
    ConfigMgrMPConnection connection([name] { return std::optional<std::wstring>(name); }, 2);
    EXPECT_FALSE(connection.TestConnectivity()) << static_cast<int>(std::wstring(name).size());
  }
  const std::vector<std::string> lines = SplitLines(ReadWholeFile(logPath));
  const std::string refused = ": Connection to 127.0.0.1 port 1 or 2 failed, " + ErrorMessage(WSAECONNREFUSED);
  EXPECT_EQ(CountLines(lines, refused, LinePart::kEnd), 1) << ReadWholeFile(logPath);
  EXPECT_EQ(CountLines(lines, ": Management point name holds control characters", LinePart::kEnd), 1)
      << ReadWholeFile(logPath);
}

}  // namespace

}  // namespace mardonel
