#!/usr/bin/env bash
# The installer as an administrator uses it, under Wine, in a new prefix of its own:
#
#   msi_test.sh PREFIX MSI MSI-FILES VERSION KEY_ACL.EXE
#
# PREFIX is made anew (the tests' own prefix has the class registered by other tests); MSI
# is the package of version VERSION, MSI-FILES the folder it was made from (wixl makes the
# package of a higher version from it); KEY_ACL.EXE makes a registry key read-only. In order:
#   install      msiexec /i: the files in place, the class registered, the versions agree,
#                and the VBScript host of docs/windows.md runs as written;
#   trust        a VBScript host applies SysConfig.qsf with two of its policy keys read-only,
#                as they are for a standard user: the component changes what reg add can
#                change and leaves what reg add cannot;
#   upgrade      a package of a higher version over it: one product, the documents that the
#                component saved unchanged, the class still created by its ProgID;
#   uninstall    msiexec /x: none of the package's files and registry rows left, and the
#                component's documents and its stores under the client key still there.
# Each msiexec exits with 0 and its log (/l*v) reports no failed action.
set -euo pipefail

prefix=$(realpath -m -- "$1")
msi=$(realpath -- "$2")
files=$(realpath -- "$3")
version=$4
key_acl=$(realpath -- "$5")
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../.." && pwd)

clsid='{B36C561C-F414-4C5F-93B2-247590894D86}'
installed='C:\Program Files\DavIrizevez'
scratch_win='C:\dav-msi-test'
scratch=$prefix/drive_c/dav-msi-test

