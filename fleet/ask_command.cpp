#include "ask_command.h"

#include <iostream>
#include <vector>

#include "answer_text.h"
#include "ask_request.h"
#include "common/time/calendar.h"
#include "daily_share_svg.h"
#include "pg_connection.h"
#include "pg_session.h"
#include "picture_file.h"
#include "utc_today.h"

namespace mardonel::fleet {

namespace {

ExitStatus Refuse(const std::string& why) {
  std::cerr << "mardonel-fleet: " << why << '\n';
  return ExitStatus::kCommandLine;
}

// The server's answer to the question, or its words.
Result<PgResult> Answer(const AskRequest& request) {
  const Result<PgConnection> connection = ConnectFromEnvironment();
  if (!connection) return Refusal{connection.reason()};
  CancelOnStop(connection->get());
  Session session(connection->get());
  std::vector<const char*> values;
  for (const std::optional<std::string>& value : request.values) values.push_back(value ? value->c_str() : nullptr);
  // Dates as the docs show them whatever the caller's PGDATESTYLE; a
  // question is answered sooner than it would be compiled.
  std::optional<PgResult> answer;
  if (session.Run("set datestyle = iso; set jit = off")) answer = session.Query(request.question->sql, values);
  if (!answer) return Refusal{session.failure().message};
  return std::move(*answer);
}

std::vector<ShareDay> ShareDays(const PGresult* answer) {
  std::vector<ShareDay> days;
  days.reserve(static_cast<std::size_t>(PQntuples(answer)));
  for (int row = 0; row < PQntuples(answer); ++row) {
    days.push_back({PQgetvalue(answer, row, 0), std::stoll(PQgetvalue(answer, row, 1)),
                    std::stoll(PQgetvalue(answer, row, 2)), std::stoll(PQgetvalue(answer, row, 3)),
                    std::stoll(PQgetvalue(answer, row, 4))});
  }
  return days;
}

}  // namespace

ExitStatus RunAsk(std::span<const std::string> arguments) {
  const Result<AskRequest, AskRefusal> parsed = ParseAskRequest(arguments, TodayInUtc());
  if (!parsed) {
    const AskRefusal& refusal = parsed.reason();
    if (!refusal.error.empty()) std::cerr << "mardonel-fleet: " << refusal.error << '\n';
    if (refusal.usage) std::cerr << AskUsageText();
    return ExitStatus::kCommandLine;
  }
  const AskRequest& request = *parsed;
  if (request.format == AskFormat::kSvg) {
    const std::string problem = PictureFileProblem(request.svgFile);
    if (!problem.empty()) return Refuse(problem);
  }

  const Result<PgResult> answer = Answer(request);
  if (!answer) {
    std::cerr << "mardonel-fleet: " << answer.reason() << '\n';
    return ExitStatus::kTryAgain;
  }
  switch (request.format) {
    case AskFormat::kTable:
      std::cout << AlignedTable(answer->get());
      break;
    case AskFormat::kCsv:
      std::cout << CsvTable(answer->get());
      break;
    case AskFormat::kSvg:
      if (const std::string failed = WritePictureFile(request.svgFile, DailyShareSvg(ShareDays(answer->get())));
          !failed.empty()) {
        std::cerr << "mardonel-fleet: " << failed << '\n';
        return ExitStatus::kTryAgain;
      }
      break;
  }
  if (!std::cout.flush()) {
    std::cerr << "mardonel-fleet: the answer could not be written out\n";
    return ExitStatus::kTryAgain;
  }
  return ExitStatus::kDone;
}

}  // namespace mardonel::fleet
