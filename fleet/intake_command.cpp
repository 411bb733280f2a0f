#include "intake_command.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <map>
#include <vector>

#include "load_transaction.h"
#include "pg_connection.h"
#include "printable_name.h"
#include "report_file.h"
#include "schema.h"
#include "sha256.h"

namespace mardonel::fleet {

namespace {

struct DirFree {
  void operator()(DIR* folder) const noexcept { closedir(folder); }
};
using UniqueDir = std::unique_ptr<DIR, DirFree>;

// The names taken: *.csv directly in the folder, but not those beginning
// with "." (other tools' temporary files), whatever other bytes they hold.
// The report writes NAME.csv.<process id>.part and renames it, so a report
// being written is never taken. In byte order, as the ledger's collation.
std::vector<std::string> ReportNames(DIR* folder) {
  std::vector<std::string> names;
  while (const dirent* entry = readdir(folder)) {
    const std::string_view name(entry->d_name);
    if (name.size() > 4 && name.ends_with(".csv") && name.front() != '.') names.emplace_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

struct Tally {
  int loaded = 0;
  int refused = 0;
  int unchanged = 0;
  int notTaken = 0;
  bool tryAgain = false;
};

class Intake {
 public:
  // `rebuild` as MakeSchema found it.
  Intake(Session& session, int folder, bool rebuild) : session_(session), folder_(folder), rebuild_(rebuild) {}

  // False when the database can no longer be reached.
  bool Take(const std::string& name, const std::map<std::string, std::string>& stored);
  [[nodiscard]] const Tally& tally() const noexcept { return tally_; }

 private:
  bool Note(const std::string& name, std::size_t size, const std::string& hash, const FileRefusal* refusal);
  bool TryAgain(const std::string& name, const std::string& why);

  Session& session_;
  int folder_;
  bool rebuild_;
  Tally tally_;
};

bool Intake::TryAgain(const std::string& name, const std::string& why) {
  std::cerr << name << ": " << why << "; not taken, tried again next time\n";
  tally_.tryAgain = true;
  return true;
}

// Within the transaction that loaded the file, or one of its own for a refusal.
bool Intake::Note(const std::string& name, std::size_t size, const std::string& hash, const FileRefusal* refusal) {
  const std::string sizeText = std::to_string(size);
  const std::string line = refusal != nullptr && refusal->line > 0 ? std::to_string(refusal->line) : std::string();
  return session_.Run(
      "insert into fleet_intake values ($1, $2, $3, now(), $4, $5) on conflict (name) do update"
      " set size = excluded.size, sha256 = excluded.sha256, taken = excluded.taken, line = excluded.line,"
      " reason = excluded.reason",
      {name.c_str(), sizeText.c_str(), hash.c_str(), line.empty() ? nullptr : line.c_str(),
       refusal != nullptr ? refusal->why.c_str() : nullptr});
}

bool Intake::Take(const std::string& bytes, const std::map<std::string, std::string>& stored) {
  ReportFile file{PrintableName(bytes), {}};
  Result<std::string, Unread> content = ReadReportFile(folder_, bytes.c_str(), false);
  if (!content) {
    const Unread& unread = content.reason();
    if (unread.kind != FileRead::kLink && unread.kind != FileRead::kNotAFile) return TryAgain(file.name, unread.why);
    // Named every time, and never followed: what a link names is no
    // machine's report in this folder.
    std::cerr << file.name << ": " << unread.why << "\n";
    ++tally_.notTaken;
    return true;
  }
  file.content = std::move(*content);
  const std::string hash = Sha256Hex(file.content);
  const auto found = stored.find(file.name);
  if (found != stored.end() && found->second == std::to_string(file.content.size()) + ' ' + hash) {
    ++tally_.unchanged;
    return true;
  }
  LoadOutcome outcome;
  if (session_.Run("begin")) {
    outcome = LoadReports(session_, std::span(&file, 1), LatestReportDay(), rebuild_);
    // The file and its note commit together: a file loaded is never loaded
    // again for want of a note.
    if (outcome.end == LoadEnd::kLoaded &&
        (!Note(file.name, file.content.size(), hash, nullptr) || !session_.Run("commit"))) {
      outcome.end = LoadEnd::kTryAgain;
    }
  } else {
    outcome.end = LoadEnd::kTryAgain;
  }
  if (outcome.end == LoadEnd::kLoaded) {
    rebuild_ = false;
    ++tally_.loaded;
    std::string summary = LoadSummary(outcome.counts);
    for (std::size_t at = 0; at < summary.size();) {
      const std::size_t end = summary.find('\n', at);
      std::cout << file.name << ": " << summary.substr(at, end + 1 - at);
      at = end + 1;
    }
    return true;
  }
  const std::string failure = FailureText(session_.failure());
  if (!session_.Recover()) {
    std::cerr << file.name << ": " << failure << "; not taken, tried again next time\n";
    return false;
  }
  if (outcome.end == LoadEnd::kTryAgain) return TryAgain(file.name, failure);
  const FileRefusal& refusal = outcome.refusals.front();
  if (!session_.Run("begin") || !Note(file.name, file.content.size(), hash, &refusal) || !session_.Run("commit")) {
    const std::string noteFailure = FailureText(session_.failure());
    return session_.Recover() && TryAgain(file.name, noteFailure);
  }
  std::cerr << RefusalText(file.name, refusal) << '\n';
  ++tally_.refused;
  return true;
}

}  // namespace

ExitStatus RunIntake(std::span<const std::string> arguments) {
  // "--" lets a folder's name begin with "-"; there is no option.
  if (!arguments.empty() && arguments.front() == "--") arguments = arguments.subspan(1);
  if (arguments.size() != 1) {
    std::cerr << "usage: mardonel-fleet intake FOLDER\n";
    return ExitStatus::kCommandLine;
  }
  const std::string folderName = PrintableName(arguments.front());
  const int folderFd = open(arguments.front().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folderFd < 0) {
    std::cerr << "mardonel-fleet: " << folderName << ": " << std::strerror(errno) << "\n";
    return ExitStatus::kCommandLine;
  }
  // Owns folderFd from here, closing it with the listing.
  const UniqueDir folder(fdopendir(folderFd));
  if (!folder) {
    close(folderFd);
    std::cerr << "mardonel-fleet: " << folderName << ": " << std::strerror(errno) << "\n";
    return ExitStatus::kTryAgain;
  }
  // One intake of a folder at a time: cron may start one while one still runs.
  if (flock(folderFd, LOCK_EX | LOCK_NB) != 0) {
    std::cout << "mardonel-fleet: " << folderName << ": an intake of this folder is under way; nothing done\n";
    return ExitStatus::kDone;
  }
  const std::vector<std::string> names = ReportNames(folder.get());

  const Result<PgConnection> connection = ConnectFromEnvironment();
  if (!connection) {
    std::cerr << "mardonel-fleet: the fleet database cannot be reached: " << connection.reason() << "; nothing taken\n";
    return ExitStatus::kTryAgain;
  }
  CancelOnStop(connection->get());
  Session session(connection->get());
  bool rebuild = false;
  std::map<std::string, std::string> stored;
  if (MakeSchema(session, rebuild) && MakeIntakeSchema(session)) {
    if (const std::optional<PgResult> ledger =
            session.Query("select name, size::text || ' ' || sha256 from fleet_intake")) {
      for (int row = 0; row < PQntuples(ledger->get()); ++row) {
        stored.emplace(PQgetvalue(ledger->get(), row, 0), PQgetvalue(ledger->get(), row, 1));
      }
    }
  }
  if (session.failed()) {
    std::cerr << "mardonel-fleet: " << FailureText(session.failure()) << "; nothing taken, to be tried again\n";
    return ExitStatus::kTryAgain;
  }
  Intake intake(session, folderFd, rebuild);
  for (const std::string& name : names) {
    if (!intake.Take(name, stored)) {
      const Tally& so = intake.tally();
      std::cerr << "mardonel-fleet: the fleet database cannot be reached; " << so.loaded << " loaded, " << so.refused
                << " refused before\n";
      return ExitStatus::kTryAgain;
    }
  }
  const Tally& tally = intake.tally();
  std::cout << "mardonel-fleet: " << folderName << ": " << tally.loaded << " loaded, " << tally.refused << " refused, "
            << tally.unchanged << " unchanged";
  if (tally.notTaken > 0) std::cout << ", " << tally.notTaken << " links or not files";
  std::cout << '\n';
  // A refusal is said once, when the file is taken, and a link until it
  // goes; what is tried again is said at every run until it is taken.
  if (tally.refused > 0 || tally.notTaken > 0) return ExitStatus::kRefused;
  return tally.tryAgain ? ExitStatus::kTryAgain : ExitStatus::kDone;
}

}  // namespace mardonel::fleet
