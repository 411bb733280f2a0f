-- Which machines had no managed time in the `days` days (default 7) up to
-- `until` (default today)? A machine that sent no row for those days counts
-- too: its last reported day shows it. Longest without managed time first.
\if :{?days} \else \set days 7 \endif
\if :{?until} \else \set until today \endif
select computer, last_managed_day, last_day as last_reported_day
from fleet_machines m
where first_day <= :'until'
  and (last_managed_day is null or last_managed_day < :'until'::date - (:'days'::integer - 1)
       -- Managed after `until`: look at the days themselves.
       or (last_managed_day > :'until' and not exists (
             select from fleet_days d
             where d.computer = m.computer and d.managed_s > 0
               and d.day between :'until'::date - (:'days'::integer - 1) and :'until')))
order by last_managed_day nulls first, computer;
