// The one way a test points this process's diagnostic log at a file of its
// own. Records that earlier tests left queued are written out elsewhere
// first, and those of this test before it ends; the file name, the size
// limit, the debug mask, the record formatter's state and LogRenameErrors
// are put back as they were found.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/test_env.h"

namespace mardonel {

class CapturedLog {
 public:
  // An empty `path` stands for a fresh file of the object's own.
  explicit CapturedLog(std::uint32_t debugMask = 9, std::int32_t maxSize = 1 << 24, const std::string& path = {});
  ~CapturedLog();
  CapturedLog(const CapturedLog&) = delete;
  CapturedLog& operator=(const CapturedLog&) = delete;

  const std::string& path() const { return path_; }
  void UseFile(const std::string& path);

  // The file as written, CR LF and indentation included.
  std::string Text() const;
  bool Contains(const std::string& piece) const { return Text().find(piece) != std::string::npos; }
  // The record texts, without the indentation of unstamped lines.
  std::vector<std::string> Lines() const;
  // How many lines end with `text` (a stamped line ends with its message).
  int CountEndingWith(const std::string& text) const { return CountLines(Lines(), text, LinePart::kEnd); }
  int CountStartingWith(const std::string& text) const { return CountLines(Lines(), text, LinePart::kStart); }

 private:
  ScopedTempFolder folder_;
  std::string path_;
  std::string previousName_;
  std::int32_t previousSize_;
  std::uint32_t previousDebug_;
  int previousStampSeen_;
  int previousStampLength_;
  int previousLineContinues_;
  std::int32_t previousRenameErrors_;
};

}  // namespace mardonel
