-- The bench's fleet (scripts/fleet-bench.sh): 100,000 machines' rows for
-- the days :'first' to :'last', each a fixed function of the machine's and
-- the day's numbers: every tenth machine is never managed, the others have
-- two days in ten without managed time.
select format('pc-%s.corp.example', lpad(m::text, 6, '0')) as computer, day as date,
       case when k >= 8 then 0 else k * 3600 + m % 3600 end as managed_s,
       case when k >= 8 then 0 else m * 13 % 7200 end as unmanaged_s,
       case when k >= 8 then 86400 else 86400 - k * 3600 - m % 3600 - m * 13 % 7200 end as off_s,
       case when k >= 8 then 0 else k % 4 end as changes,
       case when k < 8 then day + make_interval(hours => 8, mins => m % 60) end as first_record,
       case when k < 8 then day + make_interval(hours => 17, mins => n % 60) end as last_record
from generate_series(:'first'::date, :'last'::date, interval '1 day') g
  cross join lateral (select g::date as day, g::date - date '2025-01-01' as n) days
  cross join generate_series(1, 100000) m
  cross join lateral (select case when m % 10 = 0 then 9 else (m * 7 + n * 13) % 10 end as k) pattern
