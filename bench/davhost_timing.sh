#!/bin/sh
# Wall-clock figures of davhost on large machines, beside the registry benchmark:
#   - start-up to the first registry read (`reg get` of one value) on a machine whose registry
#     holds 100,000 values, 20 runs measured with /usr/bin/time;
#   - `reg export` of a key with 5,000 and 20,000 sibling subkeys (linear growth: four times
#     the keys should take about four times as long).
# Usage: bench/davhost_timing.sh [DAVHOST]   (default: build/bench/host/davhost)
set -eu
davhost=$(realpath "${1:-build/bench/host/davhost}")
work=$(mktemp -d "${TMPDIR:-/tmp}/dav-timing-XXXXXX")
trap 'rm -rf "$work"' EXIT

# A .reg file (UTF-8) with the keys and values the awk program prints.
reg_file() {
  { echo 'Windows Registry Editor Version 5.00'; echo; awk "BEGIN { $1 }"; } > "$2"
}

echo "== start-up: reg get on a machine with 100,000 values (100 keys x 1,000)"
"$davhost" --machine "$work/big" machine init > /dev/null
reg_file 'for (k = 0; k < 100; k++) { printf "[HKEY_CURRENT_USER\\Software\\Big\\k%d]\n", k;
            for (v = 0; v < 1000; v++) printf "\"v%d\"=dword:%08x\n", v, v; print "" }' \
  "$work/big.reg"
"$davhost" --machine "$work/big" reg import "$work/big.reg" > /dev/null
"$davhost" --machine "$work/big" reg get 'HKCU\Software\Big\k50' v500 > /dev/null  # warm
for i in $(seq 20); do
  /usr/bin/time -f '%e %U %S' "$davhost" --machine "$work/big" reg get 'HKCU\Software\Big\k50' \
    v500 2>> "$work/times" > /dev/null
done
# /usr/bin/time counts in hundredths of a second; the mean of the 20 runs comes from the clock.
start=$(date +%s%N)
for i in $(seq 20); do
  "$davhost" --machine "$work/big" reg get 'HKCU\Software\Big\k50' v500 > /dev/null
done
echo "20 runs: mean $(( ($(date +%s%N) - start) / 20000 )) µs each (wall, the shell's fork included)"
if command -v perf > /dev/null; then
  perf stat -r 20 "$davhost" --machine "$work/big" reg get 'HKCU\Software\Big\k50' v500 \
    2>&1 > /dev/null | grep -E "task-clock|elapsed" || true
fi
sort -n "$work/times" | awk '{ e[NR] = $1; u += $2; s += $3 } END {
  printf "20 runs: median %.0f ms, min %.0f ms, max %.0f ms (wall); mean user %.1f ms, sys %.1f ms\n",
    1000 * e[int((NR + 1) / 2)], 1000 * e[1], 1000 * e[NR], 1000 * u / NR, 1000 * s / NR }'

for count in 5000 20000; do
  echo "== reg export of $count sibling keys"
  "$davhost" --machine "$work/m$count" machine init > /dev/null
  reg_file "for (k = 0; k < $count; k++) printf \"[HKEY_CURRENT_USER\\\\Software\\\\Wide\\\\key %d]\\n\\n\", k" \
    "$work/wide$count.reg"
  "$davhost" --machine "$work/m$count" reg import "$work/wide$count.reg" > /dev/null
  /usr/bin/time -f "%e s wall, %U s user, %S s system" "$davhost" --machine "$work/m$count" reg export \
    'HKCU\Software\Wide' > /dev/null
done
