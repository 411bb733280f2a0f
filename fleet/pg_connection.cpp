#include "pg_connection.h"

#include <csignal>

namespace mardonel::fleet {

namespace {

// Only a signal handler reads it; made before the handlers are set.
PgCancel stopCancel;

extern "C" void CancelAndStop(int signal) {
  char error[256];
  PQcancel(stopCancel.get(), error, sizeof error);
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

}  // namespace

Result<PgConnection> ConnectFromEnvironment() {
  // An empty string leaves every setting to the PG* variables and defaults.
  PgConnection connection(PQconnectdb(""));
  if (!connection) return Refusal{"out of memory"};
  if (PQstatus(connection.get()) != CONNECTION_OK || PQsetClientEncoding(connection.get(), "UTF8") != 0 ||
      PQresultStatus(PgResult(PQexec(connection.get(), "set client_min_messages = warning")).get()) !=
          PGRES_COMMAND_OK) {
    std::string error = PQerrorMessage(connection.get());
    while (!error.empty() && error.back() == '\n') error.pop_back();
    return Refusal{error};
  }
  return connection;
}

void CancelOnStop(PGconn* connection) {
  stopCancel.reset(PQgetCancel(connection));
  if (!stopCancel) return;
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) std::signal(signal, CancelAndStop);
}

}  // namespace mardonel::fleet
