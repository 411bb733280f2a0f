-- What scripts/fleet-intake.sh took from the reports' folder, one row per
-- file name: its size and content hash when last taken, so that only new or
-- changed files are loaded again. A refused file keeps its first bad line
-- and why, and is taken again once it changes. Applying it again changes
-- nothing.
set client_min_messages = warning;
begin;
-- Two first intakes at once must not both create the table.
do $$ begin perform pg_advisory_xact_lock(hashtext('fleet intake schema')); end $$;
create table if not exists fleet_intake (
  name text collate "C" primary key,
  size bigint not null,
  sha256 text not null,
  taken timestamptz not null,
  -- Both empty when the file was loaded; line is empty when the loader named none.
  line integer,
  reason text
);
create or replace view fleet_intake_refused as
  select name, line, reason, taken from fleet_intake where reason is not null;
commit;
