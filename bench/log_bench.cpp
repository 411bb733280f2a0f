// The log's two entry points against the same work done plainly: a stamp
// from GetLocalTime and GetDateFormatA, _vsnprintf, then either an append
// through open/seek/write/size/close or one malloc and copy.
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench.h"
#include "common/log/log.h"
#include "common/log/log_settings.h"

namespace mardonel {

namespace {

constexpr int kRounds = 61;
constexpr int kFileRecords = 250;
constexpr int kQueuedRecords = 4000;  // below the queue's bound: nothing is dropped
constexpr const char* kFormat = "%T: bench record %d of %s\n";

// The record the log builds for kFormat, made plainly; returns its length.
int PlainRecord(char* record, int size, const char* format, ...) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  char date[20] = {};
  GetDateFormatA(LOCALE_SYSTEM_DEFAULT, DATE_SHORTDATE, &now, nullptr, date, sizeof date);
  int length =
      _snprintf(record, static_cast<size_t>(size), "%s %02d:%02d:%02d", date, now.wHour, now.wMinute, now.wSecond);
  va_list args;
  va_start(args, format);
  length += _vsnprintf(record + length, static_cast<size_t>(size - length), format, args);
  va_end(args);
  return length;
}

void PlainAppend(const char* path, const char* text, int length) {
  HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  SetFilePointer(file, 0, nullptr, FILE_END);
  DWORD written = 0;
  WriteFile(file, text, static_cast<DWORD>(length), &written, nullptr);
  GetFileSize(file, nullptr);
  CloseHandle(file);
}

int LogWith(int (*function)(const char*, va_list), const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int result = function(format, args);
  va_end(args);
  return result;
}

// A folder of its own, and no console: the host service has none, and
// records must not flood the terminal the benchmark runs in.
class BenchLogSetting {
 public:
  BenchLogSetting() {
    char base[MAX_PATH] = {};
    GetTempPathA(sizeof base, base);
    folder_ = std::string(base) + "mardonel-log-bench-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder_.c_str(), nullptr);
    logPath_ = folder_ + "\\bench.log";
    plainPath_ = folder_ + "\\plain.log";
    LogSettings log;
    std::snprintf(log.fileName, sizeof log.fileName, "%s", logPath_.c_str());
    SetLogSettings(log);
    output_ = GetStdHandle(STD_OUTPUT_HANDLE);
    SetStdHandle(STD_OUTPUT_HANDLE, nullptr);
  }
  ~BenchLogSetting() {
    SetStdHandle(STD_OUTPUT_HANDLE, output_);
    RemoveFiles();
    RemoveDirectoryA(folder_.c_str());
  }
  BenchLogSetting(const BenchLogSetting&) = delete;
  BenchLogSetting& operator=(const BenchLogSetting&) = delete;

  void RemoveFiles() const {
    DeleteFileA(logPath_.c_str());
    DeleteFileA(plainPath_.c_str());
    DeleteFileA((logPath_.substr(0, logPath_.size() - 1) + "_").c_str());
  }
  const char* plainPath() const { return plainPath_.c_str(); }

 private:
  std::string folder_;
  std::string logPath_;
  std::string plainPath_;
  HANDLE output_ = nullptr;
};

double FileRecordRatio() {
  const BenchLogSetting setting;
  return MedianPairedRatio(
      kRounds, [&setting] { setting.RemoveFiles(); },
      [] {
        for (int index = 0; index < kFileRecords; ++index) {
          LogWith(vLogPrintf, kFormat, index, "vLogPrintf");
        }
      },
      [&setting] {
        char record[3000];
        for (int index = 0; index < kFileRecords; ++index) {
          const int length = PlainRecord(record, sizeof record, ": bench record %d of %s\r\n", index, "vLogPrintf");
          PlainAppend(setting.plainPath(), record, length);
        }
      });
}

double QueuedRecordRatio() {
  const BenchLogSetting setting;
  std::vector<char*> copies(kQueuedRecords, nullptr);
  auto release = [&copies] {
    for (char*& copy : copies) {
      std::free(copy);
      copy = nullptr;
    }
  };
  const double ratio = MedianPairedRatio(
      kRounds,
      [&setting, &release] {
        // Writing the queue out keeps it from growing between rounds.
        LogWith(vLogPrintf, "");
        setting.RemoveFiles();
        release();
      },
      [] {
        for (int index = 0; index < kQueuedRecords; ++index) LogWith(vFastLogPrintf, kFormat, index, "vFastLogPrintf");
      },
      [&copies] {
        char record[3000];
        for (int index = 0; index < kQueuedRecords; ++index) {
          const int length = PlainRecord(record, sizeof record, ": bench record %d of %s\r\n", index, "vFastLogPrintf");
          copies[index] = static_cast<char*>(std::malloc(static_cast<size_t>(length) + 1));
          if (copies[index] != nullptr) std::memcpy(copies[index], record, static_cast<size_t>(length) + 1);
        }
      });
  LogWith(vLogPrintf, "");
  release();
  return ratio;
}

const BenchRegistrar fileRecords{
    BenchFigure{"log: vLogPrintf stamped record to file / plain append", "at most 1.15", FileRecordRatio}};
const BenchRegistrar queuedRecords{
    BenchFigure{"log: vFastLogPrintf stamped record / plain format + malloc", "at most 1.5", QueuedRecordRatio}};

}  // namespace

}  // namespace mardonel
