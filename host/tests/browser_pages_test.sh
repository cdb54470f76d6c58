#!/bin/sh
# The report page of one PC and the room page of two, opened in headless Chromium: each is
# rendered to a PNG under the build folder (look at them: browser-pages/*.png) and the DOM
# the browser built must hold the PCs' names and drift counts. Skipped (exit 77) when
# chromium is missing. Arguments: the build folder. davhost comes from DAVHOST_DIR, the
# examples from EXAMPLES.
set -u
fail() { echo "browser test: $*" >&2; exit 1; }
if ! command -v chromium > /dev/null; then
  echo "browser test: SKIPPED, chromium is missing (Debian package chromium)"
  exit 77
fi
work=$1/browser-pages
rm -rf "$work" && mkdir -p "$work/reports" || fail "cannot make $work"
cd "$work"
export PATH="$DAVHOST_DIR:$PATH"
policies='HKCU\Software\Microsoft\Windows\CurrentVersion\Policies\System'
name_key='HKLM\SYSTEM\CurrentControlSet\Control\ComputerName\ComputerName'

# pc1 (named in Korean by its registry) drifts by one row; pc2 (no name: its file's) stays.
for pc in pc1 pc2; do
  export DAVHOST_MACHINE="$work/$pc"
  davhost machine init > /dev/null && davhost machine set waits skip || fail "no machine $pc"
  for cmd in APL_SYSCONF APL_WINCONF; do
    doc=$EXAMPLES/SysConfig.qsf
    [ $cmd = APL_WINCONF ] && doc=$EXAMPLES/WinConfig.qsf
    davhost handle $cmd --doc "$doc" --restart False --quiet > /dev/null ||
      fail "$cmd on $pc"
  done
done
DAVHOST_MACHINE="$work/pc1"
davhost reg set "$name_key" ComputerName REG_SZ '실습실-PC1' > /dev/null
davhost reg set "$policies" DisableTaskMgr REG_DWORD 0 > /dev/null
davhost report --html pc1.html || fail "no report page"
for pc in pc1 pc2; do
  DAVHOST_MACHINE="$work/$pc" davhost report --json > "reports/$pc.json" || fail "no report of $pc"
done
davhost room report --html room.html reports || fail "no room page"

browse() {  # browse FILE [flags]: Chromium on a page of this folder, offline
  file=$1 && shift
  timeout 120 chromium --headless --no-sandbox --disable-gpu --user-data-dir="$work/profile" \
    --no-first-run --disable-background-networking --disable-component-update --disable-sync \
    --disable-default-apps --no-proxy-server --window-size=1280,1400 "$@" "file://$work/$file"
}
for page in pc1 room; do
  browse $page.html --screenshot="$work/$page.png" > /dev/null 2> "$page-shot.log" ||
    fail "no screenshot of $page.html: $(tail -n 5 "$page-shot.log")"
  test -s $page.png || fail "$page.png is empty"
  browse $page.html --dump-dom > $page.dom 2> "$page-dom.log" ||
    fail "no DOM of $page.html: $(tail -n 5 "$page-dom.log")"
done

grep -q '<p>실습실-PC1, ' pc1.dom || fail "the PC page does not name the PC"
grep -q '<p class="bad">1 drifted' pc1.dom || fail "the PC page does not count one drift"
grep -q '<tr class="drift"><td>UsedAccess</td><td>TaskManager</td>' pc1.dom ||
  fail "the PC page does not mark the drifted row"
grep -q '<a href="#pc1">실습실-PC1</a>' room.dom || fail "the room page does not name pc1"
grep -q '<a href="#pc2">pc2</a>' room.dom || fail "the room page does not name pc2"
grep -q '<td class="drift">1 drifted</td>' room.dom || fail "the room page lacks pc1's drift"
grep -q '<td class="ok">in step</td>' room.dom || fail "the room page lacks pc2 in step"
echo "browser test: passed; screenshots $work/pc1.png and $work/room.png"
