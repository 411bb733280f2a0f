#!/bin/sh
# check-msi-tables.sh MSI VERSION: the package's properties and tables as
# msiinfo shows them: a 64-bit per-machine product with the fixed upgrade
# code, the binaries under INSTALLDIR, the template as a feature of its own,
# upgrades and no downgrade, and no setting written, no custom action.
set -e
msi="$1"
version="$2"
fail() { echo "FAIL: $*" >&2; exit 1; }
tab="$(printf '\t')"
# has TABLE ROW...: each ROW (fields separated by |) is a row of TABLE.
has() {
  rows="$(msiinfo export "$msi" "$1" | tr -d '\r' | tail -n +4)"
  table="$1"
  shift
  for row in "$@"; do
    echo "$rows" | grep -qxF "$(echo "$row" | tr '|' "$tab")" || fail "$table has no row $row"
  done
  echo "ok $table"
}
empty() {
  [ "$(msiinfo export "$msi" "$1" | tr -d '\r' | tail -n +4)" = "" ] || fail "$1 has rows"
  echo "ok $1 is empty"
}

msiinfo suminfo "$msi" | grep -qx 'Template: x64;1033' || fail "not a 64-bit package"
has Property 'ProductName|Mardonel' 'Manufacturer|Quarnel' "ProductVersion|$version" \
  'UpgradeCode|{1207525F-21F1-43E5-BE79-DA6EF5A437B4}' 'ALLUSERS|1'
has Directory 'INSTALLDIR|QuarnelFolder|ToveraAgt' 'QuarnelFolder|ProgramFiles64Folder|Quarnel' \
  'PolicyDefinitions|WindowsFolder|PolicyDefinitions' 'PolicyDefinitionsEnUs|PolicyDefinitions|en-US'
has FeatureComponents 'Binaries|Module' 'Binaries|Host' \
  'PolicyTemplates|PolicyTemplate' 'PolicyTemplates|PolicyTemplateText'
has Component 'Module|{FA2AE252-0F11-4DBB-BA6D-48530A8797B3}|INSTALLDIR|256||MardonelDll' \
  'PolicyTemplate|{F2041C4D-E382-402D-9797-AADDC5A892D0}|PolicyDefinitions|256||ToveraAgtAdmx'
has Upgrade "{1207525F-21F1-43E5-BE79-DA6EF5A437B4}|0.0.0|||256||INSTALLED_BUILD_FOUND" \
  "{1207525F-21F1-43E5-BE79-DA6EF5A437B4}|$version|||2||NEWER_VERSION_FOUND"
has LaunchCondition 'NOT NEWER_VERSION_FOUND|A newer version of Mardonel is already installed.'
has RemoveFile 'RemoveQuarnelFolder|QuarnelFolder||QuarnelFolder|2'
msiinfo export "$msi" InstallExecuteSequence | grep -q '^RemoveExistingProducts' || fail "no RemoveExistingProducts"
empty Registry
empty CustomAction
