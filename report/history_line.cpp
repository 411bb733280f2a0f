#include "report/history_line.h"

#include "report/local_days.h"

namespace {

struct ReasonName {
  std::string_view text;
  RecordReason reason;
};

constexpr ReasonName kReasons[] = {
    {"Heartbeat", RecordReason::kHeartbeat},
    {"Startup", RecordReason::kStartup},
    {"Shutdown", RecordReason::kShutdown},
    {"Sleep", RecordReason::kSleep},
    {"Out of suspend", RecordReason::kOutOfSuspend},
    {"Net Adapters changed", RecordReason::kNetAdaptersChanged},
    {"INITIALISED", RecordReason::kInitialised},
};

constexpr std::uint64_t kLastEventTime =
    static_cast<std::uint64_t>(kFirstDayAfterYear9999) * kSecondsPerDay * kFileTimeUnitsPerSecond - 1;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Plain decimal digits without a leading zero, as the module writes them.
bool ParseEventTime(std::string_view text, std::uint64_t& value) {
  if (text.empty() || text.size() > 19 || (text[0] == '0' && text.size() > 1)) return false;
  value = 0;
  for (char c : text) {
    if (!IsDigit(c)) return false;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
  }
  return true;
}

bool ParseReason(std::string_view text, RecordReason& reason) {
  for (const ReasonName& name : kReasons) {
    if (name.text == text) {
      reason = name.reason;
      return true;
    }
  }
  return false;
}

// The date before the blank follows the machine's short date format, which
// the report cannot know; the time after it is fixed.
bool TimeTextFits(std::string_view text, std::int64_t second) {
  constexpr std::size_t kTimeLength = 8;
  if (text.size() < kTimeLength + 2 || text.size() > kTimeLength + 20) return false;
  const std::string_view time = text.substr(text.size() - kTimeLength);
  if (text[text.size() - kTimeLength - 1] != ' ' || time[2] != ':' || time[5] != ':') return false;
  const std::int64_t ofDay = second % kSecondsPerDay;
  const std::int64_t parts[3] = {ofDay / 3600, ofDay / 60 % 60, ofDay % 60};
  for (int part = 0; part < 3; ++part) {
    if (time[part * 3] != '0' + parts[part] / 10 || time[part * 3 + 1] != '0' + parts[part] % 10) return false;
  }
  return true;
}

std::uint32_t Fnv1a(std::string_view text) {
  std::uint32_t hash = 2166136261u;
  for (char c : text) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
  return hash;
}

ParsedLine Failure(const char* why) {
  ParsedLine parsed;
  parsed.why = why;
  return parsed;
}

}  // namespace

ParsedLine ParseHistoryLine(std::string_view line) {
  std::string_view fields[4];
  std::size_t start = 0;
  for (int field = 0; field < 3; ++field) {
    const std::size_t comma = line.find(',', start);
    if (comma == std::string_view::npos) return Failure("fewer than four fields");
    fields[field] = line.substr(start, comma - start);
    start = comma + 1;
  }
  fields[3] = line.substr(start);
  if (fields[3].find(',') != std::string_view::npos) return Failure("more than four fields");

  ParsedLine parsed;
  HistoryRecord& record = parsed.record;
  if (!ParseEventTime(fields[0], record.eventTime)) return Failure("event time is not a plain number");
  if (record.eventTime > kLastEventTime) return Failure("event time out of range");
  if (fields[1] != "1" && fields[1] != "2") return Failure("state is neither 1 nor 2");
  if (!ParseReason(fields[2], record.reason)) return Failure("unknown reason");
  record.second = static_cast<std::int64_t>(record.eventTime / kFileTimeUnitsPerSecond);
  if (!TimeTextFits(fields[3], record.second)) return Failure("time text does not match the event time");
  record.state = static_cast<std::uint8_t>(fields[1][0] - '0');
  record.lineHash = Fnv1a(fields[3]);
  parsed.ok = true;
  return parsed;
}
