// mardonel-fleet COMMAND ...: loads the report CSVs of many machines into one
// PostgreSQL database and answers questions of them (docs/admin/fleet.md).
#include <iostream>
#include <string>
#include <vector>

#include "ask_command.h"
#include "common/cli/command_line.h"
#include "exit_status.h"
#include "intake_command.h"
#include "load_command.h"

namespace {

using mardonel::fleet::ExitStatus;

ExitStatus Usage() {
  std::cerr << "usage: mardonel-fleet load CSV...\n"
               "       mardonel-fleet intake FOLDER\n"
               "       mardonel-fleet ask [--csv | --svg FILE] QUESTION [NAME=VALUE...]\n"
               "The database is the one the PG* variables and ~/.pgpass name, as for psql.\n";
  return ExitStatus::kCommandLine;
}

ExitStatus Run(const std::vector<std::string>& words) {
  if (words.empty() || mardonel::IsHelpWord(words.front())) return Usage();
  const std::span<const std::string> rest(words.begin() + 1, words.end());
  if (words.front() == "load") return mardonel::fleet::RunLoad(rest);
  if (words.front() == "intake") return mardonel::fleet::RunIntake(rest);
  if (words.front() == "ask") return mardonel::fleet::RunAsk(rest);
  std::cerr << "mardonel-fleet: unknown command '" << words.front() << "'\n";
  return Usage();
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return mardonel::fleet::ToInt(Run(std::vector<std::string>(argv + 1, argv + argc)));
  } catch (const std::exception& error) {
    // Out of memory, as a rule: nothing was committed that this run did not
    // say, and the server rolls back what the closed connection held.
    std::cerr << "mardonel-fleet: " << error.what() << '\n';
    return mardonel::fleet::ToInt(ExitStatus::kTryAgain);
  }
}
