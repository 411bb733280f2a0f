#!/bin/sh
# check-admx.sh ADMX ADML: both files parse as XML, every string,
# presentation and element the ADMX names is defined in the ADML, every
# explanation says when the setting takes effect, and each choice list is
# shown as a drop-down and writes only numbers (the module reads DWORDs).
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
for id in $(grep -oE '<(text|decimal|enum) id="[A-Za-z0-9_]*"' "$admx" | sed 's/.* id="//; s/"$//'); do
  grep -q "refId=\"$id\"" "$adml" || { echo "$adml: no box for element '$id'"; status=1; }
done
# Settings are read only at start-up; every explanation must say so.
for id in $(grep -o 'explainText="\$(string\.[A-Za-z0-9_]*)' "$admx" | sed 's/.*string\.//; s/)$//'); do
  sed -n "/<string id=\"$id\">/,/<\/string>/p" "$adml" | grep -q "takes effect when the agent next starts the module" ||
    { echo "$adml: '$id' does not say when the setting takes effect"; status=1; }
done
for id in $(grep -oE '<enum id="[A-Za-z0-9_]*"' "$admx" | sed 's/.* id="//; s/"$//'); do
  grep -q "<dropdownList refId=\"$id\"" "$adml" || { echo "$adml: no drop-down for choice '$id'"; status=1; }
done
not_decimal="$(xmllint --xpath "count(//*[local-name()='enum']//*[local-name()='value']/*[local-name()!='decimal'])" "$admx")"
[ "$not_decimal" = 0 ] || { echo "$admx: $not_decimal choice value(s) not decimal"; status=1; }
exit $status