run() { "$root/scripts/wine-run.sh" "$prefix" "$@"; }
fail() {
  echo "FAILED: $*" >&2
  exit 1
}
unix_path() {
  local path=${1#C:\\}
  echo "$prefix/drive_c/${path//\\//}"
}
key_exists() { run reg query "$1" >/dev/null 2>&1; }
value_exists() { run reg query "$1" /v "$2" >/dev/null 2>&1; }

# msiexec with a verbose log; $1 names the step. The log is in the prefix's ANSI code page.
# An action that failed ends with a return value other than 0 (not run) or 1 (done).
msiexec_step() {
  local step=$1
  shift
  run msiexec "$@" /qn /l*v "$scratch_win\\$step.log" || fail "$step: msiexec exited with $?"
  local log=$scratch/$step.log
  iconv -f CP949 -t UTF-8 "$log" | tr -d '\r' >"$log.txt"
  grep -E -q '^[^:]+ [0-9: ]+: INSTALL\. .* 1\.$' "$log.txt" || fail "$step: the log does not end INSTALL with success"
  if grep -E '^[^:]+ [0-9: ]+: [A-Za-z]+\. .* [2-9]\.$' "$log.txt"; then
    fail "$step: actions failed (above)"
  fi
}

# The installed product's uninstall entries named DavIrizevez, one "DisplayVersion" line each.
products() {
  rm -f "$scratch/uninstall.reg"
  run regedit /e "$scratch_win\\uninstall.reg" \
    'HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Uninstall' >/dev/null
  iconv -f UTF-16 -t UTF-8 "$scratch/uninstall.reg" | tr -d '\r' |
    awk '/^\[/ { mine = 0 } /^"DisplayName"="DavIrizevez"$/ { mine = 1 } mine && /^"DisplayVersion"=/' |
    sort -u
}

# A registry export as one line per value, each after its key; a key without values is a
# line of its own. Sorted, LF line ends.
export_lines() {
  local name=$1 key=$2
  rm -f "$scratch/$name.reg"
  run regedit /e "$scratch_win\\$name.reg" "$key" >/dev/null
  iconv -f UTF-16 -t UTF-8 "$scratch/$name.reg" | tr -d '\r' |
    sed -e ':a' -e '/\\$/N; s/\\\n *//; ta' |
    awk '/^\[/ { key = $0; print key; next } /^Windows Registry/ { next } NF { print key "\t" $0 }' |
    LC_ALL=C sort
}

# The files that the component wrote beside its DLL (documents and logs) with their sums.
host_documents() {
  (cd "$(unix_path "$installed")" &&
    find . -type f ! -path './examples/*' ! -name DavIrizevez.dll ! -name davhost.exe ! -name '*.txt' \
      -print0 | LC_ALL=C sort -z | xargs -0 -r sha256sum)
}

# Runs the VBScript host of com/tests on the commands $1 (one per line), the installed
# examples as the current folder; its output in $2.
run_host() {
  printf '%b' "$1" >"$scratch/commands.txt"
  cp "$root/com/tests/host.vbs" "$scratch/"
  (cd "$(unix_path "$installed\\examples")" &&
    run cscript //nologo "$scratch_win\\host.vbs" "$scratch_win\\commands.txt" "$scratch_win\\output.txt") ||
    fail "the VBScript host failed"
  iconv -f UTF-16 -t UTF-8 "$scratch/output.txt" | tr -d '\r' >"$2"
}

rm -rf "$prefix" "$prefix.lock" "$prefix.log"
run >/dev/null
mkdir -p "$scratch"
cp "$msi" "$scratch/DavIrizevez.msi"
# Wine registers the script host's type libraries when a script first runs; a script of
# its own runs first, so that the registry taken before the install has them too.
cp "$root/com/tests/host.vbs" "$scratch/"
run cscript //nologo "$scratch_win\\host.vbs" >/dev/null 2>&1 || true
export_lines hklm-before 'HKEY_LOCAL_MACHINE\Software' >"$scratch/hklm-before.txt"
export_lines hkcu-before 'HKEY_CURRENT_USER\Software' >"$scratch/hkcu-before.txt"

# --- install
msiexec_step install /i "$scratch_win\\DavIrizevez.msi"
(cd "$files" && find . -type f) | while read -r file; do
  cmp -s "$files/$file" "$(unix_path "$installed")/$file" || fail "install: $file is not in place"
done
run reg query "HKCR\\DavIrizevez.CCDavIrizevez\\CLSID" | grep -F "$clsid" >/dev/null ||
  fail "install: the ProgID does not name the CLSID"
run reg query "HKCR\\CLSID\\$clsid\\InprocServer32" | grep -F "$installed\\DavIrizevez.dll" >/dev/null ||
  fail "install: InprocServer32 does not name the installed DLL"
[[ $(products) == "\"DisplayVersion\"=\"$version\"" ]] || fail "install: products listed: $(products)"
run "$installed\\davhost.exe" --version | grep -x "DavIrizevez $version" >/dev/null ||
  fail "install: davhost.exe --version does not say $version"
printf 'WScript.Echo CreateObject("Scripting.FileSystemObject").GetFileVersion(WScript.Arguments(0))\r\n' \
  >"$scratch/file_version.vbs"
run cscript //nologo "$scratch_win\\file_version.vbs" "$installed\\DavIrizevez.dll" | grep -x "$version.0" >/dev/null ||
  fail "install: the DLL's version resource does not say $version"
awk '/^```vb$/ { inside = 1; next } /^```/ { inside = 0 } inside' "$root/docs/windows.md" |
  sed 's/$/\r/' >"$scratch/doc_host.vbs"
run cscript //nologo "$scratch_win\\doc_host.vbs" >"$scratch/doc_host.txt" || fail "install: the VBScript host of docs/windows.md failed"
head -1 "$scratch/doc_host.txt" | grep -x "DavIrizevez $version" >/dev/null &&
  grep -q $'^DavIrizevez\tGISC\t<?xml' "$scratch/doc_host.txt" &&
  grep -x -q 'NOTICE DavIrizevez APL_FAENABLE 1' "$scratch/doc_host.txt" || {
  cat "$scratch/doc_host.txt"
  fail "install: the VBScript host of docs/windows.md printed the above"
}
echo "install: $(cd "$files" && find . -type f | wc -l) files in place, the class registered, version $version; the VBScript host of docs/windows.md ran"

# --- trust
readonly_hklm='Software\Microsoft\Windows\CurrentVersion\Policies\System'
readonly_hkcu='Software\Policies\Microsoft\Windows\System'
run "$key_acl" HKLM "$readonly_hklm" || fail "trust: cannot make HKLM\\$readonly_hklm read-only"
run "$key_acl" HKCU "$readonly_hkcu" || fail "trust: cannot make HKCU\\$readonly_hkcu read-only"
! run reg add "HKLM\\$readonly_hklm" /v Probe /t REG_DWORD /d 1 /f >/dev/null 2>&1 ||
  fail "trust: Wine lets reg add write to a read-only key; nothing can be shown here"
! run reg add "HKCU\\$readonly_hkcu" /v Probe /t REG_DWORD /d 1 /f >/dev/null 2>&1 ||
  fail "trust: Wine lets reg add write to a read-only key; nothing can be shown here"
run_host 'APL_SYSCONF\t@SysConfig.qsf\\x1dFalse\nREQ_SYSCONF\n' "$scratch/trust.txt"
head -1 "$scratch/trust.txt" | grep -x "IDENTITY QUOREL DavIrizevez $version True" >/dev/null ||
  fail "trust: the component says $(head -1 "$scratch/trust.txt")"
grep -q $'^DavIrizevez\tGISC\t<' "$scratch/trust.txt" || fail "trust: REQ_SYSCONF sent no document"
for place in "HKLM\\$readonly_hklm DisableRegistryTools" "HKCU\\$readonly_hkcu DisableCMD"; do
  ! value_exists "${place% *}" "${place#* }" || fail "trust: the component wrote $place, which reg add could not"
done
for place in "HKCU\\$readonly_hklm DisableRegistryTools" "HKLM\\$readonly_hkcu DisableCMD"; do
  value_exists "${place% *}" "${place#* }" || fail "trust: the component did not write $place"
done
[[ -s $(unix_path "$installed\\SysConfig.qsf") ]] || fail "trust: SysConfig.qsf was not saved"
echo "trust: the component wrote the writable policy keys and not the two read-only ones"

# --- upgrade: the same files as a product of a higher version
IFS=. read -r major minor patch <<<"$version"
higher=$major.$minor.$((patch + 1))
(cd "$files" && wixl -a x64 -D "Version=$higher" -o "$scratch/DavIrizevez-$higher.msi" \
  "$root/packaging/windows/DavIrizevez.wxs") || fail "upgrade: wixl could not make version $higher"
host_documents >"$scratch/documents-before.txt"
[[ -s $scratch/documents-before.txt ]] || fail "upgrade: the component saved nothing to keep"
export_lines client-before 'HKEY_LOCAL_MACHINE\Software\quorel' >"$scratch/client-before.txt"
grep -q 'Components\\DavIrizevez.CCDavIrizevez' "$scratch/client-before.txt" ||
  fail "upgrade: the component has no stores under the client key"
msiexec_step upgrade /i "$scratch_win\\DavIrizevez-$higher.msi"
[[ $(products) == "\"DisplayVersion\"=\"$higher\"" ]] || fail "upgrade: products listed: $(products)"
host_documents | diff "$scratch/documents-before.txt" - || fail "upgrade: the saved documents changed"
run_host 'REQ_WINCONF\n' "$scratch/upgraded.txt"
grep -q $'^DavIrizevez\tGIWC\t<' "$scratch/upgraded.txt" || fail "upgrade: the upgraded class does not answer"
echo "upgrade: one product, version $higher; $(wc -l <"$scratch/documents-before.txt") saved files unchanged"

# --- uninstall
host_documents >"$scratch/documents-before.txt"
# Taken again after the upgraded class last ran: every start of the component rewrites the
# resolution list ("Display") from what the display reports, which is not the uninstall's doing.
export_lines client-before 'HKEY_LOCAL_MACHINE\Software\quorel' >"$scratch/client-before.txt"
msiexec_step uninstall /x "$scratch_win\\DavIrizevez-$higher.msi"
(cd "$files" && find . -type f) | while read -r file; do
  [[ ! -e $(unix_path "$installed")/$file ]] || fail "uninstall: $file is left"
done
host_documents | diff "$scratch/documents-before.txt" - || fail "uninstall: the saved documents changed"
for key in "HKCR\\DavIrizevez.CCDavIrizevez" "HKCR\\CLSID\\$clsid"; do
  ! key_exists "$key" || fail "uninstall: $key is left"
done
[[ -z $(products) ]] || fail "uninstall: still listed: $(products)"
export_lines client-after 'HKEY_LOCAL_MACHINE\Software\quorel' | diff "$scratch/client-before.txt" - ||
  fail "uninstall: the stores under the client key changed"
# Before the install and after the uninstall the registry differs only in the keys that the
# component's commands wrote (the host's data, which stays; HKLM's in both registry views)
# and in the installer's own keys, which Wine makes on the first install and leaves empty.
# Wine's network service fills in the network cards while the prefix starts, at no fixed time.
allowed=$(grep -v '^#' "$root/com/tests/touched_keys.txt" | awk '{ $1 = ""; sub(/^ /, ""); print "[" $0 }' |
  sed 'p; s/^\[HKEY_LOCAL_MACHINE\\Software\\/[HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\/')
wine_keys='^\[HKEY_LOCAL_MACHINE\\Software\\(Wow6432Node\\)?Microsoft\\Windows NT\\CurrentVersion\\NetworkCards[]\\]'
installer_keys='^\[HKEY_LOCAL_MACHINE\\Software\\(Classes|Microsoft\\Windows\\CurrentVersion)\\Installer(\\[^]]*)?\]$'
for hive in hklm hkcu; do
  name=HKEY_LOCAL_MACHINE
  [[ $hive == hkcu ]] && name=HKEY_CURRENT_USER
  export_lines "$hive-after" "$name\\Software" >"$scratch/$hive-after.txt"
  diff "$scratch/$hive-before.txt" "$scratch/$hive-after.txt" | grep '^[<>]' | cut -c3- |
    grep -v -i -F "$allowed" | grep -v -E "$installer_keys" | grep -v -E "$wine_keys" >"$scratch/$hive-left.txt" || true
  if [[ -s $scratch/$hive-left.txt ]]; then
    head -20 "$scratch/$hive-left.txt"
    fail "uninstall: $name\\Software differs from before the install (above)"
  fi
done
echo "uninstall: no file and no registry row of the package left; the component's documents and stores kept"
