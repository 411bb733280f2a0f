-- Which machines had no managed time in the `days` days (default 7) up to
-- `until` (default today)? A machine that sent no row for those days counts
-- too. Both days shown are as of `until`: the last day up to it with
-- managed time (none: never), and the last day up to it with a row. Longest
-- without managed time first.
\if :{?days} \else \set days 7 \endif
\if :{?until} \else \set until today \endif
-- Compiled (jit) for the days it might look up, it would take longer than
-- it takes to answer.
begin;
set local jit = off;
-- Found once a machine: the filter and the order would each find them again.
with as_of_until as materialized (
  -- A machine with days after `until`: its stored days, one at a time back
  -- from `until` to the first found. The days are made one by one as they
  -- are asked for (in the select list, not FROM, which would make all of
  -- them first).
  select computer,
         case when last_managed_day <= :'until' or last_managed_day is null then last_managed_day
              else (select g from (select generate_series(:'until'::date, first_day, interval '-1 day')::date as g) days
                    where (select true from fleet_days d where d.day = days.g and d.computer = m.computer and d.managed_s > 0)
                    limit 1) end as last_managed_day,
         case when last_day <= :'until' then last_day
              else (select g from (select generate_series(:'until'::date, first_day, interval '-1 day')::date as g) days
                    where (select true from fleet_days d where d.day = days.g and d.computer = m.computer)
                    limit 1) end as last_reported_day
  from fleet_machines m
  where first_day <= :'until')
select computer, last_managed_day, last_reported_day
from as_of_until
where last_managed_day is null or last_managed_day < :'until'::date - (:'days'::integer - 1)
order by last_managed_day nulls first, computer;
commit;
