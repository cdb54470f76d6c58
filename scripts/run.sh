#!/usr/bin/env bash
# Builds davhost and runs the main job on the simulated PC in ./machine (created on the
# first run): the example PC room lock-down applied, and what changed (scripts/main-job.sh).
# With arguments, runs davhost with them instead: scripts/run.sh reg export HKCU\\Software
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh

ensure_packages "${BUILD_PACKAGES[@]}"
cmake --preset default
cmake --build --preset default -j 2

davhost=build/default/host/davhost
export DAVHOST_MACHINE="${DAVHOST_MACHINE:-$PWD/machine}"
if [[ ! -e "$DAVHOST_MACHINE/registry.db" ]]; then
  "$davhost" machine init
fi

if [[ $# -gt 0 ]]; then
  exec "$davhost" "$@"
fi
exec scripts/main-job.sh "$davhost"
