#!/bin/sh
# check-task.sh TASK-XML OPTIONS-SOURCE: the scheduled task is well-formed
# XML of the Task Scheduler schema 1.2 or later, runs daily as SYSTEM, and
# gives the report only options the report knows, --output among them.
set -e
task="$1"
xmllint --noout "$task"
value() { xmllint --xpath "string($1)" "$task"; }
status=0
version="$(value "/*[local-name()='Task']/@version")"
case "$version" in 1.[2-9] | 1.[1-9][0-9]) ;; *) echo "$task: schema version '$version' before 1.2"; status=1 ;; esac
[ "$(value "//*[local-name()='Principal']/*[local-name()='UserId']")" = S-1-5-18 ] ||
  { echo "$task: does not run as SYSTEM"; status=1; }
[ "$(value "//*[local-name()='ScheduleByDay']/*[local-name()='DaysInterval']")" = 1 ] ||
  { echo "$task: does not run daily"; status=1; }
arguments="$(value "//*[local-name()='Exec']/*[local-name()='Arguments']")"
case " $arguments " in *" --output "*) ;; *) echo "$task: the report is not written whole with --output"; status=1 ;; esac
for option in $(printf '%s\n' $arguments | grep '^--'); do
  grep -q "\"  $option " "$2" || { echo "$task: the report knows no option $option"; status=1; }
done
exit $status
