-- How much of the fleet's running time was managed, day by day, from `from`
-- to `until` (default: every day loaded)? The share is managed seconds over
-- managed and unmanaged ones, as in the report's own totals.
\if :{?from} \else \set from -infinity \endif
\if :{?until} \else \set until infinity \endif
select day, count(*) as machines, count(*) filter (where managed_s > 0) as managed_machines,
       sum(managed_s) as managed_s, sum(unmanaged_s) as unmanaged_s,
       round(100.0 * sum(managed_s) / nullif(sum(managed_s) + sum(unmanaged_s), 0), 1) as managed_pct
from fleet_days
where day between :'from' and :'until'
group by day
order by day;
