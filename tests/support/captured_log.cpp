#include "support/captured_log.h"

#include <cstring>

#include "common/log/log_settings.h"

CapturedLog::CapturedLog(std::uint32_t debugMask)
    : path_(folder_ / "captured.log"),
      previousName_(LogFileName),
      previousSize_(MaxLogFilesize),
      previousDebug_(Debug) {
  std::strncpy(LogFileName, path_.c_str(), sizeof LogFileName - 1);
  MaxLogFilesize = 1 << 24;
  Debug = debugMask;
}

CapturedLog::~CapturedLog() {
  std::strncpy(LogFileName, previousName_.c_str(), sizeof LogFileName - 1);
  MaxLogFilesize = previousSize_;
  Debug = previousDebug_;
}

std::string CapturedLog::Text() const { return FileExists(path_) ? ReadWholeFile(path_) : std::string(); }

std::vector<std::string> CapturedLog::Lines() const {
  std::vector<std::string> lines;
  if (!FileExists(path_)) return lines;
  for (const std::string& line : SplitLines(ReadWholeFile(path_))) {
    const std::size_t start = line.find_first_not_of(' ');
    lines.push_back(start == std::string::npos ? std::string() : line.substr(start));
  }
  return lines;
}

int CapturedLog::CountEndingWith(const std::string& text) const {
  int count = 0;
  for (const std::string& line : Lines()) {
    if (line.size() >= text.size() && line.compare(line.size() - text.size(), text.size(), text) == 0) ++count;
  }
  return count;
}

int CapturedLog::CountStartingWith(const std::string& text) const {
  int count = 0;
  for (const std::string& line : Lines()) {
    if (line.rfind(text, 0) == 0) ++count;
  }
  return count;
}
