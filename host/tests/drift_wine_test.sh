#!/bin/sh
# davhost.exe drift against the real registry under Wine: the example system document
# applied, a policy value changed with reg add, and drift names that row (exit 1). Its own
# client folder keeps the saved document apart from other tests.
#   drift_wine_test.sh RUNNER PREFIX DAVHOST_EXE EXAMPLES_DIR
set -u
runner=$1 prefix=$2 exe=$3 examples=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$examples/SysConfig.qsf" "$work/sys.qsf"
win() { printf 'Z:%s' "$1" | tr / '\\'; }
client="--client-folder=$(win "$work/client")"
policies='HKCU\Software\Microsoft\Windows\CurrentVersion\Policies\System'

"$runner" "$prefix" "$exe" "$client" handle APL_SYSCONF --doc "$(win "$work/sys.qsf")" \
  --restart False --quiet > /dev/null || { echo "applying the example failed" >&2; exit 1; }
"$runner" "$prefix" "$exe" "$client" drift > "$work/before.txt"
code=$?
[ "$code" -eq 0 ] || { cat "$work/before.txt"; echo "drift right after applying: exit $code" >&2; exit 1; }

"$runner" "$prefix" reg add "$policies" /v DisableTaskMgr /t REG_DWORD /d 0 /f > /dev/null 2>&1
"$runner" "$prefix" "$exe" "$client" drift --json > "$work/after.json"
code=$?
"$runner" "$prefix" reg add "$policies" /v DisableTaskMgr /t REG_DWORD /d 1 /f > /dev/null 2>&1
[ "$code" -eq 1 ] || { cat "$work/after.json"; echo "drift after reg add: exit $code" >&2; exit 1; }
grep -q '"id":"TaskManager","meaning":"Blocks the task manager[^"]*","applied":"1 (blocked)","now":"0 (allowed)"' \
  "$work/after.json" || { cat "$work/after.json"; echo "drift does not name TaskManager" >&2; exit 1; }
grep -q '"drifted":1,' "$work/after.json" || { cat "$work/after.json"; exit 1; }
echo "drift under Wine names the changed row"
