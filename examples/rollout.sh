#!/bin/sh
# Rolls a configuration document out to the PC as an administrator would: the document is
# checked and what it would change planned, a snapshot of the PC is kept, the document is
# applied with --json, and when davhost's exit code says that the component logged an error
# (or davhost failed) the snapshot is restored.
#
#   rollout.sh DOCUMENT [APL_SYSCONF|APL_WINCONF] [True|False|none]
#
# The third argument is the restart flag (default True); "none" leaves it out, so that the
# component stops after applying with an error: a way to try the way back. The PC is
# davhost's machine ($DAVHOST_MACHINE, else ./machine); the JSON report is written to
# $ROLLOUT_REPORT (default rollout.json), the check and the plan beside it (.check, .plan).
set -u
document=${1:?usage: rollout.sh DOCUMENT [APL_SYSCONF|APL_WINCONF] [True|False|none]}
command=${2:-APL_SYSCONF}
restart=${3:-True}
report=${ROLLOUT_REPORT:-rollout.json}
name=rollout-$(date -u +%Y%m%d%H%M%S)-$$

# 1. Check: the linter (exit 1: warnings only, 2: errors), then what the command would
#    change, on a throw-away copy of the PC.
if [ "$restart" = none ]; then set --; else set -- --restart "$restart"; fi
davhost doc check "$document" > "$report.check"
if [ $? -ge 2 ]; then
  echo "rollout: $document has errors (see $report.check); nothing was applied" >&2
  exit 1
fi
# plan exits as the apply would: 1 or 2 is davhost failing, 3 or 4 an apply that would fail
# (which is only gone on with when the way back is being tried).
davhost plan "$command" --doc "$document" "$@" > "$report.plan" 2>&1
planned=$?
if [ "$planned" -eq 1 ] || [ "$planned" -eq 2 ]; then
  echo "rollout: davhost plan failed (see $report.plan); nothing was applied" >&2
  exit 1
fi
if [ "$planned" -ne 0 ] && [ "$restart" != none ]; then
  echo "rollout: the plan ends with exit code $planned (see $report.plan); nothing was applied" >&2
  exit "$planned"
fi

# 2. A snapshot to go back to.
davhost machine snapshot "$name" > /dev/null || exit 1

# 3. Apply, and read the outcome from the exit code.
davhost handle "$command" --doc "$document" "$@" --json > "$report"
code=$?
if [ "$code" -eq 0 ]; then
  echo "rollout: $command applied $document; 'davhost machine restore $name' goes back"
  exit 0
fi

# 4. The component logged an error (4) or davhost failed: back to the snapshot.
echo "rollout: $command ended with exit code $code (see $report); restoring $name" >&2
davhost machine restore "$name" > /dev/null || exit 1
exit "$code"
