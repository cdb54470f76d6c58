#!/bin/sh
# examples/ansible/room.yml run with ansible-core against ten simulated PCs on this computer
# (local connection, one machine folder per host): the document applied on each, the reports
# fetched and the room page built; then one PC drifts and the report-only run shows it.
# Arguments: the build folder to work in. davhost comes from DAVHOST_DIR, the examples from
# EXAMPLES.
set -u
fail() { echo "ansible room test: $*" >&2; exit 1; }
command -v ansible-playbook > /dev/null || fail "ansible-playbook is missing (Debian ansible-core)"
work=$1/ansible-room
rm -rf "$work" && mkdir -p "$work" || fail "cannot make $work"
cd "$work"
export PATH="$DAVHOST_DIR:$PATH"
# Everything Ansible keeps stays in the build folder; nothing goes to the network.
export ANSIBLE_HOME="$work/ansible-home" ANSIBLE_LOCAL_TEMP="$work/ansible-tmp"
export ANSIBLE_REMOTE_TMP="$work/ansible-remote-tmp" ANSIBLE_CONFIG="$work/none.cfg"
export ANSIBLE_PYTHON_INTERPRETER=/usr/bin/python3 ANSIBLE_NOCOLOR=1
export ANSIBLE_RETRY_FILES_ENABLED=0 ANSIBLE_FORKS=2 ANSIBLE_STDOUT_CALLBACK=default

echo "[room]" > inventory.ini
for n in 01 02 03 04 05 06 07 08 09 10; do
  davhost --machine "$work/pcs/pc$n" machine init > /dev/null &&
    davhost --machine "$work/pcs/pc$n" machine set waits skip || fail "no machine pc$n"
  echo "pc$n davhost_machine=$work/pcs/pc$n pc_work_dir=$work/pcs/pc$n-job" >> inventory.ini
done
cat >> inventory.ini << INI
[room:vars]
ansible_connection=local
davhost=$DAVHOST_DIR/davhost
pc_shell=sh
INI

playbook() {
  ansible-playbook -i inventory.ini "$EXAMPLES/ansible/room.yml" \
    -e room_davhost="$DAVHOST_DIR/davhost" -e room_reports="$work/reports" \
    -e room_page="$work/room.html" -e room_restart=False "$@" > playbook.log 2>&1 ||
    fail "the playbook failed: $(tail -n 30 playbook.log)"
}

playbook -e room_document="$EXAMPLES/SysConfig.qsf" -e room_command=APL_SYSCONF
policies='HKCU\Software\Microsoft\Windows\CurrentVersion\Policies\System'
for n in 01 05 10; do
  test "$(davhost --machine "$work/pcs/pc$n" reg get "$policies" DisableTaskMgr)" = \
    "0x00000001 (1)" || fail "pc$n is not locked down"
done
test "$(ls reports/*.json | wc -l)" -eq 10 || fail "not ten reports: $(ls reports)"
test "$(grep -c '<tr><td><a href="#pc' room.html)" -eq 10 || fail "not ten PCs in the page"
test "$(grep -o 'in step</td>' room.html | wc -l)" -eq 10 || fail "not all PCs in step"

# A user of pc03 gets the task manager back; the report-only run applies nothing.
davhost --machine "$work/pcs/pc03" reg set "$policies" DisableTaskMgr REG_DWORD 0 > /dev/null
playbook --tags report -e room_document="$EXAMPLES/SysConfig.qsf"
grep -q '<a href="#pc3">pc03</a></td><td>[^<]*</td><td class="drift">1 drifted</td>' room.html ||
  fail "pc03's drift is not in the page"
test "$(grep -o 'in step</td>' room.html | wc -l)" -eq 9 || fail "the other nine are not in step"
test "$(davhost --machine "$work/pcs/pc03" reg get "$policies" DisableTaskMgr)" = \
  "0x00000000 (0)" || fail "the report-only run applied the document"
echo "ansible room test: passed"
