// Start-up of the loaded library against the real registry, with Wine's own
// reg.exe as the witness of what it stored.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>

#include "common/log/log_settings.h"
#include "common/registry/setting_names.h"
#include "module/mardonel.h"
#include "support/all_history.h"
#include "support/captured_log.h"
#include "support/file_times.h"
#include "support/loaded_module.h"
#include "support/profile_folder.h"
#include "support/registry_witness.h"
#include "support/scratch_registry.h"
#include "support/temp_folder.h"
#include "support/test_host_table.h"
#include "support/test_registry.h"
#include "support/text_lines.h"
#include "support/whole_file.h"

namespace mardonel {

namespace {

constexpr char kSettingsForRegExe[] = "HKLM\\Software\\Quarnel\\ToveraAgt";
constexpr char kPolicyForRegExe[] = "HKLM\\Software\\Policies\\Quarnel\\ToveraAgt";
constexpr char kCommonForRegExe[] = "HKLM\\Software\\Quarnel\\Common";

// Removes, at the end of a test, a file that the test caused to appear.
class RemovedIfNew {
 public:
  explicit RemovedIfNew(std::string path) : path_(std::move(path)), existed_(FileExists(path_)) {}
  ~RemovedIfNew() {
    if (!existed_) DeleteFileA(path_.c_str());
  }
  RemovedIfNew(const RemovedIfNew&) = delete;
  RemovedIfNew& operator=(const RemovedIfNew&) = delete;

 private:
  std::string path_;
  bool existed_;
};

// The log that the library writes when no log file name is set: C:\temp,
// this program's base name, ".log", and its backup ending in "_".
std::string DefaultLogPath() {
  char program[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, program, sizeof program);
  std::string base = program;
  base = base.substr(base.rfind('\\') + 1);
  return "C:\\temp\\" + base.substr(0, base.rfind('.')) + ".log";
}

class RegistryStartup : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(registry_.Redirect());
    ASSERT_NO_FATAL_FAILURE(library_.Load());
    ASSERT_NO_FATAL_FAILURE(library_.Find("__getMardonel", factory_));
  }

  void TearDown() override { Tovera::DestroyAgentModule(module_); }

  DWORD StartLoadedModule() {
    module_ = factory_(nullptr);
    return module_ == nullptr ? ERROR_INVALID_FUNCTION : module_->OnStartup(table_.get(), 0);
  }

  // Keeps the library's log inside the test folder.
  void LogToTestFolder() { StoreText(kSettingsKey, "LogFileName", logPath_); }

  std::string LogText() const { return FileExists(logPath_) ? ReadWholeFile(logPath_) : std::string(); }

  std::vector<std::string> HistoryLines() const { return AllHistoryLines(profile_.StatesFolder()); }

  ScratchMachineRegistry registry_;
  ScopedTempFolder temp_;
  ScopedProfileFolder profile_{temp_.path()};
  std::string logPath_ = temp_ / "agent.log";
  RemovedIfNew defaultLog_{DefaultLogPath()};
  RemovedIfNew defaultBackup_{DefaultLogPath().substr(0, DefaultLogPath().size() - 1) + "_"};
  TestHostTable table_;
  LoadedModule library_;
  Tovera::GetModuleFunction factory_ = nullptr;
  Tovera::IAgentModule* module_ = nullptr;
};

TEST_F(RegistryStartup, FirstStartWritesTheDefaultSettingsAndNoSubnets) {
  EXPECT_EQ(StartLoadedModule(), 0u);

  const auto values = RegExeQueryKey(kSettingsForRegExe);
  ASSERT_TRUE(values) << "the settings key was not created";
  const std::map<std::string, RegExeValue> expected = {
      {"LogFileName", {"REG_SZ", ""}}, {"MaxLogFilesize", {"REG_DWORD", "0x100000"}}, {"Debug", {"REG_DWORD", "0x9"}}};
  EXPECT_EQ(*values, expected);
  EXPECT_EQ(ReadRawValue(kSettingsKey, "LogFileName"), (RawValue{REG_SZ, std::string(1, '\0')}));

  EXPECT_FALSE(RegExeQueryKey(kCommonForRegExe)) << "a read never creates the subnet list";
  EXPECT_FALSE(RegExeQueryKey(kPolicyForRegExe));
}

TEST_F(RegistryStartup, SizeStoredAsShortTextIsRewrittenAsNumber) {
  LogToTestFolder();
  StoreText(kSettingsKey, "MaxLogFilesize", "100");
  EXPECT_EQ(StartLoadedModule(), 0u);
  EXPECT_EQ(RegExeQueryValue(kSettingsForRegExe, "MaxLogFilesize"), (RegExeValue{"REG_DWORD", "0x64"}));
}

