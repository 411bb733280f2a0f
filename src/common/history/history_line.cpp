#include "common/history/history_line.h"

#include <cinttypes>
#include <cstdio>

namespace mardonel {

namespace {

constexpr std::uint64_t kLastEventCount = kLastEventTime.time_since_epoch().count();

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Plain decimal digits without a leading zero, as the module writes them.
bool ParseEventTime(std::string_view text, LocalReading& time) {
  if (text.empty() || text.size() > 19 || (text[0] == '0' && text.size() > 1)) return false;
  std::uint64_t value = 0;
  for (char c : text) {
    if (!IsDigit(c)) return false;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
  }
  time = LocalReading(FileTimeUnits(value));
  return true;
}

bool ParseReason(std::string_view text, RecordReason& reason) {
  for (const ReasonName& name : kReasonNames) {
    if (name.text == text) {
      reason = name.reason;
      return true;
    }
  }
  return false;
}

int TwoDigits(const char* text) {
  return IsDigit(text[0]) && IsDigit(text[1]) ? (text[0] - '0') * 10 + (text[1] - '0') : -1;
}

// The date before the blank follows the machine's short date format, which
// the report cannot know: at most 19 characters, empty when the platform
// could not write it. The time after it is fixed.
bool TimeTextFits(std::string_view text, LocalSeconds second) {
  constexpr std::size_t kTimeLength = 8;
  constexpr std::size_t kLongestDate = 19;
  if (text.size() < kTimeLength + 1 || text.size() > kTimeLength + 1 + kLongestDate) return false;
  const char* const time = text.data() + text.size() - kTimeLength;
  if (time[-1] != ' ' || time[2] != ':' || time[5] != ':') return false;
  const int hours = TwoDigits(time);
  const int minutes = TwoDigits(time + 3);
  const int seconds = TwoDigits(time + 6);
  if (hours < 0 || minutes < 0 || seconds < 0 || minutes > 59 || seconds > 59) return false;
  return hours * 3600 + minutes * 60 + seconds == (second - std::chrono::floor<std::chrono::days>(second)).count();
}

}  // namespace

bool ParseWrittenLine(std::string_view line, HistoryRecord& record) {
  const char* p = line.data();
  const char* const end = p + line.size();
  const char* const digits = p;
  const char* const digitsEnd = end - p > 19 ? p + 19 : end;
  std::uint64_t value = 0;
  while (p < digitsEnd && IsDigit(*p)) value = value * 10 + static_cast<std::uint64_t>(*p++ - '0');
  if (p == digits || p == end || *p != ',' || (*digits == '0' && p - digits > 1) || value > kLastEventCount) {
    return false;
  }
  ++p;
  if (end - p < 2 || (p[0] != '1' && p[0] != '2') || p[1] != ',') return false;
  const auto state = static_cast<ManagedState>(p[0] - '0');
  p += 2;
  // Reasons are matched with their comma, the most frequent first.
  const std::string_view rest(p, static_cast<std::size_t>(end - p));
  const ReasonName* reason = nullptr;
  for (const ReasonName& name : kReasonNames) {
    if (rest.size() > name.text.size() && rest[name.text.size()] == ',' && rest.starts_with(name.text)) {
      reason = &name;
      break;
    }
  }
  if (reason == nullptr) return false;
  record.reason = reason->reason;
  p += reason->text.size();
  const std::string_view timeText(p + 1, static_cast<std::size_t>(end - p - 1));
  record.eventTime = LocalReading(FileTimeUnits(value));
  record.state = state;
  return TimeTextFits(timeText, record.second());
}

std::string HistoryRecordLine(const HistoryRecord& record, std::string_view timeText) {
  char head[40];
  std::snprintf(head, sizeof head, "%" PRIu64 ",%" PRId32 ",", record.eventTime.time_since_epoch().count(),
                static_cast<std::int32_t>(record.state));
  std::string line = head;
  line += ReasonText(record.reason);
  line += ',';
  line += timeText;
  line += "\r\n";
  return line;
}

ParsedLine ParseHistoryLine(std::string_view line) {
  HistoryRecord whole{};
  if (ParseWrittenLine(line, whole)) return whole;
  return ParseLineByFields(line);
}

ParsedLine ParseLineByFields(std::string_view line) {
  std::string_view fields[4];
  std::size_t start = 0;
  for (int field = 0; field < 3; ++field) {
    const std::size_t comma = line.find(',', start);
    if (comma == std::string_view::npos) return Refusal{"fewer than four fields"};
    fields[field] = line.substr(start, comma - start);
    start = comma + 1;
  }
  // A short date may hold a comma: the rest of the line is the time text.
  fields[3] = line.substr(start);

  HistoryRecord record{};
  if (!ParseEventTime(fields[0], record.eventTime)) return Refusal{"event time is not a plain number"};
  if (record.eventTime > kLastEventTime) return Refusal{"event time out of range"};
  if (fields[1] != "1" && fields[1] != "2") return Refusal{"state is neither 1 nor 2"};
  if (!ParseReason(fields[2], record.reason)) return Refusal{"unknown reason"};
  if (!TimeTextFits(fields[3], record.second())) return Refusal{"time text does not match the event time"};
  record.state = static_cast<ManagedState>(fields[1][0] - '0');
  return record;
}

}  // namespace mardonel
