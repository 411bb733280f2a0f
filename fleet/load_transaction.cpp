#include "load_transaction.h"

#include <cstdlib>

#include "run_counter.h"
#include "utc_today.h"

namespace mardonel::fleet {

namespace {

// How much each incoming row knows against the stored one; see fleet_knowledge.
constexpr std::string_view kSortIncoming = R"sql(
create temp table fleet_applied (like fleet_days, stored tid, old_managed_s integer, old_unmanaged_s integer)
  on commit drop;
-- One pass over the stored rows sorts each incoming row: new, knowing more
-- (applied), the same, or knowing less (kept as stored). Under the lock no
-- one else writes, so the rows found stay where they are and the new ones
-- cannot collide.
with sorted as (
  select i.*, d.ctid as stored, d.managed_s as old_managed_s, d.unmanaged_s as old_unmanaged_s,
         case when d.ctid is null then 'new'
              when fleet_knowledge(i.first_record, i.last_record, i.managed_s, i.unmanaged_s, i.off_s, i.changes)
                   > fleet_knowledge(d.first_record, d.last_record, d.managed_s, d.unmanaged_s, d.off_s, d.changes) then 'more'
              when fleet_knowledge(i.first_record, i.last_record, i.managed_s, i.unmanaged_s, i.off_s, i.changes)
                   < fleet_knowledge(d.first_record, d.last_record, d.managed_s, d.unmanaged_s, d.off_s, d.changes) then 'less'
         end as knows
  from fleet_incoming i left join fleet_days d using (day, computer)),
applied as (
  insert into fleet_applied
    select computer, day, managed_s, unmanaged_s, off_s, changes, first_record, last_record,
           stored, old_managed_s, old_unmanaged_s
    from sorted where knows in ('new', 'more'))
select count(*) filter (where knows = 'less') from sorted
)sql";

constexpr std::string_view kApply = R"sql(
with changed as (
  update fleet_days d
    set managed_s = i.managed_s, unmanaged_s = i.unmanaged_s, off_s = i.off_s,
        changes = i.changes, first_record = i.first_record, last_record = i.last_record
    from fleet_applied i
    where d.ctid = i.stored
    returning 1),
added as (
  insert into fleet_days
    select computer, day, managed_s, unmanaged_s, off_s, changes, first_record, last_record
    from fleet_applied
    where stored is null
    order by day, computer
    returning 1),
totals as (
  -- What the new and changed rows add to their days.
  insert into fleet_day_totals as t
    select day, count(*) filter (where stored is null),
           sum((managed_s > 0)::integer - coalesce((old_managed_s > 0)::integer, 0)),
           sum(managed_s - coalesce(old_managed_s, 0)), sum(unmanaged_s - coalesce(old_unmanaged_s, 0))
    from fleet_applied group by day
    on conflict (day) do update
      set machines = t.machines + excluded.machines, managed_machines = t.managed_machines + excluded.managed_machines,
          managed_s = t.managed_s + excluded.managed_s, unmanaged_s = t.unmanaged_s + excluded.unmanaged_s)
select (select count(*) from added), (select count(*) from changed)
)sql";

// The machines whose summary the applied rows change: one carried on over
// new days after its last day, or, when a day at or before it is new or
// changes between managed and not, found again from all of the machine's
// stored days.
constexpr std::string_view kAffected = R"sql(
create temp table fleet_affected on commit drop as
  select a.computer, coalesce(bool_or(a.day <= m.last_day), false) as again,
         least(min(a.day), min(m.first_day)) as first_day, greatest(max(a.day), max(m.last_day)) as last_day
  from fleet_applied a left join fleet_machines m using (computer)
  where a.stored is null or (a.managed_s > 0) <> (a.old_managed_s > 0)
  group by a.computer;
-- Taken for hundreds of machines, the few found again would be looked for
-- by reading every stored day.
analyze fleet_affected;
delete from fleet_machines m using fleet_affected f where f.computer = m.computer and f.again;
create temp table fleet_walk on commit drop as
  select a.computer, a.day, a.managed_s
  from fleet_applied a join fleet_affected f using (computer)
  where not f.again and a.stored is null
  union all
  select d.computer, d.day, d.managed_s
  from fleet_affected f cross join generate_series(f.first_day, f.last_day, interval '1 day') g
    join fleet_days d on d.day = g::date and d.computer = f.computer
  where f.again
)sql";

constexpr std::string_view kWalkAll =
    "create or replace temp view fleet_walk as select computer, day, managed_s from fleet_days";

