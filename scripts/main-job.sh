#!/usr/bin/env bash
# The main job: a PC room's lock-down (examples/SysConfig.qsf and examples/WinConfig.qsf)
# applied to the simulated PC with davhost, as the management client pushes it, and what
# changed: the notices to the client, the registry values written (a diff of the whole
# registry exported before and after), the documents the component saved, and the machine's
# events (shell restarted, windows closed, display mode set). The manager's document
# examples/WinAdmin.qsf is put beside them, so that APL_LOGIN and APL_LOGOFF can follow.
#
# Usage: scripts/main-job.sh DAVHOST   (the machine is $DAVHOST_MACHINE)
set -euo pipefail
cd "$(dirname "$0")/.."
davhost=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

client_folder=$("$davhost" machine info | sed -n 's/^ *client_folder  *//p')
component_folder="${client_folder:-C:\\Program Files\\brisal client}\\Components\\DavIrizevez"
last_event=$("$davhost" events | awk 'END { print ($1 ~ /^[0-9]+$/) ? $1 : 0 }')

"$davhost" reg export > "$work/before.reg"

echo "== Notices: APL_SYSCONF and APL_WINCONF, each asking for the shell restart"
printf 'APL_SYSCONF\t@%s\\x1dTrue\nAPL_WINCONF\t@%s\\x1dTrue\n' \
  examples/SysConfig.qsf examples/WinConfig.qsf | "$davhost" session
"$davhost" fs mkdir "$component_folder" > /dev/null 2>&1 || true
"$davhost" fs put examples/WinAdmin.qsf "$component_folder" > /dev/null

"$davhost" reg export > "$work/after.reg"
echo
echo "== Registry values written (diff of the registry before and after)"
diff -u --label before --label after "$work/before.reg" "$work/after.reg" || true

echo
echo "== Documents in the component folder ($component_folder)"
"$davhost" fs ls "$component_folder\\*.qsf"

echo
echo "== Events on the PC"
"$davhost" events --since "$last_event"