TEST_F(RegistryStartup, PolicyDebugWinsAndTheOrdinaryOneIsNotRead) {
  LogToTestFolder();
  StoreNumber(PolicyKeyOf(kSettingsKey), "Debug", 0x10);
  StoreText(kSettingsKey, "Debug", "0");  // would be repaired if it were read
  StoreText(kCommonKey, "ManagedSubnets", "10.9.0.0");
  EXPECT_EQ(StartLoadedModule(), 0u);

  EXPECT_NE(LogText().find(": Found managed subnets [10.9.0.0]\r\n"), std::string::npos)
      << "the policy's informational bit was not in effect:\n"
      << LogText();
  EXPECT_EQ(RegExeQueryValue(kSettingsForRegExe, "Debug"), (RegExeValue{"REG_SZ", "0"}));
  EXPECT_EQ(RegExeQueryValue(kPolicyForRegExe, "Debug"), (RegExeValue{"REG_DWORD", "0x10"}));
}

TEST_F(RegistryStartup, PolicyDebugKeepsTheOrdinaryOneFromBeingCreated) {
  LogToTestFolder();
  StoreNumber(PolicyKeyOf(kSettingsKey), "Debug", 0x10);
  EXPECT_EQ(StartLoadedModule(), 0u);
  const auto values = RegExeQueryKey(kSettingsForRegExe);
  ASSERT_TRUE(values);
  EXPECT_EQ(values->count("Debug"), 0u);
  EXPECT_EQ(values->count("MaxLogFilesize"), 1u);
  EXPECT_EQ(RegExeQueryValue(kPolicyForRegExe, "Debug"), (RegExeValue{"REG_DWORD", "0x10"}));
}

TEST_F(RegistryStartup, RememberedSubnetMakesStartupManaged) {
  LogToTestFolder();
  StoreText(kCommonKey, "ManagedSubnets", "127.0.0.0");
  table_.Add("127.0.0.1", "255.0.0.0");
  EXPECT_EQ(StartLoadedModule(), 0u);

  const std::vector<std::string> lines = HistoryLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find(",2,Startup,"), std::string::npos) << lines[0];
  EXPECT_EQ(LogText().find("Failed to connect to MP"), std::string::npos);
  EXPECT_EQ(RegExeQueryValue(kCommonForRegExe, "ManagedSubnets"), (RegExeValue{"REG_SZ", "127.0.0.0"}))
      << "nothing new stored";
}

// As administrators write settings: a relative log name, a number of too few
// bytes, a subnet list with blanks and a line break; each said in one line of
// the default log, which no outside text can add a line to.
TEST_F(RegistryStartup, SettingsAsAdministratorsWriteThem) {
  StoreText(kSettingsKey, "LogFileName", "..\\logs\\x.log");
  StoreRawValue(kSettingsKey, "MaxLogFilesize", REG_DWORD, std::string(3, '\0'));
  StoreText(kCommonKey, "ManagedSubnets", " 127.0.0.0 ;10.1.0.0\r\n12/8/2026 07:00:00: forged");
  table_.Add("127.0.0.1", "255.0.0.0");
  EXPECT_EQ(StartLoadedModule(), 0u);

  const std::string log = ReadWholeFile(DefaultLogPath());
  for (const char* line :
       {": LogFileName \"..\\\\logs\\\\x.log\" is not a usable full path; the log keeps its default name\r\n",
        ": GetRegParameter MaxLogFilesize - REG_DWORD of 3 bytes is not a number; left as stored\r\n",
        ": Skipped remembered subnet that is not a dotted address: "
        "\"10.1.0.0\\r\\n12/8/2026 07:00:00: forged\"\r\n"}) {
    EXPECT_NE(log.find(line), std::string::npos) << line << log;
  }
  EXPECT_EQ(log.find("\n12/8/2026 07:00:00: forged"), std::string::npos) << log;
  EXPECT_EQ(ReadRawValue(kSettingsKey, "MaxLogFilesize"), (RawValue{REG_DWORD, std::string(3, '\0')}));
  const std::vector<std::string> lines = HistoryLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find(",2,Startup,"), std::string::npos) << "the trimmed subnet counts: " << lines[0];
}

TEST_F(RegistryStartup, LogNamedWithSlashesGetsItsMissingFolders) {
  std::string slashed = temp_ / "fw\\logs\\x.log";
  std::replace(slashed.begin(), slashed.end(), '\\', '/');
  StoreText(kSettingsKey, "LogFileName", slashed);
  StoreNumber(kSettingsKey, "Debug", 0x19);
  StoreText(kCommonKey, "ManagedSubnets", "10.9.0.0");
  EXPECT_EQ(StartLoadedModule(), 0u);
  EXPECT_NE(ReadWholeFile(temp_ / "fw\\logs\\x.log").find(": Found managed subnets [10.9.0.0]\r\n"), std::string::npos)
      << ReadWholeFile(DefaultLogPath());
}

}  // namespace

}  // namespace mardonel
