#include "questions.h"

namespace mardonel::fleet {

namespace {

// Which machines had no managed time in the `days` days up to `until`? A
// machine that sent no row for those days counts too. Both days shown are as
// of `until`: the last day up to it with managed time (none: never), and the
// last day up to it with a row. Longest without managed time first.
constexpr Setting kUnmanagedSettings[] = {{"days", SettingKind::kDays, "7"}, {"until", SettingKind::kDate, "today"}};
constexpr char kUnmanagedSql[] = R"(
-- A machine is whole when it has a row on each day from its first to its
-- last (it has at most one a day, so its count of stored days says so).
-- Then a summary showing no run of days without managed time as long as its
-- part of the window had managed time in it, and one with days after
-- `until` has a row on it. The other machines' stored days are looked up
-- one at a time back from `until` to the first found, each made as it is
-- asked for (in the select list: in FROM, all of them would be made first).
select computer,
       case when last_managed_day <= $2::date or last_managed_day is null then last_managed_day
            else (select g from (select generate_series($2::date - $1::integer, first_day, interval '-1 day')::date as g) days
                  where (select true from fleet_days d where d.day = days.g and d.computer = as_of_until.computer
                         and d.managed_s > 0)
                  limit 1) end as last_managed_day,
       case when last_day <= $2::date then last_day
            when whole then $2::date
            else (select g from (select generate_series($2::date, first_day, interval '-1 day')::date as g) days
                  where (select true from fleet_days d where d.day = days.g and d.computer = as_of_until.computer)
                  limit 1) end as last_reported_day
from (
  select m.computer, m.first_day, m.last_day, m.last_managed_day,
         m.stored_days = m.last_day - m.first_day + 1 as whole
  from fleet_machines m
  where m.first_day <= $2::date
    -- In this order: the summary, then the window's days.
    and case when m.last_managed_day is null or m.last_managed_day < $2::date - ($1::integer - 1) then true
             when m.last_managed_day <= $2::date then false
             when m.stored_days = m.last_day - m.first_day + 1 and m.longest_unmanaged_days
                  < $2::date - greatest($2::date - ($1::integer - 1), m.first_day) + 1 then false
             else (select g from (select generate_series($2::date, greatest($2::date - ($1::integer - 1), m.first_day),
                                                         interval '-1 day')::date as g) days
                   where (select true from fleet_days d where d.day = days.g and d.computer = m.computer
                          and d.managed_s > 0)
                   limit 1) is null end
  -- Kept apart (offset 0), so that each machine's days are looked up once,
  -- not again by the order below.
  offset 0) as_of_until
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
