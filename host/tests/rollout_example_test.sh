#!/bin/sh
# examples/rollout.sh as an administrator runs it: a good document is applied and its
# snapshot kept; one the component fails on is rolled back; one that does not load is never
# applied. davhost comes from DAVHOST_DIR, the examples from EXAMPLES.
set -u
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
export PATH="$DAVHOST_DIR:$PATH"
fail() { echo "rollout test: $*" >&2; exit 1; }
cmd='HKCU\Software\Policies\Microsoft\Windows\System'

new_machine() {
  export DAVHOST_MACHINE="$work/$1"
  davhost machine init > /dev/null && davhost machine set waits skip || fail "no machine"
}

new_machine good
sh "$EXAMPLES/rollout.sh" "$EXAMPLES/SysConfig.qsf" APL_SYSCONF False > out.txt ||
  fail "a good document was not rolled out: $(cat out.txt)"
test "$(davhost reg get "$cmd" DisableCMD)" = "0x00000001 (1)" || fail "the policy is not set"
grep -q '"exit_code":0}$' rollout.json || fail "the report does not say exit code 0"
test "$(davhost machine snapshots | wc -l)" -eq 2 || fail "the snapshot was not kept"

new_machine failing
sh "$EXAMPLES/rollout.sh" "$EXAMPLES/SysConfig.qsf" APL_SYSCONF none > out.txt 2> err.txt
test $? -eq 4 || fail "a component error is not exit code 4: $(cat err.txt)"
grep -q 'restoring' err.txt || fail "no word of the restore: $(cat err.txt)"
if davhost reg get "$cmd" DisableCMD > /dev/null 2>&1; then fail "the change was not undone"; fi
grep -q '"errors_logged":\["\[err:' rollout.json || fail "the report holds no logged error"

new_machine broken
printf '<?xml version="1.0"?><DocRoot><Configuration>' > broken.qsf
sh "$EXAMPLES/rollout.sh" broken.qsf APL_SYSCONF True > out.txt 2> err.txt &&
  fail "a document that does not load was rolled out"
test "$(davhost machine snapshots | wc -l)" -eq 1 || fail "a snapshot was taken for nothing"
echo "rollout test: passed"
