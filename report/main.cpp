// mardonel-report: how long this machine was managed, day by day, from the
// module's history files.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <fstream>

#include "common/history/history_folder.h"
#include "common/win/error_text.h"
#include "report/history_folder_files.h"
#include "report/local_days.h"
#include "report/managed_days.h"
#include "report/report_options.h"
#include "report/report_svg.h"
#include "report/report_text.h"
#include "report/this_machine.h"

namespace mardonel {

namespace {

constexpr int kExitUnreadable = 1;
constexpr int kExitUsage = 2;

void Complain(const std::string& text) { std::fprintf(stderr, "mardonel-report: %s\n", text.c_str()); }

bool ReadFolder(const ReportOptions& options, HistoryLog& log) {
  std::string folder = options.folder;
  if (folder.empty()) {
    const HistoryPath path = HistoryFolderPath();
    if (path.error != ERROR_SUCCESS) {
      Complain("cannot find the history folder " + path.text + ": " + ErrorText(path.error));
      return false;
    }
    folder = path.text;
  }
  std::vector<std::string> problems;
  const DWORD error = ReadHistoryFolder(folder, log, problems);
  if (error != ERROR_SUCCESS) {
    Complain("cannot read the folder " + folder + ": " + ErrorText(error));
    return false;
  }
  for (const std::string& problem : problems) Complain(problem);
  if (log.files.empty() && !problems.empty()) return false;
  if (log.files.empty()) Complain("no history files in " + folder);
  return true;
}

void TellSkippedLines(const ReportOptions& options, const HistoryLog& log) {
  if (options.verbose) {
    for (const SkippedLine& skipped : log.skipped) std::fprintf(stderr, "%s\n", SkippedLineText(log, skipped).c_str());
  } else if (!log.skipped.empty()) {
    Complain(std::to_string(log.skipped.size()) + " lines skipped (--verbose lists them)");
  }
}

bool WriteSvg(const std::string& path, const std::string& svg) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << svg;
  file.close();
  if (file) return true;
  Complain("cannot write " + path);
  return false;
}

int Run(const ReportOptions& options) {
  const std::int64_t now = LocalNowSecond();
  std::string error;
  const std::optional<DayRange> days = ReportDays(options, now / kSecondsPerDay, error);
  if (!days) {
    Complain(error);
    return kExitUsage;
  }
  HistoryLog log;
  if (!ReadFolder(options, log)) return kExitUnreadable;
  OrderHistoryLog(log);
  TellSkippedLines(options, log);

  const std::int64_t endSecond = std::min(now, (days->lastDay + 1) * kSecondsPerDay);
  const ManagedDays managed =
      ComputeManagedDays(log.records, ReportRange{days->firstDay, days->lastDay, endSecond, options.maxGapSeconds});
  const std::string computer = options.computer.empty() ? ComputerDnsName() : options.computer;
  const std::string text = options.format == ReportFormat::kCsv         ? ReportCsv(computer, managed)
                           : options.format == ReportFormat::kJsonLines ? ReportJsonLines(computer, managed)
                                                                        : ReportTable(computer, managed);
  // Text mode makes every line end CR LF, as CSV wants it.
  std::fputs(text.c_str(), stdout);
  std::fflush(stdout);
  if (!options.svgFile.empty() && !WriteSvg(options.svgFile, ReportSvg(computer, managed))) return kExitUnreadable;
  return 0;
}

}  // namespace

int Main(int argc, char** argv) {
  const ReportOptionsResult parsed = ParseReportOptions(std::vector<std::string>(argv + 1, argv + argc));
  if (!parsed.error.empty()) {
    Complain(parsed.error + " (--help lists the options)");
    return kExitUsage;
  }
  if (parsed.options.help) {
    std::fputs(kReportUsageText, stdout);
    return 0;
  }
  try {
    return Run(parsed.options);
  } catch (const std::exception& failure) {
    Complain(failure.what());
    return kExitUnreadable;
  }
}

}  // namespace mardonel

int main(int argc, char** argv) { return mardonel::Main(argc, argv); }
