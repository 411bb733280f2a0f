// Sends this process's diagnostic log to a fresh file for the length of a test.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/test_env.h"

class CapturedLog {
 public:
  explicit CapturedLog(std::uint32_t debugMask = 9);
  ~CapturedLog();
  CapturedLog(const CapturedLog&) = delete;
  CapturedLog& operator=(const CapturedLog&) = delete;

  // The file as written, CR LF and indentation included.
  std::string Text() const;
  bool Contains(const std::string& piece) const { return Text().find(piece) != std::string::npos; }
  // The record texts, without the indentation of unstamped lines.
  std::vector<std::string> Lines() const;
  // How many lines end with `text` (a stamped line ends with its message).
  int CountEndingWith(const std::string& text) const;
  int CountStartingWith(const std::string& text) const;

 private:
  ScopedTempFolder folder_;
  std::string path_;
  std::string previousName_;
  std::int32_t previousSize_;
  std::uint32_t previousDebug_;
};
