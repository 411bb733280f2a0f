#include "report_options.h"

#include <optional>
#include <utility>

#include "common/cli/command_line.h"
#include "common/cli/option_table.h"
#include "report/local_days.h"

namespace mardonel {

namespace {

constexpr int kMaxDays = 3660;
constexpr std::chrono::seconds kMaxGapLimit = std::chrono::days(30);

// A whole number with its unit: "2h", "90m", "600s".
std::optional<std::chrono::seconds> Duration(const std::string& text) {
  if (text.size() < 2) return std::nullopt;
  const char unit = text.back();
  const std::int64_t scale = unit == 'h' ? 3600 : unit == 'm' ? 60 : unit == 's' ? 1 : 0;
  const std::optional<std::int64_t> count = ParseBoundedWhole(text.substr(0, text.size() - 1), 1, kMaxGapLimit.count());
  if (scale == 0 || !count) return std::nullopt;
  const std::chrono::seconds duration(*count * scale);
  if (duration > kMaxGapLimit) return std::nullopt;
  return duration;
}

// The options with what the rules between them need.
struct ReportCommandLine {
  ReportOptions options;
  bool daysGiven = false;
  bool formatGiven = false;
};

using Rule = OptionRule<ReportCommandLine>;

Result<ReportCommandLine> Format(ReportCommandLine line, ReportFormat format) {
  if (line.formatGiven) return Refusal{"--csv and --json exclude each other"};
  line.formatGiven = true;
  line.options.format = format;
  return line;
}

Result<ReportCommandLine> Text(ReportCommandLine line, const std::string& name, const std::string& value,
                               std::string ReportOptions::*field) {
  if (value.empty()) return Refusal{name + " needs a non-empty value"};
  line.options.*field = value;
  return line;
}

Result<ReportCommandLine> Date(ReportCommandLine line, const std::string& name, const std::string& value,
                               std::optional<CalendarDate> ReportOptions::*field) {
  const std::optional<CalendarDate> date = ParseIsoDate(value);
  if (!date) return Refusal{name + " wants a date as YYYY-MM-DD, not '" + value + "'"};
  line.options.*field = date;
  return line;
}

const Rule kReportOptions[] = {
    {"--help", false,
     [](ReportCommandLine line, const std::string&) -> Result<ReportCommandLine> {
       line.options.help = true;
       return line;
     }},
    {"--verbose", false,
     [](ReportCommandLine line, const std::string&) -> Result<ReportCommandLine> {
       line.options.verbose = true;
       return line;
     }},
    {"--csv", false,
     [](ReportCommandLine line, const std::string&) { return Format(std::move(line), ReportFormat::kCsv); }},
    {"--json", false,
     [](ReportCommandLine line, const std::string&) { return Format(std::move(line), ReportFormat::kJsonLines); }},
    {"--folder", true,
     [](ReportCommandLine line, const std::string& value) {
       return Text(std::move(line), "--folder", value, &ReportOptions::folder);
     }},
    {"--computer", true,
     [](ReportCommandLine line, const std::string& value) {
       return Text(std::move(line), "--computer", value, &ReportOptions::computer);
     }},
    {"--output", true,
     [](ReportCommandLine line, const std::string& value) {
       return Text(std::move(line), "--output", value, &ReportOptions::outputFile);
     }},
    {"--svg", true,
     [](ReportCommandLine line, const std::string& value) {
       return Text(std::move(line), "--svg", value, &ReportOptions::svgFile);
     }},
    {"--days", true,
     [](ReportCommandLine line, const std::string& value) -> Result<ReportCommandLine> {
       const std::optional<std::int64_t> days = ParseBoundedWhole(value, 1, kMaxDays);
       if (!days)
         return Refusal{"--days wants a whole number from 1 to " + std::to_string(kMaxDays) + ", not '" + value + "'"};
       line.options.days = static_cast<int>(*days);
       line.daysGiven = true;
       return line;
     }},
    {"--from", true,
     [](ReportCommandLine line, const std::string& value) {
       return Date(std::move(line), "--from", value, &ReportOptions::from);
     }},
    {"--until", true,
     [](ReportCommandLine line, const std::string& value) {
       return Date(std::move(line), "--until", value, &ReportOptions::until);
     }},
    {"--max-gap", true,
     [](ReportCommandLine line, const std::string& value) -> Result<ReportCommandLine> {
       const std::optional<std::chrono::seconds> duration = Duration(value);
       if (!duration)
         return Refusal{"--max-gap wants a duration such as 2h, 90m or 600s, up to 30 days, not '" + value + "'"};
       line.options.maxGap = *duration;
       return line;
     }},
};

}  // namespace

const char kReportUsageText[] =
    "Usage: mardonel-report.exe [--folder PATH] [--computer NAME] [--days N | --from YYYY-MM-DD]\n"
    "                           [--until YYYY-MM-DD] [--max-gap DURATION] [--csv | --json]\n"
    "                           [--output FILE] [--svg FILE] [--verbose]\n"
    "\n"
    "Reports how long this machine was managed, day by day, from the module's history files.\n"
    "  --folder PATH        read history files from PATH (default: the module's own folder)\n"
    "  --computer NAME      name the report's machine (default: this machine's DNS name)\n"
    "  --days N             the last N days up to today (default 30)\n"
    "  --from, --until      the first and last day of the report, both included\n"
    "  --max-gap DURATION   how long a record's state holds at most (default 2h)\n"
    "  --csv                one CSV row a day instead of the table\n"
    "  --json               one JSON object a line, a day a line, instead of the table\n"
    "  --output FILE        write the report into FILE, whole or not at all\n"
    "  --svg FILE           also draw the days as a timeline picture into FILE\n"
    "  --verbose            list the lines that were skipped, and why\n"
    "  --help               show this text\n"
    "Exit status: 0 report made, 1 folder not readable or report or picture not writable, 2 command-line mistake.\n";

Result<ReportOptions> ParseReportOptions(const std::vector<std::string>& arguments) {
  const Result<ReportCommandLine> read = ReadOptions<ReportCommandLine>(arguments, kReportOptions);
  if (!read) return Refusal{read.reason()};
  if (read->daysGiven && read->options.from) return Refusal{"--days and --from exclude each other"};
  return read->options;
}

Result<DayRange> ReportDays(const ReportOptions& options, LocalDays today) {
  const LocalDays lastDay = options.until ? DayOf<LocalClock>(*options.until) : today;
  const LocalDays firstDay =
      options.from ? DayOf<LocalClock>(*options.from) : lastDay - std::chrono::days(options.days - 1);
  if (firstDay > lastDay) return Refusal{options.until ? "--from is later than --until" : "--from is later than today"};
  if (lastDay - firstDay >= std::chrono::days(kMaxDays))
    return Refusal{"the report covers at most " + std::to_string(kMaxDays) + " days"};
  if (firstDay < LocalDays()) return Refusal{"the report starts before 1601"};
  return DayRange{firstDay, lastDay};
}

}  // namespace mardonel
