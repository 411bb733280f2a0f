#!/bin/sh
# check-admx.sh ADMX ADML: both files parse as XML, and every string,
# presentation and element the ADMX names is defined in the ADML.
set -e
admx="$1"
adml="$2"
xmllint --noout "$admx" "$adml"
status=0
for id in $(grep -o '\$(string\.[A-Za-z0-9_]*)' "$admx" | sed 's/^\$(string\.//; s/)$//' | sort -u); do
  grep -q "<string id=\"$id\">" "$adml" || { echo "$adml: no string '$id'"; status=1; }
done
for id in $(grep -o '\$(presentation\.[A-Za-z0-9_]*)' "$admx" | sed 's/^\$(presentation\.//; s/)$//' | sort -u); do
  grep -q "<presentation id=\"$id\">" "$adml" || { echo "$adml: no presentation '$id'"; status=1; }
done
for id in $(grep -oE '<(text|decimal) id="[A-Za-z0-9_]*"' "$admx" | sed 's/.* id="//; s/"$//'); do
  grep -q "refId=\"$id\"" "$adml" || { echo "$adml: no box for element '$id'"; status=1; }
done
exit $status
