#!/bin/sh
# davhost.exe startup approve against the real registry under Wine: a Run entry added after
# protection went on is approved, one added afterwards is switched off by the next start.
# Its own client folder and key keep the component's store apart from other tests; the
# entries are taken out of Run again at the end, and the keys the window document writes
# (KEYS_LIST, as the component's host tests list them) are put back as they were.
#   approve_wine_test.sh RUNNER PREFIX DAVHOST_EXE KEYS_LIST
set -u
runner=$1 prefix=$2 exe=$3 keys=$4
work=$(mktemp -d)
run='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Run'
client_key='Software\davhost approve test'
win() { printf 'Z:%s' "$1" | tr / '\\'; }
kept=0
while read -r kind kept_key; do
  case $kind in '#'* | '') continue ;; esac
  kept=$((kept + 1))
  printf '%s\n' "$kept_key" > "$work/key$kept"
  "$runner" "$prefix" reg export "$kept_key" "$(win "$work/key$kept.reg")" /y > /dev/null 2>&1 ||
    rm -f "$work/key$kept.reg"
done < "$keys"
cleanup() {
  i=1
  while [ "$i" -le "$kept" ]; do
    kept_key=$(cat "$work/key$i")
    "$runner" "$prefix" reg delete "$kept_key" /f > /dev/null 2>&1
    if [ -f "$work/key$i.reg" ]; then
      "$runner" "$prefix" reg import "$(win "$work/key$i.reg")" > /dev/null 2>&1
    fi
    i=$((i + 1))
  done
  for name in DavApproved DavLater; do
    "$runner" "$prefix" reg delete "$run" /v "$name" /f > /dev/null 2>&1
  done
  "$runner" "$prefix" reg delete "HKLM\\$client_key" /f > /dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT
davhost() { "$runner" "$prefix" "$exe" "--client-folder=$(win "$work")" "--client-key=$client_key" "$@"; }

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
