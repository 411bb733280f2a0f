#include "fleet/pg_connection.h"

namespace mardonel::fleet {

std::optional<PgConnection> ConnectFromEnvironment(std::string& error) {
  // An empty string leaves every setting to the PG* variables and defaults.
  PgConnection connection(PQconnectdb(""));
  if (!connection) {
    error = "out of memory";
    return std::nullopt;
  }
  if (PQstatus(connection.get()) != CONNECTION_OK) {
    error = PQerrorMessage(connection.get());
    while (!error.empty() && error.back() == '\n') error.pop_back();
    return std::nullopt;
  }
  return connection;
}

}  // namespace mardonel::fleet
