-- Each machine's longest run of consecutive days without managed time (the
-- latest of equally long ones). A day without a row ends a run: nothing is
-- known of it. Machines never without managed time show 0 days.
select m.computer, coalesce(r.days, 0) as days, r.first_day, r.last_day
from fleet_machines m
left join (
  -- Days of one run, numbered in order, keep the same day - number.
  select distinct on (computer) computer, count(*) as days, min(day) as first_day, max(day) as last_day
  from (select computer, day, day - row_number() over (partition by computer order by day)::integer as run
        from fleet_days
        where managed_s = 0) unmanaged
  group by computer, run
  order by computer, count(*) desc, max(day) desc
) r using (computer)
order by days desc, computer;
