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
-- A machine with days after `until`: its stored days, one at a time back
-- from `until` to the first found. The days are made one by one as they are
-- asked for (in the select list: in FROM, all of them would be made first).
-- Most machines had managed time on `until` itself: those are found by one
-- read of that day, unless no machine has days after it.
select computer, last_managed_day,
       case when last_day <= :'until' then last_day
            else (select g from (select generate_series(:'until'::date, first_day, interval '-1 day')::date as g) days
                  where (select true from fleet_days d where d.day = days.g and d.computer = as_of_until.computer)
                  limit 1) end as last_reported_day
from (
  select m.computer, m.first_day, m.last_day,
         case when m.last_managed_day <= :'until' or m.last_managed_day is null then m.last_managed_day
              when on_until.computer is not null then :'until'::date
              else (select g from (select generate_series(:'until'::date - 1, m.first_day, interval '-1 day')::date as g) days
                    where (select true from fleet_days d where d.day = days.g and d.computer = m.computer and d.managed_s > 0)
                    limit 1) end as last_managed_day
  from fleet_machines m
    left join (select computer from fleet_days
               where day = :'until' and managed_s > 0 and :'until' < (select max(day) from fleet_day_totals)) on_until
      on on_until.computer = m.computer
  where m.first_day <= :'until'
  -- Kept apart (offset 0), so that each machine's day is found once, not
  -- again by the filter and the order below.
  offset 0) as_of_until
where last_managed_day is null or last_managed_day < :'until'::date - (:'days'::integer - 1)
order by last_managed_day nulls first, computer;
commit;
