// One load of report files, inside a transaction the caller began and ends:
// the rows checked and streamed to the server, merged with the stored days,
// and the machines' summaries and the day totals carried on.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "pg_session.h"
#include "report_rows.h"

namespace mardonel::fleet {

struct LoadCounts {
  std::int64_t rows = 0;
  std::int64_t added = 0;
  std::int64_t changed = 0;
  std::int64_t kept = 0;
};

enum class LoadEnd {
  kLoaded,
  // refusals names the files; the caller rolls back.
  kRefused,
  // The server failed of its own (session.failure()); the caller rolls back.
  kTryAgain,
};

struct LoadOutcome {
  LoadEnd end = LoadEnd::kLoaded;
  LoadCounts counts;
  std::vector<FileRefusal> refusals;
};

// Loads `files` (days up to `latestDay`); `rebuild` finds every machine's
// summary anew (see MakeSchema).
[[nodiscard]] LoadOutcome LoadReports(Session& session, std::span<const ReportFile> files, std::int64_t latestDay,
                                      bool rebuild);

// The latest day a report can hold: tomorrow by this machine's UTC clock
// (a machine east of here may be a day ahead).
[[nodiscard]] std::int64_t LatestReportDay();

// "NAME:LINE: why", or "NAME: why" when no line is named.
[[nodiscard]] std::string RefusalText(const std::string& name, const FileRefusal& refusal);

// "N rows read: ..." and, when rows were kept, why.
[[nodiscard]] std::string LoadSummary(const LoadCounts& counts);

}  // namespace mardonel::fleet
