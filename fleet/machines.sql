-- Carries each machine's summary on over the days that fleet_walk
-- (computer, day, managed_s) gives of it: all of its stored days after the
-- stored summary's last day, or all of them when it has none. Run by
-- load.sql. Days are counted from 2000-01-01 here.
-- A run of days without managed time starts on a day whose day before is
-- not one of them (a day without a row ends a run), and the one that starts
-- the day after the stored last day goes on from the stored current run.
-- Of equally long runs the latest is kept, as arrays compare element by
-- element: [days, last day].
-- Aggregates in memory for a day of every machine.
set local work_mem = '128MB';
merge into fleet_machines m
using (
  with walk as not materialized (
    select computer, day - date '2000-01-01' as n, managed_s > 0 as managed from fleet_walk),
  -- Each day without managed time, with the first day of its run.
  runs as (
    select computer, n, max(n) filter (where starts) over (partition by computer order by n) as run_start
    from (select computer, n, n - 1 is distinct from lag(n) over (partition by computer order by n) as starts
          from walk where not managed) unmanaged),
  -- The first run as [first day, 1 - days], the longest as [days, last day],
  -- the latest as [last day, days].
  machine_runs as (
    select computer, min(array[run_start, run_start - n]) as first_run, max(array[n - run_start + 1, n]) as longest,
           max(array[n, n - run_start + 1]) as latest_run
    from runs group by computer)
  select w.computer, w.first_n, w.last_n, w.last_managed_n,
         array[r.first_run[1], 1 - r.first_run[2], r.first_run[1] - r.first_run[2]] as first_run, r.longest,
         case when r.latest_run[1] = w.last_n then r.latest_run[2] else 0 end as current_days
  from (select computer, min(n) as first_n, max(n) as last_n, max(n) filter (where managed) as last_managed_n
        from walk group by computer) w
  left join machine_runs r using (computer)
) n on m.computer = n.computer
when matched then update set
  last_day = date '2000-01-01' + n.last_n,
  last_managed_day = coalesce(date '2000-01-01' + n.last_managed_n, m.last_managed_day),
  longest_unmanaged_days = coalesce((greatest(
    case when m.longest_unmanaged_days > 0 then array[m.longest_unmanaged_days, m.longest_unmanaged_last_day - date '2000-01-01'] end,
    n.longest,
    case when n.first_run[1] = m.last_day - date '2000-01-01' + 1 then array[n.first_run[2] + m.current_unmanaged_days, n.first_run[3]] end))[1], 0),
  longest_unmanaged_last_day = date '2000-01-01' + (greatest(
    case when m.longest_unmanaged_days > 0 then array[m.longest_unmanaged_days, m.longest_unmanaged_last_day - date '2000-01-01'] end,
    n.longest,
    case when n.first_run[1] = m.last_day - date '2000-01-01' + 1 then array[n.first_run[2] + m.current_unmanaged_days, n.first_run[3]] end))[2],
  current_unmanaged_days = n.current_days +
    case when n.first_run[3] = n.last_n and n.first_run[1] = m.last_day - date '2000-01-01' + 1 then m.current_unmanaged_days else 0 end
when not matched then insert values (
  n.computer, date '2000-01-01' + n.first_n, date '2000-01-01' + n.last_n, date '2000-01-01' + n.last_managed_n,
  coalesce(n.longest[1], 0), date '2000-01-01' + n.longest[2], n.current_days);
reset work_mem;
