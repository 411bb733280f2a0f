// The one connection of a run, as psql makes it: from the PG* variables and
// ~/.pgpass.
#pragma once

#include "common/win/result.h"

#include "pg_owners.h"

namespace mardonel::fleet {

// A connection to the database the environment names, or libpq's message
// when it cannot be made.
// Its client encoding is UTF-8, and notices below warnings are not sent.
Result<PgConnection> ConnectFromEnvironment();

// From now on, SIGINT, SIGTERM and SIGHUP cancel what `connection` runs on
// the server before they end the program as they would have: the server
// then rolls back at once rather than when it next speaks to the client.
void CancelOnStop(PGconn* connection);

}  // namespace mardonel::fleet
