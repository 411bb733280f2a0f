// Any file content gives a report without reading past its input: every day
// holds its real length, the timeline runs forward without overlaps and
// stops at now, and every output can be made. The first three bytes choose
// the range, now, the longest gap and the zone's daylight-saving changes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "report/history_log.h"
#include "report/local_days.h"
#include "report/managed_days.h"
#include "report/report_text.h"
#include "report/zone_rules.h"
#include "report_svg.h"

namespace mardonel {

int FuzzOne(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  const std::string_view content(reinterpret_cast<const char*>(data + 3), size - 3);
  HistoryLog log;
  log.listSkipped = data[0] % 2 == 0;
  AddHistoryFile(log, "20261201T.mgt", content);
  const std::vector<HistoryRecord> whole = log.records;
  const std::size_t wholeSkipped = log.skipped;
  // Read in pieces of any size, the same file gives the same lines.
  HistoryFileReader pieces(log, "20261202T.mgt");
  const std::size_t pieceSize = 1 + data[2] % 97;
  for (std::size_t at = 0; at < content.size(); at += pieceSize) pieces.Add(content.substr(at, pieceSize));
  pieces.Finish();
  if (log.skipped != 2 * wholeSkipped || log.records.size() != 2 * whole.size()) std::abort();
  for (std::size_t i = 0; i < whole.size(); ++i) {
    const HistoryRecord& again = log.records[whole.size() + i];
    if (again.eventTime != whole[i].eventTime || again.state != whole[i].state || again.reason != whole[i].reason) {
      std::abort();
    }
  }
  AddHistoryFile(log, "20261203T.mgt", content.substr(content.size() / 2));
  DropDuplicateRecords(log);
  for (const SkippedLine& skipped : log.skippedLines) SkippedLineText(log, skipped);
  ParseIsoDate(content.substr(0, 10));

  using std::chrono::days;
  using std::chrono::seconds;
  const LocalDays around =
      log.records.empty() ? LocalDays(days(155562)) : std::chrono::floor<days>(log.records.front().second());
  const LocalDays firstDay = std::max(LocalDays(), around - days(data[0] % 3));
  const LocalDays lastDay = firstDay + days(data[1] % 8);
  // The fuzzed zone's days are counted as UTC ones, shifted by its offsets.
  const auto utcStart = [](LocalDays day) { return UtcSeconds(day.time_since_epoch()); };
  const UtcSeconds now = utcStart(lastDay + days(1)) - seconds(data[0] * 600);
  const ReportRange range{firstDay, lastDay, now, seconds(60 + data[2] * 600)};
  // A change forward and back each day of the range, of up to two hours.
  std::vector<ZoneSegment> segments{{UtcSeconds(), seconds(3600)}};
  for (LocalDays day = firstDay; day <= lastDay + days(1) && data[1] % 2 == 1; day += days(1)) {
    segments.push_back({utcStart(day) + seconds(data[0] * 300), seconds(3600 + (data[2] % 3) * 3600)});
    segments.push_back({utcStart(day) + seconds(43200 + data[1] * 60), seconds(3600)});
  }
  const ZoneRules zone(segments);
  const ManagedDays report = ComputeManagedDays(log.records, range, zone);

  if (report.days.size() != static_cast<std::size_t>((lastDay - firstDay).count() + 1)) std::abort();
  for (const DayRow& row : report.days) {
    if (row.managed < 0 || row.unmanaged < 0 || row.off < 0 || row.length <= 0) std::abort();
    if (row.managed + row.unmanaged + row.off != row.length) std::abort();
    for (const DayPiece& piece : row.pieces) {
      if (piece.from < seconds(0) || piece.to > days(1) || piece.from >= piece.to) std::abort();
    }
  }
  for (std::size_t i = 0; i < report.stretches.size(); ++i) {
    const Stretch& stretch = report.stretches[i];
    if (stretch.start >= stretch.end || stretch.end > now) std::abort();
    if (i > 0 && report.stretches[i - 1].end > stretch.start) std::abort();
  }
  ReportTable("pc", report);
  ReportCsv("pc", report);
  ReportJsonLines("pc", report);
  ReportSvg("pc", report);
  return 0;
}

}  // namespace mardonel

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return mardonel::FuzzOne(data, size);
}
