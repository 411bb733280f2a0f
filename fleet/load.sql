-- Run by scripts/fleet-load.sh, which sets FLEET_AWK, FLEET_RUNS and FLEET_WORK.
\set ON_ERROR_STOP 1
set client_min_messages = warning;
begin;
-- Two first loads at once must not both create the tables.
do $$ begin perform pg_advisory_xact_lock(hashtext('fleet schema')); end $$;
-- Summaries kept before they were carried on from day to day are found anew.
select to_regclass('fleet_machines') is not null and not exists (
  select from pg_attribute where attrelid = to_regclass('fleet_machines') and attname = 'current_unmanaged_days') as rebuild \gset
\ir schema.sql
commit;

begin;
-- What fleet-load.sh needs to end this load, and to tell whether it
-- committed, when it is stopped.
\set work `printf %s "$FLEET_WORK"`
select pg_backend_pid(), txid_current() \g (format=unaligned tuples_only=on) :work/session
-- One load at a time; queries go on.
lock table fleet_days, fleet_machines, fleet_day_totals in share row exclusive mode;
\set changed 0
\set kept 0
\if :rebuild
  delete from fleet_machines;
\endif
select coalesce(max(day)::text, '') as after, coalesce(max(day), '-infinity') as after_day,
       max(day) is null and not exists (select from fleet_machines) as fresh
from fleet_days \gset
-- The daily case: every row is of a day after all those stored, so the rows
-- go straight in, and each machine's summary is carried on over them. Into
-- empty tables the key's index is built once at the end, far cheaper than
-- row by row; queries wait meanwhile.
savepoint append;
\if :fresh
  alter table fleet_days drop constraint fleet_days_pkey;
\endif
\setenv FLEET_AFTER :after
\copy fleet_days from program 'echo $$ >"$FLEET_WORK/awk"; exec awk -v list="$FLEET_WORK/files" -v work="$FLEET_WORK" -v append=1 -v after="$FLEET_AFTER" -f "$FLEET_RUNS" -f "$FLEET_AWK"' with (format csv)
\set rows :ROW_COUNT
\set append `cat "$FLEET_WORK/append"`
\if :append
  \if :fresh
    -- Sorted in memory: 3 million keys take about 200 MB.
    set local maintenance_work_mem = '512MB';
    alter table fleet_days add constraint fleet_days_pkey primary key (day, computer);
  \endif
  \set added :rows
  -- Summed apart from the insert, as only a query that writes nothing may
  -- use parallel workers.
  create temp table fleet_new_totals on commit drop as
    select day, count(*) as machines, count(*) filter (where managed_s > 0) as managed_machines,
           sum(managed_s) as managed_s, sum(unmanaged_s) as unmanaged_s
    from fleet_days where day > :'after_day' group by day;
  insert into fleet_day_totals select * from fleet_new_totals;
\else
  rollback to savepoint append;
  create temp table fleet_incoming (like fleet_days including constraints) on commit drop;
  \copy fleet_incoming from program 'echo $$ >"$FLEET_WORK/awk"; exec awk -v list="$FLEET_WORK/files" -v work="$FLEET_WORK" -f "$FLEET_RUNS" -f "$FLEET_AWK"' with (format csv)
  \set rows :ROW_COUNT
  \set overlap `cat "$FLEET_WORK/overlap"`
  \if :overlap
    -- Of a machine's day given twice, the row that knows more, as if they
    -- were loaded one after the other in any order.
    delete from fleet_incoming i using fleet_incoming o
      where o.computer = i.computer and o.day = i.day
        and (fleet_knowledge(o.first_record, o.last_record, o.managed_s, o.unmanaged_s, o.off_s, o.changes),
             o.ctid) > (fleet_knowledge(i.first_record, i.last_record, i.managed_s, i.unmanaged_s, i.off_s, i.changes),
                        i.ctid);
  \endif
  analyze fleet_incoming;

  -- One pass over the stored rows sorts each incoming row: new, knowing more
  -- (applied), the same, or knowing less (kept as stored). Under the lock no
  -- one else writes, so the rows found stay where they are and the new ones
  -- cannot collide.
  create temp table fleet_applied (like fleet_days, stored tid, old_managed_s integer, old_unmanaged_s integer)
    on commit drop;
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
  select count(*) filter (where knows = 'less') as kept from sorted \gset
  analyze fleet_applied;
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
  select (select count(*) from added) as added, (select count(*) from changed) as changed \gset
\endif

-- The days machines.sql carries the summaries on over: every stored day when
-- they are found anew, the new days when all came after the stored ones (the
-- checker counted those as it passed them on), otherwise those of the
-- machines the applied rows change.
\set walked false
\if :rebuild
  create temp view fleet_walk as select computer, day, managed_s from fleet_days;
\elif :append
  \set walked true
\else
  -- The machines whose summary the applied rows change: one carried on
  -- over new days after its last day, or, when a day at or before it is
  -- new or changes between managed and not, found again from all of the
  -- machine's stored days.
  create temp table fleet_affected on commit drop as
    select a.computer, coalesce(bool_or(a.day <= m.last_day), false) as again,
           least(min(a.day), min(m.first_day)) as first_day, greatest(max(a.day), max(m.last_day)) as last_day
    from fleet_applied a left join fleet_machines m using (computer)
    where a.stored is null or (a.managed_s > 0) <> (a.old_managed_s > 0)
    group by a.computer;
  -- Taken for hundreds of machines, the few found again would be looked
  -- for by reading every stored day.
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
    where f.again;
\endif
\ir machines.sql
\if :fresh
  -- Tables filled from empty have no statistics until autovacuum gathers
  -- them; meanwhile the next day's load would read every stored day.
  analyze fleet_days, fleet_machines;
\endif
commit;
select coalesce(nullif(:'rows', ''), '0') as rows \gset
\echo :rows rows read: :added new, :changed updated, :kept kept as stored, the rest already loaded
select :kept > 0 as any_kept \gset
\if :any_kept
  \echo 'Kept as stored: days whose stored row knows more than the file''s,'
  \echo 'as in a report made after the machine trimmed its history.'
\endif
