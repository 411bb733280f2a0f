#include "log_capture.h"

#include <cstring>

#include "common/log/log_settings.h"

LogCapture::LogCapture(std::uint32_t debugMask)
    : path_(folder_ / "capture.log"),
      previousName_(LogFileName),
      previousSize_(MaxLogFilesize),
      previousDebug_(Debug) {
  std::strncpy(LogFileName, path_.c_str(), sizeof LogFileName - 1);
  MaxLogFilesize = 1 << 24;
  Debug = debugMask;
}

LogCapture::~LogCapture() {
  std::strncpy(LogFileName, previousName_.c_str(), sizeof LogFileName - 1);
  MaxLogFilesize = previousSize_;
  Debug = previousDebug_;
}

std::string LogCapture::Text() const { return FileExists(path_) ? ReadWholeFile(path_) : std::string(); }
