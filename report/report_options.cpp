#include "report_options.h"

#include "common/cli/command_line.h"
#include "report/local_days.h"

namespace mardonel {

namespace {

constexpr int kMaxDays = 3660;
constexpr std::chrono::seconds kMaxGapLimit = std::chrono::days(30);

// A whole number with its unit: "2h", "90m", "600s".
bool ParseDuration(const std::string& text, std::chrono::seconds& duration) {
  if (text.size() < 2) return false;
  const char unit = text.back();
  const std::int64_t scale = unit == 'h' ? 3600 : unit == 'm' ? 60 : unit == 's' ? 1 : 0;
  const std::optional<std::int64_t> count = ParseBoundedWhole(text.substr(0, text.size() - 1), 1, kMaxGapLimit.count());
  if (scale == 0 || !count) return false;
  duration = std::chrono::seconds(*count * scale);
  return duration <= kMaxGapLimit;
}

bool TakesValue(const std::string& name) {
  return name == "--folder" || name == "--computer" || name == "--output" || name == "--svg" || name == "--days" ||
         name == "--from" || name == "--until" || name == "--max-gap";
}

std::string SetValue(ReportOptions& options, const std::string& name, const std::string& value) {
  if (name == "--folder" || name == "--computer" || name == "--output" || name == "--svg") {
    if (value.empty()) return name + " needs a non-empty value";
    (name == "--folder"     ? options.folder
     : name == "--computer" ? options.computer
     : name == "--output"   ? options.outputFile
                            : options.svgFile) = value;
  } else if (name == "--days") {
    const std::optional<std::int64_t> days = ParseBoundedWhole(value, 1, kMaxDays);
    if (!days) return "--days wants a whole number from 1 to " + std::to_string(kMaxDays) + ", not '" + value + "'";
    options.days = static_cast<int>(*days);
  } else if (name == "--from" || name == "--until") {
    const std::optional<CalendarDate> date = ParseIsoDate(value);
    if (!date) return name + " wants a date as YYYY-MM-DD, not '" + value + "'";
    (name == "--from" ? options.from : options.until) = date;
  } else if (!ParseDuration(value, options.maxGap)) {
    return "--max-gap wants a duration such as 2h, 90m or 600s, up to 30 days, not '" + value + "'";
  }
  return {};
}

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

ReportOptionsResult ParseReportOptions(const std::vector<std::string>& arguments) {
  ReportOptionsResult result;
  ReportOptions& options = result.options;
  bool daysGiven = false;
  bool formatGiven = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& name = arguments[i];
    if (IsHelpWord(name)) {
      options.help = true;
    } else if (name == "--verbose") {
      options.verbose = true;
    } else if (name == "--csv" || name == "--json") {
      if (formatGiven) {
        result.error = "--csv and --json exclude each other";
        return result;
      }
      formatGiven = true;
      options.format = name == "--csv" ? ReportFormat::kCsv : ReportFormat::kJsonLines;
    } else if (!TakesValue(name)) {
      result.error = UnknownOptionError(name);
      return result;
    } else {
      const std::optional<std::string> value = TakeOptionValue(arguments, i, result.error);
      if (!value) return result;
      result.error = SetValue(options, name, *value);
      if (!result.error.empty()) return result;
      daysGiven = daysGiven || name == "--days";
    }
  }
  if (daysGiven && options.from) result.error = "--days and --from exclude each other";
  return result;
}

std::optional<DayRange> ReportDays(const ReportOptions& options, LocalDays today, std::string& error) {
  const LocalDays lastDay = options.until ? DayOf<LocalClock>(*options.until) : today;
  const LocalDays firstDay =
      options.from ? DayOf<LocalClock>(*options.from) : lastDay - std::chrono::days(options.days - 1);
  if (firstDay > lastDay) {
    error = options.until ? "--from is later than --until" : "--from is later than today";
    return std::nullopt;
  }
  if (lastDay - firstDay >= std::chrono::days(kMaxDays)) {
    error = "the report covers at most " + std::to_string(kMaxDays) + " days";
    return std::nullopt;
  }
  if (firstDay < LocalDays()) {
    error = "the report starts before 1601";
    return std::nullopt;
  }
  return DayRange{firstDay, lastDay};
}

}  // namespace mardonel
