#include "load_command.h"

#include <fcntl.h>

#include <iostream>
#include <vector>

#include "load_transaction.h"
#include "pg_connection.h"
#include "printable_name.h"
#include "report_file.h"
#include "schema.h"

namespace mardonel::fleet {

ExitStatus RunLoad(std::span<const std::string> arguments) {
  // "--" lets a name begin with "-"; there is no option.
  if (!arguments.empty() && arguments.front() == "--") arguments = arguments.subspan(1);
  if (arguments.empty()) {
    std::cerr << "usage: mardonel-fleet load CSV...\n";
    return ExitStatus::kCommandLine;
  }
  std::vector<ReportFile> files;
  for (const std::string& path : arguments) {
    ReportFile& file = files.emplace_back();
    file.name = PrintableName(path);
    Result<std::string, Unread> content = ReadReportFile(AT_FDCWD, path.c_str(), true);
    if (!content) {
      std::cerr << "mardonel-fleet: " << file.name << ": " << content.reason().why << "; nothing loaded\n";
      return ExitStatus::kTryAgain;
    }
    file.content = std::move(*content);
  }
  const Result<PgConnection> connection = ConnectFromEnvironment();
  if (!connection) {
    std::cerr << "mardonel-fleet: the fleet database cannot be reached: " << connection.reason()
              << "; nothing loaded\n";
    return ExitStatus::kTryAgain;
  }
  CancelOnStop(connection->get());
  Session session(connection->get());
  bool rebuild = false;
  LoadOutcome outcome;
  if (!MakeSchema(session, rebuild) || !session.Run("begin")) {
    outcome.end = LoadEnd::kTryAgain;
  } else {
    outcome = LoadReports(session, files, LatestReportDay(), rebuild);
    // Committed only when nothing failed: the server rolls back whatever
    // ends otherwise, this program's end included.
    if (outcome.end == LoadEnd::kLoaded && !session.Run("commit")) outcome.end = LoadEnd::kTryAgain;
  }
  switch (outcome.end) {
    case LoadEnd::kLoaded:
      std::cout << LoadSummary(outcome.counts);
      return ExitStatus::kDone;
    case LoadEnd::kRefused:
      for (const FileRefusal& refusal : outcome.refusals)
        std::cerr << RefusalText(files[refusal.file].name, refusal) << '\n';
      std::cerr << "mardonel-fleet: not the report's CSV; nothing loaded\n";
      return ExitStatus::kRefused;
    case LoadEnd::kTryAgain:
      break;
  }
  std::cerr << "mardonel-fleet: " << FailureText(session.failure()) << "; nothing loaded, to be tried again\n";
  return ExitStatus::kTryAgain;
}

}  // namespace mardonel::fleet
