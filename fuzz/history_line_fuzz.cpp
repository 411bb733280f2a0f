// Any line is judged without reading past it, the same by the one-pass
// reading and field by field; a line that is read is exactly the line its
// record composes back to, and every record the module can write is read
// back as itself.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "common/history/history_line.h"

namespace mardonel {

namespace {

bool Same(const HistoryRecord& a, const HistoryRecord& b) {
  return a.eventTime == b.eventTime && a.state == b.state && a.reason == b.reason;
}

// The time text a machine with day-first short dates writes.
std::string TimeTextOf(LocalReading eventTime) {
  const auto second = static_cast<std::uint64_t>(
      (std::chrono::floor<std::chrono::seconds>(eventTime) - std::chrono::floor<std::chrono::days>(eventTime)).count());
  char text[32];
  std::snprintf(text, sizeof text, "07.12.2026 %02u:%02u:%02u", static_cast<unsigned>(second / 3600),
                static_cast<unsigned>(second / 60 % 60), static_cast<unsigned>(second % 60));
  return text;
}

}  // namespace

int FuzzOne(const std::uint8_t* data, std::size_t size) {
  const std::string_view line(reinterpret_cast<const char*>(data), size);
  const ParsedLine parsed = ParseHistoryLine(line);
  HistoryRecord written{};
  const bool readInOnePass = ParseWrittenLine(line, written);
  const ParsedLine byFields = ParseLineByFields(line);
  if (readInOnePass != byFields.ok() || (readInOnePass && !Same(written, *byFields))) std::abort();
  if (parsed) {
    const HistoryRecord& record = *parsed;
    if (record.eventTime > kLastEventTime || (record.state != kUnmanaged && record.state != kManaged)) std::abort();
    std::size_t timeText = 0;
    for (int comma = 0; comma < 3; ++comma) timeText = line.find(',', timeText) + 1;
    if (HistoryRecordLine(record, line.substr(timeText)) != std::string(line) + "\r\n") std::abort();
  } else if (parsed.reason() == nullptr || *parsed.reason() == '\0') {
    std::abort();
  }

  if (size >= 10) {
    std::uint64_t count = 0;
    std::memcpy(&count, data, sizeof count);
    count %= kLastEventTime.time_since_epoch().count() + 1;
    const LocalReading eventTime{FileTimeUnits(count)};
    const HistoryRecord record{eventTime, data[8] % 2 ? kManaged : kUnmanaged,
                               kReasonNames[data[9] % std::size(kReasonNames)].reason};
    const std::string composed = HistoryRecordLine(record, TimeTextOf(eventTime));
    const ParsedLine back = ParseHistoryLine(std::string_view(composed).substr(0, composed.size() - 2));
    if (!back || !Same(*back, record)) std::abort();
  }
  return 0;
}

}  // namespace mardonel

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return mardonel::FuzzOne(data, size);
}