// Carries each machine's summary on from what RunCounter counted over its
// days after the stored summary's last day (all of them when it has none):
// those days are new, so they add to its count of stored days.
// A run that starts the day after the stored last day goes on from the
// stored current run. Of equally long runs the latest is kept, as arrays
// compare element by element: [days, last day].
constexpr std::string_view kMerge = R"sql(
merge into fleet_summaries_@ m
using fleet_walked n on m.computer = n.computer
when matched then update set
  last_day = date '1601-01-01' + n.last_n,
  last_managed_day = coalesce(date '1601-01-01' + n.last_managed_n, m.last_managed_day),
  longest_unmanaged_days = coalesce((greatest(
    case when m.longest_unmanaged_days > 0 then array[m.longest_unmanaged_days, m.longest_unmanaged_last_day - date '1601-01-01'] end,
    case when n.longest_days > 0 then array[n.longest_days, n.longest_last] end,
    case when n.first_run_start = m.last_day - date '1601-01-01' + 1
      then array[n.first_run_days + m.current_unmanaged_days, n.first_run_start + n.first_run_days - 1] end))[1], 0),
  longest_unmanaged_last_day = date '1601-01-01' + (greatest(
    case when m.longest_unmanaged_days > 0 then array[m.longest_unmanaged_days, m.longest_unmanaged_last_day - date '1601-01-01'] end,
    case when n.longest_days > 0 then array[n.longest_days, n.longest_last] end,
    case when n.first_run_start = m.last_day - date '1601-01-01' + 1
      then array[n.first_run_days + m.current_unmanaged_days, n.first_run_start + n.first_run_days - 1] end))[2],
  current_unmanaged_days = n.current_days +
    case when n.first_run_start + n.first_run_days - 1 = n.last_n and n.first_run_start = m.last_day - date '1601-01-01' + 1
      then m.current_unmanaged_days else 0 end,
  stored_days = m.stored_days + n.days
when not matched then insert values (
  n.computer, date '1601-01-01' + n.first_n, date '1601-01-01' + n.last_n, date '1601-01-01' + n.last_managed_n,
  n.longest_days, date '1601-01-01' + n.longest_last, n.current_days, n.days)
)sql";

// The daily case with one new day a machine: every machine's summary
// written anew as fleet_summaries_@ from the one shown and its new day, if
// any. A day without managed time goes on the run that ends the day before,
// or starts one. A new table is written at half the cost of inserting into
// an emptied one.
constexpr std::string_view kCarryOneDay = R"sql(
drop table fleet_summaries_@;
set local work_mem = '64MB';
create table fleet_summaries_@ (computer, first_day, last_day, last_managed_day, longest_unmanaged_days,
                                longest_unmanaged_last_day, current_unmanaged_days, stored_days) as
select computer, coalesce(m.first_day, n.day), coalesce(n.day, m.last_day),
       case when n.managed then n.day else m.last_managed_day end,
       case when r.run >= greatest(m.longest_unmanaged_days, 1) then r.run else coalesce(m.longest_unmanaged_days, 0) end,
       case when r.run >= greatest(m.longest_unmanaged_days, 1) then n.day else m.longest_unmanaged_last_day end,
       coalesce(r.run, m.current_unmanaged_days), coalesce(m.stored_days, 0) + (n.day is not null)::integer
from fleet_machines m
  full join (select computer, day, managed_s > 0 as managed from fleet_days where day > date '1601-01-01' + #) n
    using (computer)
  cross join lateral (select case when n.day is null then null when n.managed then 0
                                  when m.last_day = n.day - 1 then m.current_unmanaged_days + 1 else 1 end as run) r
)sql";

// `sql` with each @ the summaries' table's letter and # `after`.
std::string Filled(std::string_view sql, char table, std::int64_t after) {
  std::string filled;
  for (char c : sql) {
    if (c == '@') {
      filled += table;
    } else if (c == '#') {
      filled += std::to_string(after);
    } else {
      filled += c;
    }
  }
  return filled;
}

std::int64_t Number(const PgResult& result, int column) {
  return std::strtoll(PQgetvalue(result.get(), 0, column), nullptr, 10);
}

class Load {
 public:
  Load(Session& session, std::span<const ReportFile> files, std::int64_t latestDay)
      : session_(session), files_(files), latestDay_(latestDay) {}

  LoadOutcome Run(bool rebuild);

 private:
  // Streams the rows into `table`; false unless all were passed and taken.
  bool Copy(std::string_view sql, std::optional<std::int64_t> appendAfter);
  bool Walk(std::string& runs);
  bool AddTotals();
  LoadOutcome Failed();

