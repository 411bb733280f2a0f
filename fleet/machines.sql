-- Carries each machine's summary on over the days that fleet_walk
-- (computer, day, managed_s) gives of it: all of its stored days after the
-- stored summary's last day, or all of them when it has none. Run by
-- load.sql; with walked true the checker has already counted the runs of
-- those days as it passed them on. The runs are counted by fleet/runs.awk
-- alone: here over the days written out machine by machine, in FLEET_WORK.
-- A run that starts the day after the stored last day goes on from the
-- stored current run. Of equally long runs the latest is kept, as arrays
-- compare element by element: [days, last day]. Days are counted from
-- 2000-01-01.
\if :walked
\else
  \copy (select day - date '2000-01-01', (managed_s > 0)::integer, computer from fleet_walk order by computer, day) to program 'echo $$ >"$FLEET_WORK/awk"; exec awk -v walk=1 -v runs_file="$FLEET_WORK/walked" -f "$FLEET_RUNS"' with (format csv, force_quote (computer))
\endif
create temp table fleet_walked (first_n integer, last_n integer, last_managed_n integer, first_run_start integer,
  first_run_days integer, longest_days integer, longest_last integer, current_days integer, computer text collate "C")
  on commit drop;
\copy fleet_walked from program 'cat "$FLEET_WORK/walked"' with (format csv)
-- Of the few machines that a report of past days changes, the summaries are
-- then looked up by key, not all read. The checker's are of a day of most
-- machines as a rule, and no count of them is worth its time.
\if :walked
\else
  analyze fleet_walked (computer);
\endif
-- Joined in memory for a day of every machine.
set local work_mem = '128MB';
merge into fleet_machines m
using fleet_walked n on m.computer = n.computer
when matched then update set
  last_day = date '2000-01-01' + n.last_n,
  last_managed_day = coalesce(date '2000-01-01' + n.last_managed_n, m.last_managed_day),
  longest_unmanaged_days = coalesce((greatest(
    case when m.longest_unmanaged_days > 0 then array[m.longest_unmanaged_days, m.longest_unmanaged_last_day - date '2000-01-01'] end,
    case when n.longest_days > 0 then array[n.longest_days, n.longest_last] end,
    case when n.first_run_start = m.last_day - date '2000-01-01' + 1
      then array[n.first_run_days + m.current_unmanaged_days, n.first_run_start + n.first_run_days - 1] end))[1], 0),
  longest_unmanaged_last_day = date '2000-01-01' + (greatest(
    case when m.longest_unmanaged_days > 0 then array[m.longest_unmanaged_days, m.longest_unmanaged_last_day - date '2000-01-01'] end,
    case when n.longest_days > 0 then array[n.longest_days, n.longest_last] end,
    case when n.first_run_start = m.last_day - date '2000-01-01' + 1
      then array[n.first_run_days + m.current_unmanaged_days, n.first_run_start + n.first_run_days - 1] end))[2],
  current_unmanaged_days = n.current_days +
    case when n.first_run_start + n.first_run_days - 1 = n.last_n and n.first_run_start = m.last_day - date '2000-01-01' + 1
      then m.current_unmanaged_days else 0 end
when not matched then insert values (
  n.computer, date '2000-01-01' + n.first_n, date '2000-01-01' + n.last_n, date '2000-01-01' + n.last_managed_n,
  n.longest_days, date '2000-01-01' + n.longest_last, n.current_days);
reset work_mem;
