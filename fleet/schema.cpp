#include "schema.h"

namespace mardonel::fleet {

namespace {

constexpr std::string_view kFleetSchema = R"sql(
-- The fleet's managed time, one row per machine and local day as the
-- report's CSV gives it. Applying this again changes nothing.
create table if not exists fleet_days (
  computer text collate "C" not null,
  day date not null,
  managed_s integer not null check (managed_s >= 0),
  unmanaged_s integer not null check (unmanaged_s >= 0),
  off_s integer not null check (off_s >= 0),
  changes integer not null check (changes >= 0),
  first_record timestamp,
  last_record timestamp,
  -- Day first: a new day's rows go to the end of the index, not into every
  -- machine's part of it. The loader drops and rebuilds it by this name
  -- when it fills an empty table.
  constraint fleet_days_pkey primary key (day, computer),
  -- 23 or 25 hours on the days the clock changes for daylight saving. The
  -- loader names these checks to say why it refused a row.
  constraint day_length check (managed_s + unmanaged_s + off_s between 82800 and 90000),
  constraint record_times check ((first_record is null) = (last_record is null) and first_record <= last_record
                                 and first_record::date = day and last_record::date = day)
);

-- Tables made before the summaries were shown through a view: the table
-- fleet_machines becomes the first of the two, adding the current run
-- where it is missing (the loader then finds every summary again).
do $$ begin
  if (select relkind from pg_class where oid = to_regclass('fleet_machines')) = 'r' then
    if not exists (select from pg_attribute where attrelid = 'fleet_machines'::regclass
                   and attname = 'current_unmanaged_days') then
      alter table fleet_machines add column current_unmanaged_days integer not null default 0;
    end if;
    alter table fleet_machines rename to fleet_summaries_a;
  end if;
end $$;

-- Every machine ever loaded, so that one that stopped reporting is still
-- seen, with the last day it had managed time, its longest run of days
-- without and the run that ends on its last day, from which the loader
-- carries the summary on over the days after it. The summaries lie in one
-- of two tables, the one the view fleet_machines shows: a daily load writes
-- every machine's summary anew into the other and turns the view to it,
-- far cheaper than updating each in place; other loads update the one shown.
create table if not exists fleet_summaries_a (
  computer text collate "C" not null,
  first_day date not null,
  last_day date not null,
  last_managed_day date,
  longest_unmanaged_days integer not null default 0,
  longest_unmanaged_last_day date,
  current_unmanaged_days integer not null default 0,
  -- Its days stored: one for each day from first_day to last_day when it
  -- sent every one, which lets its summary answer for any window.
  stored_days integer not null default 0
);
create table if not exists fleet_summaries_b (like fleet_summaries_a including defaults);
do $$ begin
  if to_regclass('fleet_machines') is null then
    create view fleet_machines as select * from fleet_summaries_a;
  end if;
end $$;

-- The summaries' table the view shows: 'a' or 'b'.
-- A body in quotes, so that no dependency on the view holds it.
create or replace function fleet_summaries_shown() returns text language sql stable as $$
  select right(c.relname, 1) from pg_rewrite r join pg_depend d on d.classid = 'pg_rewrite'::regclass
    and d.objid = r.oid join pg_class c on c.oid = d.refobjid where r.ev_class = 'fleet_machines'::regclass
    and c.relname in ('fleet_summaries_a', 'fleet_summaries_b') limit 1
$$;

-- Summaries made before they counted the stored days gain the count (the
-- loader then finds every summary again), and the view shows it.
do $$ begin
  if not exists (select from pg_attribute where attrelid = 'fleet_machines'::regclass and attname = 'stored_days') then
    alter table fleet_summaries_a add column if not exists stored_days integer not null default 0;
    alter table fleet_summaries_b add column if not exists stored_days integer not null default 0;
    execute format('create or replace view fleet_machines as select * from fleet_summaries_%s', fleet_summaries_shown());
  end if;
end $$;

-- The fleet's totals per day, kept by the loader with the rows above, so that
-- the share per day need not read every machine's rows.
create table if not exists fleet_day_totals (
  day date primary key,
  machines integer not null,
  managed_machines integer not null,
  managed_s bigint not null,
  unmanaged_s bigint not null
);

-- Days stored before the key was led by the day. Altered only when they
-- need it: an ALTER TABLE holds off every query of the table, even when it
-- finds nothing to do.
do $$ begin
  if (select a.attname from pg_index i join pg_attribute a on a.attrelid = i.indrelid and a.attnum = i.indkey[0]
      where i.indexrelid = 'fleet_days_pkey'::regclass) = 'computer' then
    alter table fleet_days drop constraint fleet_days_pkey, add constraint fleet_days_pkey primary key (day, computer);
  end if;
end $$;

-- How much a row knows of its day, in a total order: records before none,
-- then a later last record, an earlier first one, more running time, more
-- changes, more managed time, more time off. A stored day is replaced only
-- by a row that knows more: a report made after the machine trimmed its
-- history shows those days off, and one made earlier in the day has counted
-- less of it.
create or replace function fleet_knowledge(first_record timestamp, last_record timestamp, managed_s integer,
                                            unmanaged_s integer, off_s integer, changes integer) returns bigint[]
  language sql immutable parallel safe
  return array[(last_record is not null)::integer, coalesce(extract(epoch from last_record)::bigint, 0),
               -coalesce(extract(epoch from first_record)::bigint, 0), managed_s + unmanaged_s, changes, managed_s, off_s];
)sql";

// What the intake took from the reports' folder, one row per file name (as
// PrintableName writes it): its size and content hash when last taken, so
// that only new or changed files are loaded again. A refused file keeps its
// first bad line and why, and is taken again once it changes.
constexpr std::string_view kIntakeSchema = R"sql(
create table if not exists fleet_intake (
  name text collate "C" primary key,
  size bigint not null,
  sha256 text not null,
  taken timestamptz not null,
  -- Both empty when the file was loaded; line is empty when the loader named none.
  line integer,
  reason text
);
create or replace view fleet_intake_refused as
  select name, line, reason, taken from fleet_intake where reason is not null;
)sql";

}  // namespace

bool MakeSchema(Session& session, bool& rebuild) {
  // Two first loads at once must not both create the tables. Summaries kept
  // before they counted their machine's stored days are found anew.
  if (!session.Run("begin; select pg_advisory_xact_lock(hashtext('fleet schema'))")) return false;
  const std::optional<PgResult> old = session.Query(
      "select to_regclass('fleet_machines') is not null and not exists (select from pg_attribute"
      " where attrelid = to_regclass('fleet_machines') and attname = 'stored_days')");
  if (!old) return false;
  rebuild = PQgetvalue(old->get(), 0, 0)[0] == 't';
  return session.Run(kFleetSchema) && session.Run("commit");
}

bool MakeIntakeSchema(Session& session) {
  return session.Run("begin; select pg_advisory_xact_lock(hashtext('fleet intake schema'))") &&
         session.Run(kIntakeSchema) && session.Run("commit");
}

}  // namespace mardonel::fleet
