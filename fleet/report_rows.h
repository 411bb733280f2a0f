// The rows of one load's report files, checked as they are read and turned
// into COPY's text format for the server, which then reads exactly the
// values that were checked.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace mardonel::fleet {

struct ReportFile {
  // As printed: see PrintableName.
  std::string name;
  std::string content;
};

// A file's first bad line (0 when it names none) and why.
struct FileRefusal {
  std::size_t file = 0;
  std::int64_t line = 0;
  std::string why;
};

// Where a row passed to the server came from, to name a row it refuses.
struct RowPlace {
  std::uint32_t file;
  std::uint32_t line;
};

// What a day's rows add to fleet_day_totals.
struct DayTotals {
  std::int64_t machines = 0;
  std::int64_t managedMachines = 0;
  std::int64_t managed = 0;
  std::int64_t unmanaged = 0;
};

struct RowsPass {
  // The first bad line of each bad file; when there is one, nothing was
  // passed on after it.
  std::vector<FileRefusal> refusals;
  // False when a row was not one of the daily case (see PassRows); nothing
  // was passed on after it.
  bool appendable = true;
  // Whether a machine's rows come from two files.
  bool overlap = false;
  std::vector<RowPlace> places;
  // Of the daily case: the machines' runs over the rows passed
  // (RunCounter), whether each machine had one row only, and the totals of
  // the rows passed by day (as DaysSince1601 counts).
  std::string runs;
  bool oneDayEach = true;
  std::map<std::int64_t, DayTotals> totals;
};

// Checks every row of `files` (the report's CSV rules, days up to
// `latestDay`, each machine's days rising within a file) and passes the
// good ones to `sink` in batches, until it returns false. With
// `appendAfter`, stops at the first row that is not of the daily case: a
// day after that day, each machine's rows side by side in one file.
[[nodiscard]] RowsPass PassRows(std::span<const ReportFile> files, std::int64_t latestDay,
                                std::optional<std::int64_t> appendAfter,
                                const std::function<bool(std::string_view)>& sink);

}  // namespace mardonel::fleet
