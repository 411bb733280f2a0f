#include "fleet/questions.h"

namespace mardonel::fleet {

namespace {

// Which machines had no managed time in the `days` days up to `until`? A
// machine that sent no row for those days counts too. Both days shown are as
// of `until`: the last day up to it with managed time (none: never), and the
// last day up to it with a row. Longest without managed time first.
constexpr Setting kUnmanagedSettings[] = {{"days", SettingKind::kDays, "7"}, {"until", SettingKind::kDate, "today"}};
constexpr char kUnmanagedSql[] = R"(
-- A machine with days after `until`: its stored days, one at a time back
-- from `until` to the first found. The days are made one by one as they are
-- asked for (in the select list: in FROM, all of them would be made first).
-- Most machines had managed time on `until` itself: those are found by one
-- read of that day, unless no machine has days after it.
select computer, last_managed_day,
       case when last_day <= $2::date then last_day
            else (select g from (select generate_series($2::date, first_day, interval '-1 day')::date as g) days
                  where (select true from fleet_days d where d.day = days.g and d.computer = as_of_until.computer)
                  limit 1) end as last_reported_day
from (
  select m.computer, m.first_day, m.last_day,
         case when m.last_managed_day <= $2::date or m.last_managed_day is null then m.last_managed_day
              when on_until.computer is not null then $2::date
              else (select g from (select generate_series($2::date - 1, m.first_day, interval '-1 day')::date as g) days
                    where (select true from fleet_days d where d.day = days.g and d.computer = m.computer and d.managed_s > 0)
                    limit 1) end as last_managed_day
  from fleet_machines m
    left join (select computer from fleet_days
               where day = $2::date and managed_s > 0 and $2::date < (select max(day) from fleet_day_totals)) on_until
      on on_until.computer = m.computer
  where m.first_day <= $2::date
  -- Kept apart (offset 0), so that each machine's day is found once, not
  -- again by the filter and the order below.
  offset 0) as_of_until
where last_managed_day is null or last_managed_day < $2::date - ($1::integer - 1)
order by last_managed_day nulls first, computer)";

// How much of the fleet's running time was managed, day by day, from `from`
// to `until` (default: every day loaded)? The share is managed seconds over
// managed and unmanaged ones, as in the report's own totals.
constexpr Setting kShareSettings[] = {{"from", SettingKind::kDate, ""}, {"until", SettingKind::kDate, ""}};
constexpr char kShareSql[] = R"(
select day, machines, managed_machines, managed_s, unmanaged_s,
       round(100.0 * managed_s / nullif(managed_s + unmanaged_s, 0), 1) as managed_pct
from fleet_day_totals
where ($1::date is null or day >= $1::date) and ($2::date is null or day <= $2::date)
order by day)";

// Each machine's longest run of consecutive days without managed time, the
// latest of equally long ones, as the loader counted it. A day without a row
// ends a run: nothing is known of it. Machines never without managed time
// show 0 days.
constexpr char kLongestSql[] = R"(
select computer, longest_unmanaged_days as days,
       longest_unmanaged_last_day - (longest_unmanaged_days - 1) as first_day,
       longest_unmanaged_last_day as last_day
from fleet_machines
order by days desc, computer)";

constexpr Question kQuestions[] = {
    {"daily-share", kShareSettings, kShareSql},
    {"longest-unmanaged-run", {}, kLongestSql},
    {"unmanaged-machines", kUnmanagedSettings, kUnmanagedSql},
};

}  // namespace

std::span<const Question> Questions() noexcept { return kQuestions; }

}  // namespace mardonel::fleet
