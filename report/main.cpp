// mardonel-report: how long this machine was managed, day by day, from the
// module's history files.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <exception>

#include "common/cli/program_arguments.h"
#include "common/history/history_folder.h"
#include "common/win/error_text.h"
#include "output_clash.h"
#include "report/history_folder_files.h"
#include "report/managed_days.h"
#include "report/report_text.h"
#include "report/this_machine.h"
#include "report_options.h"
#include "report_output.h"
#include "report_svg.h"
#include "wide_text.h"

namespace mardonel {

namespace {

constexpr int kExitUnreadable = 1;
constexpr int kExitUsage = 2;

void Complain(const std::string& text) { std::fprintf(stderr, "mardonel-report: %s\n", text.c_str()); }

// The folder to read, in ANSI; nothing when there is none.
std::optional<std::string> FolderToRead(const ReportOptions& options) {
  if (options.folder.empty()) {
    const HistoryPath path = HistoryFolderPath();
    if (path.ok()) return path.value();
    Complain("cannot find the history folder " + path.value() + ": " + ErrorText(path.status()));
    return std::nullopt;
  }
  std::optional<std::string> ansi = AnsiOf(options.folder);
  if (!ansi) Complain("cannot read the folder " + options.folder + ": its name does not fit this system's code page");
  return ansi;
}

bool ReadFolder(const ReportOptions& options, const std::string& folder, const FileDays& days, HistoryLog& log) {
  std::vector<std::string> problems;
  const DWORD error = ReadHistoryFolder(folder, log, problems, days);
  if (error == ERROR_DIRECTORY) {
    Complain(options.folder + " is a file, not a folder");
    return false;
  }
  if (error != ERROR_SUCCESS) {
    Complain("cannot read the folder " + folder + ": " + ErrorText(error));
    return false;
  }
  for (const std::string& problem : problems) Complain(problem);
  if (log.historyFiles == 0) Complain("no history files in " + folder);
  return log.files.empty() || problems.size() < log.files.size();
}

void TellSkippedLines(const HistoryLog& log) {
  for (const SkippedLine& skipped : log.skippedLines)
    std::fprintf(stderr, "%s\n", SkippedLineText(log, skipped).c_str());
  if (!log.listSkipped && log.skipped > 0) {
    Complain(std::to_string(log.skipped) + (log.skipped == 1 ? " line" : " lines") + " skipped (--verbose lists them)");
  }
}

// To standard output without `path`.
bool WriteOut(const std::string& path, const std::string& text) {
  const DWORD error = path.empty() ? WriteStandardOutput(text) : WriteFileWhole(path, text);
  if (error == ERROR_SUCCESS) return true;
  Complain("cannot write " + (path.empty() ? std::string("the report") : path) + ": " + ErrorText(error));
  return false;
}

int Run(const ReportOptions& options) {
  const Result<DayRange> days = ReportDays(options, LocalToday());
  if (!days) {
    Complain(days.reason());
    return kExitUsage;
  }
  const std::optional<std::string> folder = FolderToRead(options);
  if (!folder) return kExitUnreadable;
  std::vector<OutputFile> outputs;
  if (!options.outputFile.empty()) outputs.push_back({"--output", options.outputFile});
  if (!options.svgFile.empty()) outputs.push_back({"--svg", options.svgFile});
  if (const std::string clash = OutputClash(*folder, outputs); !clash.empty()) {
    Complain(clash);
    return kExitUsage;
  }
  HistoryLog log;
  log.listSkipped = options.verbose;
  if (!ReadFolder(options, *folder, FileDaysOfRange(days->firstDay, days->lastDay, options.maxGap), log)) {
    return kExitUnreadable;
  }
  DropDuplicateRecords(log);
  TellSkippedLines(log);

  const WithStatus<ZoneRules> zone = MachineZone(DaySpan{days->firstDay, days->lastDay}, log.records);
  if (!zone.ok()) {
    Complain(std::string("cannot read the rules of this machine's time zone: ") + ErrorText(zone.status()));
    return kExitUnreadable;
  }
  const ManagedDays managed = ComputeManagedDays(
      log.records, ReportRange{days->firstDay, days->lastDay, UtcNowSecond(), options.maxGap}, zone.value());
  const std::string computer = options.computer.empty() ? ComputerDnsName() : options.computer;
  const std::string text = options.format == ReportFormat::kCsv         ? ReportCsv(computer, managed)
                           : options.format == ReportFormat::kJsonLines ? ReportJsonLines(computer, managed)
                                                                        : ReportTable(computer, managed);
  if (!WriteOut(options.outputFile, text)) return kExitUnreadable;
  if (!options.svgFile.empty() && !WriteOut(options.svgFile, ReportSvg(computer, managed))) return kExitUnreadable;
  return 0;
}

}  // namespace

int Main() {
  const Result<ReportOptions> parsed = ParseReportOptions(Utf8Arguments());
  if (!parsed) {
    Complain(parsed.reason() + " (--help lists the options)");
    return kExitUsage;
  }
  if (parsed->help) {
    std::fputs(kReportUsageText, stdout);
    return 0;
  }
  try {
    return Run(*parsed);
  } catch (const std::exception& failure) {
    Complain(failure.what());
    return kExitUnreadable;
  }
}

}  // namespace mardonel

int main() { return mardonel::Main(); }