  Session& session_;
  std::span<const ReportFile> files_;
  std::int64_t latestDay_;
  RowsPass pass_;
  LoadOutcome outcome_;
};

bool Load::Copy(std::string_view sql, std::optional<std::int64_t> appendAfter) {
  if (!session_.BeginCopy(sql)) return false;
  pass_ = PassRows(files_, latestDay_, appendAfter, [&](std::string_view rows) { return session_.Put(rows); });
  outcome_.counts.rows = static_cast<std::int64_t>(pass_.places.size());
  if (!pass_.refusals.empty()) {
    session_.End("the rows are not the report's");
    return false;
  }
  if (!pass_.appendable) {
    session_.End("the rows are not of a daily load");
    return false;
  }
  return session_.End();
}

LoadOutcome Load::Failed() {
  if (!pass_.refusals.empty()) {
    outcome_.end = LoadEnd::kRefused;
    outcome_.refusals = pass_.refusals;
    return outcome_;
  }
  const Failure& failure = session_.failure();
  if (!session_.failed() || failure.fault == Fault::kServer) {
    outcome_.end = LoadEnd::kTryAgain;
    return outcome_;
  }
  outcome_.end = LoadEnd::kRefused;
  FileRefusal refusal{0, 0, FailureText(failure)};
  if (failure.copyRow && *failure.copyRow >= 1 && static_cast<std::size_t>(*failure.copyRow) <= pass_.places.size()) {
    const RowPlace place = pass_.places[static_cast<std::size_t>(*failure.copyRow) - 1];
    refusal.file = place.file;
    refusal.line = place.line;
  }
  outcome_.refusals.push_back(std::move(refusal));
  return outcome_;
}

bool Load::Walk(std::string& runs) {
  RunCounter counter;
  const bool walked = session_.CopyOut(
      "copy (select day - date '1601-01-01', (managed_s > 0)::integer, computer from fleet_walk"
      " order by computer, day) to stdout",
      [&](std::string_view row) {
        const std::size_t first = row.find('\t');
        const std::size_t second = row.find('\t', first + 1);
        counter.Day(row.substr(second + 1), std::strtoll(row.data(), nullptr, 10), row[first + 1] == '1');
      });
  runs = counter.Finish();
  return walked;
}

bool Load::AddTotals() {
  if (pass_.totals.empty()) return true;
  std::string sql = "insert into fleet_day_totals values ";
  for (const auto& [day, totals] : pass_.totals) {
    sql += (sql.back() == ')' ? ", (" : "(") + ("date '1601-01-01' + " + std::to_string(day)) + ", " +
           std::to_string(totals.machines) + ", " + std::to_string(totals.managedMachines) + ", " +
           std::to_string(totals.managed) + ", " + std::to_string(totals.unmanaged) + ")";
  }
  return session_.Run(sql);
}

