// The fleet's tables, made when missing, each in a transaction of its own.
#pragma once

#include "pg_session.h"

namespace mardonel::fleet {

// The days, the machines' summaries and the day totals; `rebuild` is true
// when the summaries were kept by an earlier loader and are to be found anew.
[[nodiscard]] bool MakeSchema(Session& session, bool& rebuild);

// The intake's ledger, fleet_intake, and its view fleet_intake_refused.
[[nodiscard]] bool MakeIntakeSchema(Session& session);

}  // namespace mardonel::fleet
