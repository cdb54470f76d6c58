#!/usr/bin/env bash
# Builds and runs the test suite, one stage after another, stopping at the first failure.
# Run with --help for the stages.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh

# Stages in the order they run; each is a function stage_<name>. OPTIONAL_STAGES run only
# when named.
STAGES=(default sanitize windows)
OPTIONAL_STAGES=(fuzz)
declare -A STAGE_HELP=(
  [default]="simulated PC, debug build: every test"
  [sanitize]="simulated PC with AddressSanitizer and UndefinedBehaviorSanitizer: every test"
  [windows]="real Windows API, cross-built with mingw-w64: every test, davhost and DavIrizevez.dll under Wine, the installer made, installed, upgraded and removed"
  [fuzz]="libFuzzer (clang) with the sanitizers: each fuzz target for \$DAV_FUZZ_SECONDS (60) s"
)

# The cross build and its run: the posix-thread mingw-w64 compilers, GoogleTest's sources,
# Wine, glibc's locales (Wine takes the ANSI code page 949 from a Korean locale), and wixl,
# which makes the installer.
WINDOWS_PACKAGES=(mingw-w64 g++-mingw-w64-x86-64-posix googletest wine wine64 locales wixl)

# The fuzz build: clang with its sanitizer and libFuzzer runtimes, and the strict JSON
# parser of the JSON writer's target.
FUZZ_PACKAGES=(clang libclang-rt-14-dev nlohmann-json3-dev)

# Configures, builds and tests one CMake preset.
run_preset() {
  local preset=$1
  cmake --preset "$preset"
  cmake --build --preset "$preset" -j 2
  ctest --preset "$preset" -j 2
}

stage_default() {
  ensure_packages "${BUILD_PACKAGES[@]}" "${ROOM_TEST_PACKAGES[@]}"
  run_preset default
}

stage_sanitize() {
  ensure_packages "${BUILD_PACKAGES[@]}" "${ROOM_TEST_PACKAGES[@]}"
  run_preset sanitize
}

ensure_korean_locale() {
  if locale -a 2>/dev/null | grep -qix 'ko_KR\.utf-\?8'; then
    return 0
  fi
  local sudo=()
  if [[ $(id -u) -ne 0 ]]; then
    sudo=(sudo)
  fi
  echo "Generating the locale ko_KR.UTF-8"
  "${sudo[@]}" localedef -i ko_KR -f UTF-8 ko_KR.UTF-8
}

stage_windows() {
  ensure_packages "${BUILD_PACKAGES[@]}" "${WINDOWS_PACKAGES[@]}" "${DISPLAY_PACKAGES[@]}"
  ensure_korean_locale
  local prefix=build/windows/wineprefix
  scripts/fetch-debian-source.sh pugixml libpugixml-dev build/deps
  # The differential check of DavIrizevez.dll runs the same commands with davhost over the
  # simulated PC.
  cmake --preset default
  cmake --build --preset default -j 2 --target davhost
  cmake --preset windows
  cmake --build --preset windows -j 2
  scripts/wine-run.sh "$prefix"  # Wine and its display up before ctest lists the tests
  local status=0
  ctest --preset windows -j 2 || status=$?
  if [[ $status -eq 0 ]]; then
    scripts/wine-run.sh "$prefix" build/windows/host/davhost.exe --help || status=$?
  fi
  scripts/wine-run.sh "$prefix" --stop-display
  if [[ $status -eq 0 ]]; then
    ls -l build/windows/DavIrizevez-*.msi  # made from this debug build, stripped; tested above
  fi
  return "$status"
}

# Each fuzz target runs on a working corpus in build/fuzz/corpus, grown from the seeds in
# fuzz/corpus and the kept inputs in fuzz/regressions. An input that crashes, hangs or trips
# a sanitizer is left in build/fuzz/artifacts: minimise it (run the target with
# -minimize_crash=1 on it), mend the fault, and keep it in fuzz/regressions/TARGET, where
# the default stage replays it.
stage_fuzz() {
  ensure_packages "${BUILD_PACKAGES[@]}" "${FUZZ_PACKAGES[@]}"
  cmake --preset fuzz
  cmake --build --preset fuzz -j 2
  local seconds=${DAV_FUZZ_SECONDS:-60} total=0 folder target log runs
  mkdir -p build/fuzz/artifacts
  for folder in fuzz/corpus/*/; do
    target=$(basename "$folder")
    log=build/fuzz/$target.log
    mkdir -p "build/fuzz/corpus/$target"
    if ! "build/fuzz/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=4096 \
        -print_final_stats=1 -artifact_prefix="build/fuzz/artifacts/$target-" \
        "build/fuzz/corpus/$target" "fuzz/corpus/$target" "fuzz/regressions/$target" 2>"$log"; then
      tail -n 60 "$log"
      echo "fuzz_$target failed; the input is in build/fuzz/artifacts"
      return 1
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "fuzz_$target: ${runs:-0} inputs in $seconds s: no crash, hang or sanitizer report"
    total=$((total + ${runs:-0}))
  done
  echo "fuzz: $total inputs over all targets"
}

usage() {
  echo "usage: scripts/test.sh [STAGE...]"
  echo
  echo "Installs what is missing, then builds and runs the tests of each stage in turn"
  echo "(all stages but the optional ones when none is named), stopping at the first failure."
  echo
  echo "Stages:"
  local stage
  for stage in "${STAGES[@]}"; do
    printf '  %-10s %s\n' "$stage" "${STAGE_HELP[$stage]}"
  done
  echo "Optional stages:"
  for stage in "${OPTIONAL_STAGES[@]}"; do
    printf '  %-10s %s\n' "$stage" "${STAGE_HELP[$stage]}"
  done
}

current_stage=""
report_failure() {
  local code=$?
  if [[ $code -ne 0 && -n "$current_stage" ]]; then
    echo
    echo "==== stage '$current_stage' FAILED (exit code $code) ===="
  fi
}

main() {
  local chosen=() stage
  for argument in "$@"; do
    case "$argument" in
      -h | --help)
        usage
        return 0
        ;;
      *)
        if [[ -z "${STAGE_HELP[$argument]+set}" ]]; then
          echo "scripts/test.sh: unknown stage '$argument'" >&2
          usage >&2
          return 2
        fi
        chosen+=("$argument")
        ;;
    esac
  done
  if [[ ${#chosen[@]} -eq 0 ]]; then
    chosen=("${STAGES[@]}")
  fi

  trap report_failure EXIT
  for stage in "${chosen[@]}"; do
    current_stage=$stage
    echo
    echo "==== stage '$stage': ${STAGE_HELP[$stage]} ===="
    "stage_$stage"
  done
  current_stage=""
  echo
  echo "==== all stages passed: ${chosen[*]} ===="
}

main "$@"
