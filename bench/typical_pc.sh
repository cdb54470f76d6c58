#!/bin/sh
# The component's start and stop on a typical PC room client, against the cheapest davhost
# command on the same machine. The machine: both example documents applied, start-program
# protection and auto recover on, 30 desktop icons, 10 Run entries, 5 start-up items.
#   - CPU (user + system) of `davhost handle NOTHING` (a start and a stop, nothing else) and of
#     `davhost reg get` of one value: medians of 15 runs each, interleaved, and their ratio;
#   - for scale, `davhost reg set` of one new value in a key the component does not read: the
#     least a command that writes costs (the start writes the shell notices of the special
#     icons);
#   - stat-family system calls of the start and stop, counted by strace when it is installed.
# Usage: bench/typical_pc.sh [DAVHOST] [ICONS]   (default: build/bench/host/davhost, 30)
set -eu
davhost=$(realpath "${1:-build/bench/host/davhost}")
icons=${2:-30}
examples=$(cd "$(dirname "$0")/../examples" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/dav-typical-XXXXXX")
trap 'rm -rf "$work"' EXIT
export DAVHOST_MACHINE="$work/machine"
run='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Run'

"$davhost" machine init > /dev/null
"$davhost" machine set waits skip
"$davhost" handle APL_SYSCONF --doc "$examples/SysConfig.qsf" --restart True > /dev/null 2>&1
user="$DAVHOST_MACHINE/drives/C/Documents and Settings/user"
i=1
while [ "$i" -le 10 ]; do
  "$davhost" reg set "$run" "Program$i" REG_SZ "C:\\Program Files\\P$i\\p$i.exe"
  i=$((i + 1))
done
i=1
while [ "$i" -le "$icons" ]; do
  printf 'shortcut %s' "$i" > "$user/바탕 화면/Program $i.lnk"
  i=$((i + 1))
done
# The PC's own window document with every icon and Run entry approved and both protected.
"$davhost" handle REQ_WINCONF -o "$work/produced.qsf" > /dev/null 2>&1
sed -e 's/Checked="False"/Checked="True"/' \
    -e 's/<DesktopIconManager Protected="False">/<DesktopIconManager Protected="True">/' \
    "$work/produced.qsf" > "$work/approved.qsf"
"$davhost" handle APL_WINCONF --doc "$work/approved.qsf" --restart True > /dev/null 2>&1
i=1
while [ "$i" -le 5 ]; do
  printf 'start-up %s' "$i" > "$user/시작 메뉴/프로그램/시작프로그램/Start $i.lnk"
  i=$((i + 1))
done
"$davhost" handle NOTHING > /dev/null 2>&1 || true  # the first start after the set-up

# CPU time (user + system) of one run in ms: perf's task clock when perf can count, else
# /usr/bin/time, which counts in 10 ms steps.
if perf stat -x, -e task-clock true > /dev/null 2>&1; then
  clock="perf task clock"
  cpu_ms() {
    perf stat -x, -e task-clock "$@" 2>&1 > /dev/null | awk -F, '/task-clock/ { print $1 }'
  }
else
  clock="/usr/bin/time, 10 ms steps"
  cpu_ms() {
    /usr/bin/time -f '%U %S' "$@" 2>&1 > /dev/null | tail -n 1 | awk '{ print ($1 + $2) * 1000 }'
  }
fi
: > "$work/start"
: > "$work/read"
: > "$work/write"
i=1
while [ "$i" -le 15 ]; do
  cpu_ms "$davhost" handle NOTHING >> "$work/start"
  cpu_ms "$davhost" reg get "$run" Program1 >> "$work/read"
  cpu_ms "$davhost" reg set 'HKLM\SOFTWARE\Bench' Value REG_SZ "value $i" >> "$work/write"
  i=$((i + 1))
done
median() { sort -n "$1" | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
start=$(median "$work/start")
read=$(median "$work/read")
echo "typical PC ($icons icons): start + stop $start ms CPU, reg get $read ms CPU:" \
  "ours / anchor $(awk -v a="$start" -v b="$read" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }')" \
  "(medians of 15; $clock)"
write=$(median "$work/write")
echo "for scale: reg set of one new value $write ms CPU:" \
  "$(awk -v a="$write" -v b="$read" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }') x reg get"
if command -v strace > /dev/null; then
  strace -f -c -o "$work/calls" "$davhost" handle NOTHING > /dev/null 2>&1 || true
  awk '/stat/ { n += $4 } END { printf "stat-family calls of one start + stop: %d\n", n }' \
    "$work/calls"
fi
