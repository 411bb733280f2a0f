// Sends this process's log to a fresh file for the length of a test.
#pragma once

#include <cstdint>
#include <string>

#include "support/test_env.h"

class LogCapture {
 public:
  explicit LogCapture(std::uint32_t debugMask);
  ~LogCapture();
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;

  std::string Text() const;
  bool Contains(const std::string& piece) const { return Text().find(piece) != std::string::npos; }

 private:
  ScopedTempFolder folder_;
  std::string path_;
  std::string previousName_;
  std::int32_t previousSize_;
  std::uint32_t previousDebug_;
};
