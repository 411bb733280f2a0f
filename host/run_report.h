// What a run left behind: the history files and the log file it touched,
// with the lines it added. Taken as a snapshot before the run and compared
// after it.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace mardonel {

class RunReport {
 public:
  RunReport();
  RunReport(const RunReport&) = delete;
  RunReport& operator=(const RunReport&) = delete;

  void Print() const;

 private:
  std::string historyFolder_;
  std::string logFile_;
  std::map<std::string, std::uint64_t> historySizes_;  // by file name
  std::uint64_t logSize_ = 0;
  bool logExisted_ = false;
};

}  // namespace mardonel
