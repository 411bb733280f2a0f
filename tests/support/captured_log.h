// The one way a test points this process's diagnostic log at a file of its
// own: the test runs on a fresh log state, whose queued records are written
// before it ends, and the state that was found is put back whole.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "support/temp_folder.h"
#include "support/text_lines.h"

namespace mardonel {

struct LogState;

class CapturedLog {
 public:
  // An empty `path` stands for a fresh file of the object's own.
  explicit CapturedLog(std::uint32_t debugMask = 9, std::int32_t maxSize = 1 << 24, const std::string& path = {});
  ~CapturedLog();
  CapturedLog(const CapturedLog&) = delete;
  CapturedLog& operator=(const CapturedLog&) = delete;

  const std::string& path() const { return path_; }
  // Each changes one setting of the log for the records that follow.
  void UseFile(const std::string& path);
  void SetMaxFileSize(std::int32_t size);
  void SetDebugMask(std::uint32_t mask);
  // Stamps from `localNow` (a local FILETIME) instead of the machine's clock.
  void SetStampClock(std::uint64_t (*localNow)());

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
  std::unique_ptr<LogState> previous_;  // the state found, put back at the end
};

}  // namespace mardonel
