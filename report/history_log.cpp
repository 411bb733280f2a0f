#include "report/history_log.h"

#include <algorithm>

namespace mardonel {

namespace {

// Lines of the same event time, state and reason can differ only in the
// date format of their time text: they tell of the same event.
bool SameEvent(const HistoryRecord& a, const HistoryRecord& b) {
  return a.eventTime == b.eventTime && a.state == b.state && a.reason == b.reason;
}

bool EarlierEvent(const HistoryRecord& a, const HistoryRecord& b) { return a.eventTime < b.eventTime; }

}  // namespace

void AddHistoryFile(HistoryLog& log, std::string_view name, std::string_view content) {
  const std::size_t file = log.files.size();
  log.files.emplace_back(name);
  std::size_t lineNumber = 0;
  while (!content.empty()) {
    ++lineNumber;
    const std::size_t end = content.find('\n');
    std::string_view line = content.substr(0, end);
    content.remove_prefix(end == std::string_view::npos ? content.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const ParsedLine parsed = ParseHistoryLine(line);
    if (parsed.ok) {
      log.records.push_back(parsed.record);
    } else {
      log.skipped.push_back(SkippedLine{file, lineNumber, parsed.why});
    }
  }
}

void OrderHistoryLog(HistoryLog& log) {
  std::vector<HistoryRecord>& records = log.records;
  if (!std::is_sorted(records.begin(), records.end(), EarlierEvent)) {
    std::stable_sort(records.begin(), records.end(), EarlierEvent);
  }
  // Duplicates share their event time, so each is looked for only among the
  // records of that time kept so far: at most one per state and reason.
  std::size_t kept = 0;
  std::size_t sameTimeStart = 0;
  for (const HistoryRecord& record : records) {
    if (kept == 0 || records[kept - 1].eventTime != record.eventTime) sameTimeStart = kept;
    const auto sameTime = records.begin() + static_cast<std::ptrdiff_t>(sameTimeStart);
    const auto keptEnd = records.begin() + static_cast<std::ptrdiff_t>(kept);
    if (std::any_of(sameTime, keptEnd, [&](const HistoryRecord& other) { return SameEvent(other, record); })) {
      ++log.duplicates;
      continue;
    }
    records[kept++] = record;
  }
  records.resize(kept);
}

std::string SkippedLineText(const HistoryLog& log, const SkippedLine& skipped) {
  return log.files[skipped.file] + ":" + std::to_string(skipped.line) + ": " + skipped.why;
}

}  // namespace mardonel
