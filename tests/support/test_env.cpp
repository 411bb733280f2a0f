#include "support/test_env.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "common/fs/directory.h"

namespace mardonel {

namespace {

std::atomic<int> folderCounter{0};

std::uint32_t DottedToWord(const char* text) {
  unsigned a = 0, b = 0, c = 0, d = 0;
  std::sscanf(text, "%u.%u.%u.%u", &a, &b, &c, &d);
  return a | (b << 8) | (c << 16) | (d << 24);
}

}  // namespace

ScopedTempFolder::ScopedTempFolder() {
  char base[MAX_PATH] = {};
  GetTempPathA(sizeof base, base);
  char name[MAX_PATH];
  std::snprintf(name, sizeof name, "%smardonel-test-%lu-%d-%lu", base, GetCurrentProcessId(), folderCounter++,
                GetTickCount());
  path_ = name;
  CreateDirectoryA(path_.c_str(), nullptr);
}

ScopedTempFolder::~ScopedTempFolder() { RemoveDirectoryTree(path_.c_str()); }

ScopedProfileFolder::ScopedProfileFolder(const std::string& folder) : folder_(folder) {
  char previous[MAX_PATH] = {};
  GetEnvironmentVariableA("ALLUSERSPROFILE", previous, sizeof previous);
  previous_ = previous;
  SetEnvironmentVariableA("ALLUSERSPROFILE", folder_.c_str());
}

ScopedProfileFolder::~ScopedProfileFolder() {
  SetEnvironmentVariableA("ALLUSERSPROFILE", previous_.empty() ? nullptr : previous_.c_str());
}

std::string ScopedProfileFolder::StatesFolder() const {
  return folder_ + "\\Application Data\\Quarnel\\ToveraAgt\\States\\";
}

TestHostTable::TestHostTable() {
  InitializeCriticalSection(&table_.lock);
  table_.first = nullptr;
  table_.last = nullptr;
}

TestHostTable::~TestHostTable() {
  Clear();
  DeleteCriticalSection(&table_.lock);
}

void TestHostTable::Add(const char* address, const char* mask) {
  EnterCriticalSection(&table_.lock);
  entries_.push_back(new HostAddressEntry{DottedToWord(address), DottedToWord(mask)});
  Publish();
  LeaveCriticalSection(&table_.lock);
}

void TestHostTable::Clear() {
  EnterCriticalSection(&table_.lock);
  for (HostAddressEntry* entry : entries_) delete entry;
  entries_.clear();
  Publish();
  LeaveCriticalSection(&table_.lock);
}

void TestHostTable::Publish() {
  table_.first = entries_.data();
  table_.last = entries_.data() + entries_.size();
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void WriteWholeFile(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

std::uint64_t FileTimeValue(const FILETIME& time) {
  return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

FILETIME FileTimeOf(std::uint64_t value) {
  FILETIME time;
  time.dwLowDateTime = static_cast<DWORD>(value);
  time.dwHighDateTime = static_cast<DWORD>(value >> 32);
  return time;
}

std::uint64_t LocalNowFileTime() {
  FILETIME utc;
  FILETIME local;
  GetSystemTimeAsFileTime(&utc);
  FileTimeToLocalFileTime(&utc, &local);
  return FileTimeValue(local);
}

std::string HistoryNameFor(const SYSTEMTIME& date) {
  char name[32];
  std::snprintf(name, sizeof name, "%04d%02d%02dT.mgt", date.wYear, date.wMonth, date.wDay);
  return name;
}

std::string TodayUtcHistoryName() {
  SYSTEMTIME utc;
  GetSystemTime(&utc);
  return HistoryNameFor(utc);
}

double SecondsTaken(const std::function<void()>& job) {
  const auto start = std::chrono::steady_clock::now();
  job();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

int CountLines(const std::vector<std::string>& lines, const std::string& piece, LinePart where) {
  int count = 0;
  for (const std::string& line : lines) {
    const std::size_t at = line.find(piece);
    if (at == std::string::npos) continue;
    if (where == LinePart::kStart && line.rfind(piece, 0) != 0) continue;
    if (where == LinePart::kEnd && line.size() - line.rfind(piece) != piece.size()) continue;
    ++count;
  }
  return count;
}

std::string SystemText(DWORD code) {
  char text[1024] = {};
  const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                      text, sizeof text, nullptr);
  std::string line;
  for (DWORD index = 0; index < length; ++index) {
    if (text[index] != '\r' && text[index] != '\n') line += text[index];
  }
  return line;
}

}  // namespace mardonel
