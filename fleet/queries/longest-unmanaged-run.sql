-- Each machine's longest run of consecutive days without managed time, the
-- latest of equally long ones; the loader finds it (fleet/load.sql). A day
-- without a row ends a run: nothing is known of it. Machines never without
-- managed time show 0 days.
select computer, longest_unmanaged_days as days,
       longest_unmanaged_last_day - (longest_unmanaged_days - 1) as first_day,
       longest_unmanaged_last_day as last_day
from fleet_machines
order by days desc, computer;
