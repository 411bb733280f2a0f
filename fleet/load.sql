-- Run by scripts/fleet-load.sh, which sets FLEET_AWK and FLEET_WORK.
\set ON_ERROR_STOP 1
set client_min_messages = warning;
begin;
-- Two first loads at once must not both create the tables.
do $$ begin perform pg_advisory_xact_lock(hashtext('fleet schema')); end $$;
\ir schema.sql
commit;

begin;
-- One load at a time; queries go on.
lock table fleet_days, fleet_machines, fleet_day_totals in share row exclusive mode;
\set added 0
\set changed 0
\set kept 0
select not exists (select from fleet_days) and not exists (select from fleet_machines) as fresh \gset
\if :fresh
  -- A first load: the rows go straight in and the key's index is built
  -- once at the end, far cheaper than row by row. Queries wait meanwhile.
  savepoint fresh;
  alter table fleet_days drop constraint fleet_days_pkey;
  \copy fleet_days from program 'awk -v list="$FLEET_WORK/files" -v work="$FLEET_WORK" -f "$FLEET_AWK"' with (format csv)
  \set overlap `cat "$FLEET_WORK/overlap"`
  \if :overlap
    -- A day given twice needs the merge below to pick the later one.
    rollback to savepoint fresh;
    \set fresh false
  \else
    alter table fleet_days add constraint fleet_days_pkey primary key (computer, day);
    -- Summed apart from the insert, as only a query that writes nothing may
    -- use parallel workers.
    create temp table fleet_fresh_totals on commit drop as
      select day, count(*) as machines, count(*) filter (where managed_s > 0) as managed_machines,
             sum(managed_s) as managed_s, sum(unmanaged_s) as unmanaged_s
      from fleet_days group by day;
    delete from fleet_day_totals;
    insert into fleet_day_totals select * from fleet_fresh_totals;
    select sum(machines) as rows, sum(machines) as added from fleet_day_totals \gset
  \endif
\endif

\if :fresh
\else
  create temp table fleet_incoming (like fleet_days including constraints, seq bigint) on commit drop;
  \copy fleet_incoming from program 'awk -v list="$FLEET_WORK/files" -v work="$FLEET_WORK" -v numbered=1 -f "$FLEET_AWK"' with (format csv)
  select count(*) as rows from fleet_incoming \gset
  \set overlap `cat "$FLEET_WORK/overlap"`
  \if :overlap
    -- The later file (or line) wins, as if loaded one after the other.
    delete from fleet_incoming i using fleet_incoming later
      where later.computer = i.computer and later.day = i.day and later.seq > i.seq;
  \endif
  analyze fleet_incoming;

  -- One pass over the stored rows sorts each incoming row: new, changed,
  -- the same, or kept as stored. A stored day is replaced only by one that
  -- holds all of its records: a report made after the machine trimmed its
  -- history knows less. Under the lock no one else writes, so the rows
  -- found stay where they are and the new ones cannot collide.
  with incoming as materialized (
    select i.*, d.ctid as stored, d.managed_s as old_managed_s, d.unmanaged_s as old_unmanaged_s,
           coalesce(d.first_record is null
                    or (i.first_record <= d.first_record and i.last_record >= d.last_record), false) as covers,
           (d.managed_s, d.unmanaged_s, d.off_s, d.changes, d.first_record, d.last_record)
             is not distinct from (i.managed_s, i.unmanaged_s, i.off_s, i.changes, i.first_record, i.last_record) as same
    from fleet_incoming i left join fleet_days d using (computer, day)),
  applied as (
    select *, stored is null as new from incoming where stored is null or (covers and not same)),
  changed as (
    update fleet_days d
      set managed_s = i.managed_s, unmanaged_s = i.unmanaged_s, off_s = i.off_s,
          changes = i.changes, first_record = i.first_record, last_record = i.last_record
      from applied i
      where d.ctid = i.stored
      returning 1),
  added as (
    insert into fleet_days
      select computer, day, managed_s, unmanaged_s, off_s, changes, first_record, last_record
      from applied
      where new
      returning 1),
  totals as (
    -- What the new and changed rows add to their days.
    insert into fleet_day_totals as t
      select day, count(*) filter (where new),
             sum((managed_s > 0)::integer - coalesce((old_managed_s > 0)::integer, 0)),
             sum(managed_s - coalesce(old_managed_s, 0)), sum(unmanaged_s - coalesce(old_unmanaged_s, 0))
      from applied group by day
      on conflict (day) do update
        set machines = t.machines + excluded.machines, managed_machines = t.managed_machines + excluded.managed_machines,
            managed_s = t.managed_s + excluded.managed_s, unmanaged_s = t.unmanaged_s + excluded.unmanaged_s)
  select (select count(*) from added) as added, (select count(*) from changed) as changed,
         count(*) filter (where stored is not null and not covers) as kept
  from incoming \gset
\endif

\if :fresh
  -- Each machine once, with its longest run of days without managed time
  -- as the checker counted it.
  \copy fleet_machines from program 'cat "$FLEET_WORK/machines"' with (format csv)
\else
  create temp table fleet_incoming_machines (computer text collate "C", first_day date, last_day date,
    last_managed_day date, longest_days integer, longest_last_day date) on commit drop;
  \copy fleet_incoming_machines from program 'cat "$FLEET_WORK/machines"' with (format csv)
  -- With each loaded machine goes its longest run of days without managed
  -- time, found in the stored days. A run starts on a day whose day before
  -- is not one of them (a day without a row ends a run), and the latest of
  -- equally long runs is kept, as arrays compare element by element.
  insert into fleet_machines
    select computer, first_day, last_day, last_managed_day, coalesce(longest[1], 0),
           date '2000-01-01' + longest[2]
    from (select computer, min(first_day) as first_day, max(last_day) as last_day,
                 max(last_managed_day) as last_managed_day
          from fleet_incoming_machines group by computer) loaded
    left join (
      select computer, max(array[day - run_start + 1, day - date '2000-01-01']) as longest
      from (select computer, day, max(day) filter (where starts) over (partition by computer order by day) as run_start
            from (select computer, day, day - 1 is distinct from lag(day) over (partition by computer order by day) as starts
                  from fleet_days
                  where managed_s = 0 and computer in (select computer from fleet_incoming_machines)) unmanaged) runs
      group by computer) machine_runs using (computer)
    on conflict (computer) do update
      set first_day = least(fleet_machines.first_day, excluded.first_day),
          last_day = greatest(fleet_machines.last_day, excluded.last_day),
          last_managed_day = greatest(fleet_machines.last_managed_day, excluded.last_managed_day),
          longest_unmanaged_days = excluded.longest_unmanaged_days,
          longest_unmanaged_last_day = excluded.longest_unmanaged_last_day;
\endif
commit;
\echo :rows rows read: :added new, :changed updated, :kept kept as stored, the rest already loaded
select :kept > 0 as any_kept \gset
\if :any_kept
  \echo 'Kept as stored: days whose stored row holds records that the file lacks,'
  \echo 'as in a report made after the machine trimmed its history.'
\endif
