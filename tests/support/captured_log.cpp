#include "support/captured_log.h"

#include <cstdio>

#include "common/log/log.h"
#include "log_state.h"
#include "support/text_lines.h"
#include "support/whole_file.h"

namespace mardonel {

namespace {

template <typename Change>
void ChangeLogSettings(Change change) {
  LogSettings settings = CurrentLogSettings();
  change(settings);
  SetLogSettings(settings);
}

}  // namespace

CapturedLog::CapturedLog(std::uint32_t debugMask, std::int32_t maxSize, const std::string& path)
    : path_(path.empty() ? folder_ / "captured.log" : path), previous_(std::make_unique<LogState>()) {
  ExchangeLogState(*previous_);
  LogSettings settings;
  std::snprintf(settings.fileName, sizeof settings.fileName, "%s", path_.c_str());
  settings.maxFileSize = maxSize;
  settings.debugMask = debugMask;
  SetLogSettings(settings);
}

CapturedLog::~CapturedLog() {
  LogPrintf("");
  ExchangeLogState(*previous_);
}

void CapturedLog::UseFile(const std::string& path) {
  path_ = path;
  ChangeLogSettings(
      [&](LogSettings& settings) { std::snprintf(settings.fileName, sizeof settings.fileName, "%s", path.c_str()); });
}

void CapturedLog::SetMaxFileSize(std::int32_t size) {
  ChangeLogSettings([&](LogSettings& settings) { settings.maxFileSize = size; });
}

void CapturedLog::SetDebugMask(std::uint32_t mask) {
  ChangeLogSettings([&](LogSettings& settings) { settings.debugMask = mask; });
}

void CapturedLog::SetStampClock(std::uint64_t (*localNow)()) { LockedLogState()->stamp.localNow = localNow; }

std::string CapturedLog::Text() const { return FileExists(path_) ? ReadWholeFile(path_) : std::string(); }

std::vector<std::string> CapturedLog::Lines() const {
  std::vector<std::string> lines;
  for (const std::string& line : SplitLines(Text())) {
    const std::size_t start = line.find_first_not_of(' ');
    lines.push_back(start == std::string::npos ? std::string() : line.substr(start));
  }
  return lines;
}

}  // namespace mardonel
