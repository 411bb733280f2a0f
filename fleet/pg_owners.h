// Owners of libpq's connection and results: every way out of a scope frees
// what they hold. libpq is a C library of the host, not of Windows, so the
// standard owner with a deleter is the owner here.
#pragma once

#include <libpq-fe.h>

#include <memory>

namespace mardonel::fleet {

struct PgFree {
  void operator()(PGconn* connection) const noexcept { PQfinish(connection); }
  void operator()(PGresult* result) const noexcept { PQclear(result); }
  void operator()(char* text) const noexcept { PQfreemem(text); }
  void operator()(PGcancel* cancel) const noexcept { PQfreeCancel(cancel); }
};

using PgConnection = std::unique_ptr<PGconn, PgFree>;
using PgResult = std::unique_ptr<PGresult, PgFree>;
// Text that libpq allocated (PQescapeIdentifier, PQgetCopyData).
using PgText = std::unique_ptr<char, PgFree>;
using PgCancel = std::unique_ptr<PGcancel, PgFree>;

}  // namespace mardonel::fleet
