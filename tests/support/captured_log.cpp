#include "support/captured_log.h"

#include <cstdio>

#include "common/log/log.h"
#include "common/log/log_record.h"
#include "common/log/log_rollover.h"
#include "common/log/log_settings.h"

namespace mardonel {

namespace {

void PointLogAt(const std::string& path) { std::snprintf(LogFileName, sizeof LogFileName, "%s", path.c_str()); }

}  // namespace

CapturedLog::CapturedLog(std::uint32_t debugMask, std::int32_t maxSize, const std::string& path)
    : path_(path.empty() ? folder_ / "captured.log" : path),
      previousName_(LogFileName),
      previousSize_(MaxLogFilesize),
      previousDebug_(Debug),
      previousStampSeen_(StampSeen),
      previousStampLength_(StampLength),
      previousLineContinues_(LineContinues),
      previousRenameErrors_(LogRenameErrors) {
  PointLogAt(folder_ / "leftover.log");
  MaxLogFilesize = 1 << 24;
  LogPrintf("");
  StampSeen = 0;
  StampLength = 19;
  LineContinues = 0;
  LogRenameErrors = 0;
  PointLogAt(path_);
  MaxLogFilesize = maxSize;
  Debug = debugMask;
}

CapturedLog::~CapturedLog() {
  LogPrintf("");
  PointLogAt(previousName_);
  MaxLogFilesize = previousSize_;
  Debug = previousDebug_;
  StampSeen = previousStampSeen_;
  StampLength = previousStampLength_;
  LineContinues = previousLineContinues_;
  LogRenameErrors = previousRenameErrors_;
}

void CapturedLog::UseFile(const std::string& path) {
  path_ = path;
  PointLogAt(path);
}

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
