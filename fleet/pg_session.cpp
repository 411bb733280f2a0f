#include "pg_session.h"

#include <charconv>

namespace mardonel::fleet {

namespace {

// The row that COPY's context names ("COPY fleet_days, line 5: ..."): the
// first number after the table's name, whatever the server's language.
std::optional<std::int64_t> CopyRowOf(const char* context) {
  if (context == nullptr) return std::nullopt;
  const std::string_view text(context);
  if (text.rfind("COPY ", 0) != 0) return std::nullopt;
  const std::size_t comma = text.find(',');
  const std::size_t digits = text.find_first_of("0123456789", comma == std::string_view::npos ? 0 : comma);
  if (comma == std::string_view::npos || digits == std::string_view::npos) return std::nullopt;
  std::int64_t row = 0;
  std::from_chars(text.data() + digits, text.data() + text.size(), row);
  return row;
}

}  // namespace

std::string FailureText(const Failure& failure) {
  return failure.sqlState.empty() ? failure.message : failure.message + " (SQLSTATE " + failure.sqlState + ")";
}

Fault FaultOfSqlState(std::string_view sqlState) noexcept {
  return sqlState.starts_with("22") || sqlState.starts_with("23") ? Fault::kData : Fault::kServer;
}

bool Session::Fail(const PGresult* result) {
  if (failed_) return false;
  failed_ = true;
  const char* state = result != nullptr ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
  failure_.fault = state != nullptr ? FaultOfSqlState(state) : Fault::kServer;
  const char* primary = result != nullptr ? PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
  failure_.message = primary != nullptr ? primary : PQerrorMessage(connection_);
  while (!failure_.message.empty() && failure_.message.back() == '\n') failure_.message.pop_back();
  if (state != nullptr) failure_.sqlState = state;
  if (result != nullptr) failure_.copyRow = CopyRowOf(PQresultErrorField(result, PG_DIAG_CONTEXT));
  return false;
}

bool Session::Take(PgResult result, ExecStatusType wanted) {
  if (result && PQresultStatus(result.get()) == wanted) return true;
  Fail(result.get());
  // A failed COPY or statement may leave results behind; they end here.
  while (PgResult(PQgetResult(connection_))) {
  }
  return false;
}

bool Session::Run(std::string_view sql) {
  if (failed_) return false;
  PgResult result(PQexec(connection_, std::string(sql).c_str()));
  if (result && PQresultStatus(result.get()) == PGRES_TUPLES_OK) return true;
  return Take(std::move(result), PGRES_COMMAND_OK);
}

bool Session::Run(std::string_view sql, std::initializer_list<const char*> parameters) {
  if (failed_) return false;
  return Take(PgResult(PQexecParams(connection_, std::string(sql).c_str(), static_cast<int>(parameters.size()), nullptr,
                                    parameters.begin(), nullptr, nullptr, 0)),
              PGRES_COMMAND_OK);
}

bool Session::Recover() {
  if (PQstatus(connection_) != CONNECTION_OK) return false;
  failed_ = false;
  failure_ = Failure{};
  return Run("rollback");
}

std::optional<PgResult> Session::Query(std::string_view sql) {
  if (failed_) return std::nullopt;
  return Rows(PgResult(PQexec(connection_, std::string(sql).c_str())));
}

std::optional<PgResult> Session::Query(std::string_view sql, std::span<const char* const> parameters) {
  if (failed_) return std::nullopt;
  return Rows(PgResult(PQexecParams(connection_, std::string(sql).c_str(), static_cast<int>(parameters.size()), nullptr,
                                    parameters.data(), nullptr, nullptr, 0)));
}

std::optional<PgResult> Session::Rows(PgResult result) {
  if (result && PQresultStatus(result.get()) == PGRES_TUPLES_OK) return result;
  Take(std::move(result), PGRES_TUPLES_OK);
  return std::nullopt;
}

bool Session::BeginCopy(std::string_view sql) {
  if (failed_) return false;
  return Take(PgResult(PQexec(connection_, std::string(sql).c_str())), PGRES_COPY_IN);
}

bool Session::Put(std::string_view rows) {
  if (failed_) return false;
  if (PQputCopyData(connection_, rows.data(), static_cast<int>(rows.size())) == 1) return true;
  return Fail(nullptr);
}

bool Session::End(const char* abandon) {
  if (failed_) return false;
  if (PQputCopyEnd(connection_, abandon) != 1) return Fail(nullptr);
  PgResult result(PQgetResult(connection_));
  const bool done = result && PQresultStatus(result.get()) == PGRES_COMMAND_OK;
  if (abandon != nullptr && !done) {
    // The server failed the COPY as asked; the transaction is for the
    // caller to roll back.
    while (PgResult(PQgetResult(connection_))) {
    }
    return false;
  }
  if (!done) return Take(std::move(result), PGRES_COMMAND_OK);
  while (PgResult(PQgetResult(connection_))) {
  }
  return true;
}

bool Session::StartCopyOut(std::string_view sql) {
  if (failed_) return false;
  return Take(PgResult(PQexec(connection_, std::string(sql).c_str())), PGRES_COPY_OUT);
}

bool Session::NextRow(std::string& row) {
  char* data = nullptr;
  const int length = PQgetCopyData(connection_, &data, 0);
  if (length > 0) {
    const PgText owned(data);
    row.assign(data, static_cast<std::size_t>(length));
    if (!row.empty() && row.back() == '\n') row.pop_back();
    return true;
  }
  if (length == -1) Take(PgResult(PQgetResult(connection_)), PGRES_COMMAND_OK);
  if (length == -2) Fail(nullptr);
  return false;
}

}  // namespace mardonel::fleet
