-- How much of the fleet's running time was managed, day by day, from `from`
-- to `until` (default: every day loaded)? The share is managed seconds over
-- managed and unmanaged ones, as in the report's own totals.
\if :{?from} \else \set from -infinity \endif
\if :{?until} \else \set until infinity \endif
select day, machines, managed_machines, managed_s, unmanaged_s,
       round(100.0 * managed_s / nullif(managed_s + unmanaged_s, 0), 1) as managed_pct
from fleet_day_totals
where day between :'from' and :'until'
order by day;
