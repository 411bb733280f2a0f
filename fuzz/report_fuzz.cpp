// Any file content gives a report without reading past its input: every day
// holds 86,400 seconds, the timeline runs forward without overlaps, and
// every output can be made. The first three bytes choose the range and the
// longest gap.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "report/history_log.h"
#include "report/local_days.h"
#include "report/managed_days.h"
#include "report/report_svg.h"
#include "report/report_text.h"

namespace mardonel {

int FuzzOne(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  const std::string_view content(reinterpret_cast<const char*>(data + 3), size - 3);
  HistoryLog log;
  AddHistoryFile(log, "20261201T.mgt", content);
  AddHistoryFile(log, "20261202T.mgt", content.substr(content.size() / 2));
  OrderHistoryLog(log);
  for (const SkippedLine& skipped : log.skipped) SkippedLineText(log, skipped);
  ParseIsoDate(content.substr(0, 10));

  const std::int64_t around = log.records.empty() ? 155562 : log.records.front().second() / kSecondsPerDay;
  const std::int64_t firstDay = std::max<std::int64_t>(0, around - data[0] % 3);
  const std::int64_t lastDay = firstDay + data[1] % 8;
  const ReportRange range{firstDay, lastDay, (lastDay + 1) * kSecondsPerDay - data[0] * 600, 60 + data[2] * 600};
  const ManagedDays days = ComputeManagedDays(log.records, range);

  if (days.days.size() != static_cast<std::size_t>(lastDay - firstDay + 1)) std::abort();
  for (const DayRow& row : days.days) {
    if (row.managed < 0 || row.unmanaged < 0 || row.off < 0) std::abort();
    if (row.managed + row.unmanaged + row.off != kSecondsPerDay) std::abort();
  }
  for (std::size_t i = 0; i < days.stretches.size(); ++i) {
    const Stretch& stretch = days.stretches[i];
    if (stretch.start >= stretch.end || stretch.start < firstDay * kSecondsPerDay) std::abort();
    if (i > 0 && days.stretches[i - 1].end > stretch.start) std::abort();
  }
  ReportTable("pc", days);
  ReportCsv("pc", days);
  ReportJsonLines("pc", days);
  ReportSvg("pc", days);
  return 0;
}

}  // namespace mardonel

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return mardonel::FuzzOne(data, size);
}
