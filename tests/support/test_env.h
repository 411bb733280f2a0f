// What the tests need of the machine, made and removed per test.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tovera/agent_module.h"

namespace mardonel {

// A fresh folder under the temporary folder, removed with all its content.
class ScopedTempFolder {
 public:
  ScopedTempFolder();
  ~ScopedTempFolder();
  ScopedTempFolder(const ScopedTempFolder&) = delete;
  ScopedTempFolder& operator=(const ScopedTempFolder&) = delete;
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

 private:
  std::string path_;
};

// Points the all-users profile of this process at a test folder.
class ScopedProfileFolder {
 public:
  explicit ScopedProfileFolder(const std::string& folder);
  ~ScopedProfileFolder();
  ScopedProfileFolder(const ScopedProfileFolder&) = delete;
  ScopedProfileFolder& operator=(const ScopedProfileFolder&) = delete;
  std::string StatesFolder() const;  // with its trailing backslash

 private:
  std::string folder_;
  std::string previous_;
};

// A host address table as the host lays it out.
class TestHostTable {
 public:
  TestHostTable();
  ~TestHostTable();
  TestHostTable(const TestHostTable&) = delete;
  TestHostTable& operator=(const TestHostTable&) = delete;
  // Dotted address and mask, as the host stores them.
  void Add(const char* address, const char* mask);
  void Clear();
  HostAddressTable* get() { return &table_; }

 private:
  void Publish();
  HostAddressTable table_;
  std::vector<HostAddressEntry*> entries_;
};

// Wall-clock seconds that `job` takes.
double SecondsTaken(const std::function<void()>& job);

// The function in slot `index` of the virtual table of `object`, called as a
// host built by another compiler calls it.
template <typename Function>
Function SlotOf(void* object, int index) {
  void** table = *static_cast<void***>(object);
  return reinterpret_cast<Function>(table[index]);
}

// The system's text of a Win32 code on one line, read without the module's code.
std::string SystemText(DWORD code);

std::string ReadWholeFile(const std::string& path);
bool FileExists(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& content);
std::vector<std::string> SplitLines(const std::string& text);  // at CR LF

enum class LinePart { kAnywhere, kStart, kEnd };
// How many of `lines` hold `piece` at `where`.
int CountLines(const std::vector<std::string>& lines, const std::string& piece, LinePart where = LinePart::kAnywhere);

std::uint64_t FileTimeValue(const FILETIME& time);
FILETIME FileTimeOf(std::uint64_t value);
std::uint64_t LocalNowFileTime();
// The history file name of the current UTC day, e.g. "20261207T.mgt".
std::string TodayUtcHistoryName();
std::string HistoryNameFor(const SYSTEMTIME& date);

}  // namespace mardonel