LoadOutcome Load::Run(bool rebuild) {
  // One load at a time; queries go on.
  if (!session_.Run("lock table fleet_days, fleet_summaries_a, fleet_summaries_b, fleet_day_totals"
                    " in share row exclusive mode") ||
      (rebuild && !session_.Run("delete from fleet_machines"))) {
    return Failed();
  }
  // The summaries' table the view shows.
  const std::optional<PgResult> shown = session_.Query("select fleet_summaries_shown()");
  if (!shown) return Failed();
  const char table = PQgetvalue(shown->get(), 0, 0)[0];
  const char other = table == 'a' ? 'b' : 'a';
  const std::optional<PgResult> stored = session_.Query(
      "select coalesce(max(day) - date '1601-01-01', -1), max(day) is null and not exists (select from fleet_machines)"
      " from fleet_days");
  if (!stored) return Failed();
  const std::int64_t after = Number(*stored, 0);
  const bool fresh = PQgetvalue(stored->get(), 0, 1)[0] == 't';

  // The daily case: every row is of a day after all those stored, so the
  // rows go straight in, and each machine's summary is carried on over them.
  // Into empty tables the key's index is built once at the end, far cheaper
  // than row by row; queries wait meanwhile.
  if (!session_.Run("savepoint append") ||
      (fresh && !session_.Run("alter table fleet_days drop constraint fleet_days_pkey"))) {
    return Failed();
  }
  const bool append = Copy("copy fleet_days from stdin", after);
  if (!append && (session_.failed() || !pass_.refusals.empty())) return Failed();
  std::string runs;
  if (append) {
    outcome_.counts.added = outcome_.counts.rows;
    // Sorted in memory: 3 million keys take about 200 MB.
    if ((fresh && !session_.Run("set local maintenance_work_mem = '512MB';"
                                "alter table fleet_days add constraint fleet_days_pkey primary key (day, computer)")) ||
        !AddTotals()) {
      return Failed();
    }
    if (pass_.oneDayEach && !fresh && !rebuild) {
      if (!session_.Run(Filled(kCarryOneDay, other, after)) ||
          !session_.Run(
              Filled("create or replace view fleet_machines as select * from fleet_summaries_@", other, after))) {
        return Failed();
      }
      return outcome_;
    }
    // Summaries found anew are walked over every stored day, not the new ones only.
    if (!rebuild) {
      runs = std::move(pass_.runs);
    } else if (!session_.Run(kWalkAll) || !Walk(runs)) {
      return Failed();
    }
  } else {
    if (!session_.Run("rollback to savepoint append") ||
        !session_.Run("create temp table fleet_incoming (like fleet_days including constraints) on commit drop") ||
        !Copy("copy fleet_incoming from stdin", std::nullopt)) {
      return Failed();
    }
    // Of a machine's day given twice, the row that knows more, as if they
    // were loaded one after the other in any order.
    if (pass_.overlap &&
        !session_.Run(
            "delete from fleet_incoming i using fleet_incoming o where o.computer = i.computer and o.day = i.day"
            " and (fleet_knowledge(o.first_record, o.last_record, o.managed_s, o.unmanaged_s, o.off_s, o.changes),"
            " o.ctid) > (fleet_knowledge(i.first_record, i.last_record, i.managed_s, i.unmanaged_s, i.off_s,"
            " i.changes), i.ctid)")) {
      return Failed();
    }
    const std::optional<PgResult> kept =
        session_.Run("analyze fleet_incoming") ? session_.Query(kSortIncoming) : std::nullopt;
    const std::optional<PgResult> applied =
        kept && session_.Run("analyze fleet_applied") ? session_.Query(kApply) : std::nullopt;
    if (!applied) return Failed();
    outcome_.counts.kept = Number(*kept, 0);
    outcome_.counts.added = Number(*applied, 0);
    outcome_.counts.changed = Number(*applied, 1);
    // The days the summaries are carried on over: every stored day when
    // they are found anew, otherwise those of the machines the applied rows
    // change.
    if (!session_.Run(rebuild ? kWalkAll : kAffected) || !Walk(runs)) {
      return Failed();
    }
  }
  // Joined in memory for a day of every machine. Of the few machines that a
  // report of past days changes, the summaries are looked up by key, not
  // all read; a day of most machines is worth no count of them.
  if (!session_.Run("create temp table fleet_walked (first_n integer, last_n integer, last_managed_n integer,"
                    " first_run_start integer, first_run_days integer, longest_days integer, longest_last integer,"
                    " current_days integer, days integer, computer text collate \"C\") on commit drop") ||
      !session_.BeginCopy("copy fleet_walked from stdin") || !session_.Put(runs) || !session_.End() ||
      (!append && !session_.Run("analyze fleet_walked (computer)")) || !session_.Run("set local work_mem = '128MB'") ||
      !session_.Run(Filled(kMerge, table, after)) || !session_.Run("reset work_mem")) {
    return Failed();
  }
  // Tables filled from empty have no statistics until autovacuum gathers
  // them; meanwhile the next day's load would read every stored day.
  if (fresh && !session_.Run(Filled("analyze fleet_days, fleet_summaries_@", table, after))) return Failed();
  return outcome_;
}

}  // namespace

LoadOutcome LoadReports(Session& session, std::span<const ReportFile> files, std::int64_t latestDay, bool rebuild) {
  return Load(session, files, latestDay).Run(rebuild);
}

std::int64_t LatestReportDay() { return (TodayInUtc() + std::chrono::days(1)).time_since_epoch().count(); }

std::string RefusalText(const std::string& name, const FileRefusal& refusal) {
  return name + (refusal.line > 0 ? ":" + std::to_string(refusal.line) : std::string()) + ": " + refusal.why;
}

std::string LoadSummary(const LoadCounts& counts) {
  std::string text = std::to_string(counts.rows) + " rows read: " + std::to_string(counts.added) + " new, " +
                     std::to_string(counts.changed) + " updated, " + std::to_string(counts.kept) +
                     " kept as stored, the rest already loaded\n";
  if (counts.kept > 0) {
    text +=
        "Kept as stored: days whose stored row knows more than the file's,\n"
        "as in a report made after the machine trimmed its history.\n";
  }
  return text;
}

}  // namespace mardonel::fleet
