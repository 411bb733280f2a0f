#include "report/history_log.h"

#include <algorithm>
#include <numeric>

namespace mardonel {

namespace {

// Longer than any record the module writes: such a line is skipped without
// being kept.
constexpr std::size_t kLongestLine = 128;

// Lines of the same event time, state and reason can differ only in the
// date format of their time text: they tell of the same event.
bool SameEvent(const HistoryRecord& a, const HistoryRecord& b) {
  return a.eventTime == b.eventTime && a.state == b.state && a.reason == b.reason;
}

// Marks in `duplicate` each record that repeats one before it, taking the
// records as `at(0)`, `at(1)`, ... : sorted by event time, equal times in
// the order read. Of one time at most one record is kept per state and reason.
template <typename At>
void MarkRepeats(const std::vector<HistoryRecord>& records, At at, std::vector<bool>& duplicate) {
  std::vector<std::size_t> keptOfTime;
  for (std::size_t i = 0; i < records.size(); ++i) {
    const HistoryRecord& record = records[at(i)];
    if (i > 0 && records[at(i - 1)].eventTime != record.eventTime) keptOfTime.clear();
    if (std::any_of(keptOfTime.begin(), keptOfTime.end(),
                    [&](std::size_t kept) { return SameEvent(records[kept], record); })) {
      duplicate[at(i)] = true;
    } else {
      keptOfTime.push_back(at(i));
    }
  }
}

}  // namespace

HistoryFileReader::HistoryFileReader(HistoryLog& log, std::string_view name) : log_(log), file_(log.files.size()) {
  log_.files.emplace_back(name);
}

void HistoryFileReader::Add(std::string_view piece) {
  while (!piece.empty()) {
    const std::size_t end = piece.find('\n');
    const std::string_view part = piece.substr(0, end);
    piece.remove_prefix(end == std::string_view::npos ? piece.size() : end + 1);
    if (partial_.empty() && !tooLong_ && end != std::string_view::npos) {
      TakeLine(part);
      continue;
    }
    if (partial_.size() + part.size() > kLongestLine) {
      tooLong_ = true;
      partial_.clear();
    } else if (!tooLong_) {
      partial_ += part;
    }
    if (end != std::string_view::npos) Finish();
  }
}

void HistoryFileReader::Finish() {
  if (partial_.empty() && !tooLong_) return;
  TakeLine(partial_);
  partial_.clear();
  tooLong_ = false;
}

void HistoryFileReader::TakeLine(std::string_view line) {
  ++lineNumber_;
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  const ParsedLine parsed =
      tooLong_ || line.size() > kLongestLine ? ParsedLine(Refusal{"longer than any record"}) : ParseHistoryLine(line);
  if (parsed) {
    log_.records.push_back(*parsed);
    return;
  }
  ++log_.skipped;
  if (log_.listSkipped) log_.skippedLines.push_back(SkippedLine{file_, lineNumber_, parsed.reason()});
}

void AddHistoryFile(HistoryLog& log, std::string_view name, std::string_view content) {
  HistoryFileReader reader(log, name);
  reader.Add(content);
  reader.Finish();
}

void DropDuplicateRecords(HistoryLog& log) {
  std::vector<HistoryRecord>& records = log.records;
  const auto earlier = [](const HistoryRecord& a, const HistoryRecord& b) { return a.eventTime < b.eventTime; };
  std::vector<bool> duplicate(records.size());
  if (std::is_sorted(records.begin(), records.end(), earlier)) {
    // Written in time order, as the module writes: no sorting needed.
    MarkRepeats(
        records, [](std::size_t i) { return i; }, duplicate);
  } else {
    std::vector<std::size_t> order(records.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return earlier(records[a], records[b]); });
    MarkRepeats(
        records, [&order](std::size_t i) { return order[i]; }, duplicate);
  }
  std::size_t kept = 0;
  for (std::size_t i = 0; i < records.size(); ++i) {
    if (duplicate[i]) {
      ++log.duplicates;
    } else {
      records[kept++] = records[i];
    }
  }
  records.resize(kept);
}

std::string SkippedLineText(const HistoryLog& log, const SkippedLine& skipped) {
  return log.files[skipped.file] + ":" + std::to_string(skipped.line) + ": " + skipped.why;
}

}  // namespace mardonel
