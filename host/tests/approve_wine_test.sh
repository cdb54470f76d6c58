#!/bin/sh
# davhost.exe startup approve against the real registry under Wine: a Run entry added after
# protection went on is approved, one added afterwards is switched off by the next start.
# Its own client folder and key keep the component's store apart from other tests; the
# entries are taken out of Run again at the end.
#   approve_wine_test.sh RUNNER PREFIX DAVHOST_EXE
set -u
runner=$1 prefix=$2 exe=$3
work=$(mktemp -d)
run='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Run'
key='Software\davhost approve test'
cleanup() {
  for name in DavApproved DavLater; do
    "$runner" "$prefix" reg delete "$run" /v "$name" /f > /dev/null 2>&1
  done
  "$runner" "$prefix" reg delete "HKLM\\$key" /f > /dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT
win() { printf 'Z:%s' "$1" | tr / '\\'; }
davhost() { "$runner" "$prefix" "$exe" "--client-folder=$(win "$work")" "--client-key=$key" "$@"; }

davhost startup approve > "$work/first.txt" 2>&1 || { cat "$work/first.txt"; exit 1; }
"$runner" "$prefix" reg add "$run" /v DavApproved /t REG_SZ /d 'C:\approved.exe' /f > /dev/null 2>&1
davhost startup approve DavApproved > "$work/approve.txt" 2>&1 || { cat "$work/approve.txt"; exit 1; }
grep -q '^DavApproved  HKEY_LOCAL_MACHINE_RUN$' "$work/approve.txt" || { cat "$work/approve.txt"; exit 1; }
"$runner" "$prefix" reg add "$run" /v DavLater /t REG_SZ /d 'C:\later.exe' /f > /dev/null 2>&1
davhost handle APL_PREVWS > "$work/start.txt" 2>&1 || { cat "$work/start.txt"; exit 1; }
"$runner" "$prefix" reg query "$run" > "$work/run.txt" 2>&1
grep -q DavApproved "$work/run.txt" || { cat "$work/run.txt"; echo "the approved entry went" >&2; exit 1; }
if grep -q DavLater "$work/run.txt"; then
  cat "$work/run.txt"; echo "the later entry was not switched off" >&2; exit 1
fi
echo "startup approve under Wine keeps the approved entry"
