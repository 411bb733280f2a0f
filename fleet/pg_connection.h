// The one connection of a run, as psql makes it: from the PG* variables and
// ~/.pgpass.
#pragma once

#include <optional>
#include <string>

#include "fleet/pg_owners.h"

namespace mardonel::fleet {

// A connection to the database the environment names; nothing, and libpq's
// message in `error`, when it cannot be made.
[[nodiscard]] std::optional<PgConnection> ConnectFromEnvironment(std::string& error);

}  // namespace mardonel::fleet
