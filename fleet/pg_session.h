// Statements and COPY on the run's one connection, each failure told apart
// by its SQLSTATE: the file's fault, or the server's (tried again).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "pg_owners.h"

namespace mardonel::fleet {

enum class Fault {
  // A data exception (class 22) or an integrity violation (class 23): the
  // rows are not the report's.
  kData,
  // Anything else (cancel, timeout, connection, resources, operator,
  // serialization, disk full...): nothing taken, tried again.
  kServer,
};

struct Failure {
  Fault fault = Fault::kServer;
  // The server's words, or libpq's when the server said nothing.
  std::string message;
  std::string sqlState;
  // The row of a COPY that the server refused, from 1.
  std::optional<std::int64_t> copyRow;
};

// The message with its SQLSTATE, when it has one: "... (SQLSTATE 57014)".
[[nodiscard]] std::string FailureText(const Failure& failure);

// The fault an error's SQLSTATE means; a missing one (the connection was
// lost) is the server's.
[[nodiscard]] Fault FaultOfSqlState(std::string_view sqlState) noexcept;

class Session {
 public:
  explicit Session(PGconn* connection) noexcept : connection_(connection) {}

  // Runs `sql` (one statement, or several without a transaction's end);
  // false and failure() when it fails. Nothing more is sent after a
  // failure: every call then returns false.
  bool Run(std::string_view sql);
  // The same with $1, $2... given as text (nullptr: null).
  bool Run(std::string_view sql, std::initializer_list<const char*> parameters);
  // The rows of `sql`, or nothing on failure.
  [[nodiscard]] std::optional<PgResult> Query(std::string_view sql);
  // The same with $1, $2... given as text (nullptr: null).
  [[nodiscard]] std::optional<PgResult> Query(std::string_view sql, std::span<const char* const> parameters);

  // Starts a COPY ... FROM STDIN; Put sends rows of its text format, End
  // ends it (with `abandon`, as the program refused the rows: the server
  // then fails it, which is no failure of the server's).
  bool BeginCopy(std::string_view sql);
  bool Put(std::string_view rows);
  bool End(const char* abandon = nullptr);

  // Runs `sql`, a COPY ... TO STDOUT, giving each row to `row`.
  template <typename RowSink>
  bool CopyOut(std::string_view sql, RowSink&& row);

  // After a failure or a refusal: rolls the transaction back and lets
  // statements be sent again; false when the connection is lost.
  bool Recover();

  [[nodiscard]] const Failure& failure() const noexcept { return failure_; }
  [[nodiscard]] bool failed() const noexcept { return failed_; }

 private:
  // Takes the result of a statement; false, noting the failure, unless it is `wanted`.
  bool Take(PgResult result, ExecStatusType wanted);
  bool Fail(const PGresult* result);
  std::optional<PgResult> Rows(PgResult result);
  bool StartCopyOut(std::string_view sql);
  // The next row of a COPY TO STDOUT into `row`; false at its end.
  bool NextRow(std::string& row);

  PGconn* connection_;
  bool failed_ = false;
  Failure failure_;
};

template <typename RowSink>
bool Session::CopyOut(std::string_view sql, RowSink&& sink) {
  if (!StartCopyOut(sql)) return false;
  std::string row;
  while (NextRow(row)) sink(std::string_view(row));
  return !failed_;
}

}  // namespace mardonel::fleet
