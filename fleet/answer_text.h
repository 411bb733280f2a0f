// An answer as psql prints it, so that what was written for psql's output
// reads the program's the same: its aligned table, or its CSV (--csv).
#pragma once

#include <libpq-fe.h>

#include <string>

namespace mardonel::fleet {

// Header centred, numbers to the right, other values to the left, nulls
// empty, and "(N rows)".
[[nodiscard]] std::string AlignedTable(const PGresult* answer);

// A header line, then a line a row; a field quoted when it holds a comma, a
// quote or a line break; nulls empty.
[[nodiscard]] std::string CsvTable(const PGresult* answer);

}  // namespace mardonel::fleet
