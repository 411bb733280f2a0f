-- The fleet's managed time, one row per machine and local day as the
-- report's CSV gives it. scripts/fleet-load.sh applies it; applying it again
-- changes nothing.
create table if not exists fleet_days (
  computer text collate "C" not null,
  day date not null,
  managed_s integer not null check (managed_s >= 0),
  unmanaged_s integer not null check (unmanaged_s >= 0),
  off_s integer not null check (off_s >= 0),
  changes integer not null check (changes >= 0),
  first_record timestamp,
  last_record timestamp,
  -- The loader drops and rebuilds it by this name when it fills an empty table.
  constraint fleet_days_pkey primary key (computer, day),
  -- 23 or 25 hours on the days the clock changes for daylight saving. The
  -- loader names these checks to say why it refused a row.
  constraint day_length check (managed_s + unmanaged_s + off_s between 82800 and 90000),
  constraint record_times check ((first_record is null) = (last_record is null) and first_record <= last_record
                                 and first_record::date = day and last_record::date = day)
);

-- Every machine ever loaded, so that one that stopped reporting is still
-- seen, with the last day it had managed time and its longest run of days
-- without (kept by the loader: finding it reads all of a machine's days).
create table if not exists fleet_machines (
  computer text collate "C" primary key,
  first_day date not null,
  last_day date not null,
  last_managed_day date,
  longest_unmanaged_days integer not null default 0,
  longest_unmanaged_last_day date
);

-- The fleet's totals per day, kept by the loader with the rows above, so that
-- the share per day need not read every machine's rows.
create table if not exists fleet_day_totals (
  day date primary key,
  machines integer not null,
  managed_machines integer not null,
  managed_s bigint not null,
  unmanaged_s bigint not null
);
