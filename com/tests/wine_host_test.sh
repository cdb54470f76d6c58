#!/usr/bin/env bash
# The DLL as Windows hosts use it, under Wine:
#
#   wine_host_test.sh regsvr32     PREFIX DLL   regsvr32 writes the class's keys; /u removes them
#   wine_host_test.sh vbscript     PREFIX DLL   the VBScript host runs commands.txt
#   wine_host_test.sh differential PREFIX DLL DAVHOST
#   wine_host_test.sh editors      PREFIX DLL CLICKER DAVHOST.EXE
#       with a display: the VBScript host's SYSCONFIG opens the system editor, where
#       CLICKER (window_clicker.exe) blocks the command prompt, presses OK and "apply after
#       reboot", and the policy is in the registry afterwards; davhost.exe handle SYSCONFIG
#       shows the same editor, cancelled there.
#       commands.txt run by the VBScript host over Wine and by davhost (DAVHOST, built for
#       the simulated PC) over a new machine that starts with Wine's values of the touched
#       keys; the notices and replies, the touched keys and the saved documents must agree.
#
# The DLL is installed where a client puts it, the component folder below the client's
# folder, and registered there for the run; commands.txt names the documents of examples/.
set -euo pipefail

mode=$1
prefix=$(realpath -m -- "$2")
dll=$3
davhost=${4:+$(realpath -m -- "$4")}
windows_davhost=${5:+$(realpath -m -- "$5")}
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)

clsid='{B36C561C-F414-4C5F-93B2-247590894D86}'
client='C:\Program Files\brisal client'
component_folder="$client\\Components\\DavIrizevez"
scratch_win='C:\dav-com-tests'
scratch=$prefix/drive_c/dav-com-tests

run() { "$root/scripts/wine-run.sh" "$prefix" "$@"; }
display_run() { run "$@"; }
# A Windows path of the prefix's drive C: as a path of this computer.
unix_path() {
  local path=${1#C:\\}
  echo "$prefix/drive_c/${path//\\//}"
}
# Whether the text on stdin has a line with the fixed text $1. It reads all of it, so that a
# pipe from wine-run.sh never breaks (a pipeline fails with it).
has_line_with() { grep -F -- "$1" >/dev/null; }
fail() {
  echo "FAILED: $*" >&2
  exit 1
}
# Whether a key exists, by reg query's exit code.
key_exists() { run reg query "$1" >/dev/null 2>&1; }

# The touched keys, one per line: "own" or "shared" and the key.
touched_keys() { grep -v '^#' "$here/touched_keys.txt"; }

install_component() {
  local folder
  folder=$(unix_path "$component_folder")
  rm -rf "$folder"
  mkdir -p "$folder"
  cp "$dll" "$folder/DavIrizevez.dll"
  cp "$root/examples/WinAdmin.qsf" "$folder/"
  export_wine_keys saved
  run regsvr32 /s "$component_folder\\DavIrizevez.dll" || fail "regsvr32 could not register the DLL"
  trap leave_prefix EXIT
}

# The prefix as the other tests expect it: the class unregistered and the touched keys as
# they were before.
leave_prefix() {
  run regsvr32 /u /s "$component_folder\\DavIrizevez.dll" || true
  delete_wine_keys all
  local i
  for ((i = 1; i <= $(touched_keys | wc -l); i++)); do
    if [[ -f $scratch/saved/$i.reg ]]; then printf 'regedit /s %s\\saved\\%d.reg\n' "$scratch_win" "$i"; fi
  done | run_batch
}

# Runs commands.txt through the VBScript host; its output, UTF-8 with LF, in $1.
run_vbscript_host() {
  cp "$here/host.vbs" "$here/commands.txt" "$scratch/"
  rm -f "$scratch/output.txt"
  # APL_LOGIN's warning box waits for a user: the clicker ($DAV_WINDOW_CLICKER) presses OK.
  local clicking=
  if [[ -n ${DAV_WINDOW_CLICKER:-} ]]; then
    cp "$DAV_WINDOW_CLICKER" "$scratch/window_clicker.exe"
    run "$scratch/window_clicker.exe" "관리자 로그인" OK &
    clicking=$!
  fi
  (cd "$root/examples" &&
    run cscript //nologo "$scratch_win\\host.vbs" "$scratch_win\\commands.txt" \
      "$scratch_win\\output.txt") || fail "the VBScript host failed"
  if [[ -n $clicking ]]; then wait "$clicking" || fail "APL_LOGIN showed no warning to press OK on"; fi
  iconv -f UTF-16 -t UTF-8 "$scratch/output.txt" | tr -d '\r' >"$1"
}

check_editors() {
  local clicker=$davhost policies='HKCU\Software\Policies\Microsoft\Windows\System'
  [[ -f $clicker && -f $windows_davhost ]] || fail "give window_clicker.exe and davhost.exe"
  install_component
  cp "$clicker" "$scratch/window_clicker.exe"
  cp "$here/host.vbs" "$scratch/"
  printf 'SYSCONFIG\n' >"$scratch/editor_commands.txt"
  run reg delete "$policies" /v DisableCMD /f >/dev/null 2>&1 || true
  display_run "$scratch/window_clicker.exe" "보안 설정" "chkUseAccess(0)" "보안 설정" cmdOK \
    "브리살 윈도우 설정" Command2 &
  local clicking=$!
  (cd "$root/examples" &&
    display_run cscript //nologo "$scratch_win\host.vbs" "$scratch_win\editor_commands.txt" \
      "$scratch_win\editor_output.txt") || fail "the VBScript host failed"
  wait "$clicking" || fail "the system editor of SYSCONFIG did not come up to be clicked"
  run reg query "$policies" /v DisableCMD | has_line_with 0x1 ||
    fail "SYSCONFIG's editor did not block the command prompt"
  iconv -f UTF-16 -t UTF-8 "$scratch/editor_output.txt" | has_line_with "NOTICE DavIrizevez APL_FASETTING 1" ||
    fail "SYSCONFIG did not post APL_FASETTING"
  run reg delete "$policies" /v DisableCMD /f >/dev/null 2>&1 || true
  echo "editors: the VBScript host's SYSCONFIG was edited in the system editor and applied"

  display_run "$scratch/window_clicker.exe" "보안 설정" cmdCancel &
  clicking=$!
  display_run "$windows_davhost" handle SYSCONFIG >"$scratch/davhost_editor.txt" 2>&1 ||
    fail "davhost.exe handle SYSCONFIG failed: $(cat "$scratch/davhost_editor.txt")"
  wait "$clicking" || fail "davhost.exe handle SYSCONFIG showed no system editor"
  echo "editors: davhost.exe handle SYSCONFIG showed the system editor"
}

check_regsvr32() {
  local folder=$scratch/regsvr32 key
  mkdir -p "$folder"
  cp "$dll" "$folder/DavIrizevez.dll"
  run regsvr32 /s "$scratch_win\\regsvr32\\DavIrizevez.dll" || fail "regsvr32 answered an error"
  run reg query "HKCR\\DavIrizevez.CCDavIrizevez\\CLSID" | has_line_with "$clsid" ||
    fail "the ProgID does not name the CLSID"
  run reg query "HKCR\\CLSID\\$clsid\\InprocServer32" |
    has_line_with 'dav-com-tests\regsvr32\DavIrizevez.dll' ||
    fail "InprocServer32 does not name the DLL"
  run reg query "HKCR\\CLSID\\$clsid\\InprocServer32" /v ThreadingModel | has_line_with Apartment ||
    fail "ThreadingModel is not Apartment"
  run reg query "HKCR\\CLSID\\$clsid\\ProgID" | has_line_with DavIrizevez.CCDavIrizevez ||
    fail "the CLSID's ProgID is missing"
  run regsvr32 /u /s "$scratch_win\\regsvr32\\DavIrizevez.dll" || fail "regsvr32 /u answered an error"
  for key in "HKCR\\DavIrizevez.CCDavIrizevez" "HKCR\\CLSID\\$clsid"; do
    ! key_exists "$key" || fail "$key is left after regsvr32 /u"
  done
  echo "regsvr32: registered and unregistered"
}

check_vbscript() {
  install_component
  local output=$scratch/vbscript.txt
  run_vbscript_host "$output"
  head -1 "$output" | grep -qx 'IDENTITY QUOREL DavIrizevez [0-9]*\.[0-9]*\.[0-9]* True' ||
    fail "identity: $(head -1 "$output")"
  # Notices as they are; a reply by its code, with the document checked for its frame.
  local seen tab=$'\t'
  seen=$(grep -a -E "^(NOTICE |DavIrizevez$tab)" "$output" |
    sed -E 's/^DavIrizevez\t([A-Z_]+)\t<\?xml .*/\1/')
  diff <(echo "$seen") "$here/expected_output.txt" || fail "notices and replies differ"
  grep -a -q -E '^PUBLIC EnableOpt (True|False) EnableAutoRecover (True|False)' "$output" ||
    fail "the public properties: $(grep -a '^PUBLIC' "$output" || echo none)"
  local name
  for name in SysConfig.qsf WinConfig.qsf; do
    [[ -s $(unix_path "$component_folder\\$name") ]] || fail "$name was not saved"
  done
  echo "vbscript: $(grep -c . "$here/expected_output.txt") notices and replies as expected"
}

# A registry export in one form: each value line after its key, continuation lines joined,
# sorted (Wine's regedit writes a key's values sorted by name, davhost in the order they were
# made); LF line ends, no header.
canonical_export() {
  tr -d '\r' | sed -e ':a' -e '/\\$/N; s/\\\n *//; ta' |
    awk '/^\[/ { key = $0; print key; next } /^Windows Registry/ { next } NF { print key "\t" $0 }' |
    LC_ALL=C sort
}

# The canonical export less the client value "Display": the resolutions that the display
# adapter offers, which every start publishes, and Wine's adapter is not the simulated PC's.
without_adapter_values() {
  grep -v -F "[HKEY_LOCAL_MACHINE\\Software\\quorel\\brisal client]"$'\t'"\"Display\"=" || true
}

# Runs the lines on stdin as a batch file of Wine's cmd: one start of Wine for many registry
# calls. A failing line does not stop the ones after it.
run_batch() {
  sed 's/$/\r/' >"$scratch/batch.cmd"
  run cmd /c "$scratch_win\\batch.cmd" >/dev/null 2>&1 || true
}

# The touched keys of Wine in the registry editor's file form, one file each (none for a
# missing key), in the folder $1 below the scratch folder.
export_wine_keys() {
  local name=$1 i=0 kind key
  rm -rf "${scratch:?}/$name"
  mkdir -p "$scratch/$name"
  while read -r kind key; do
    i=$((i + 1))
    printf 'regedit /e %s\\%s\\%d.reg "%s"\n' "$scratch_win" "$name" "$i" "$key"
  done < <(touched_keys) | run_batch
}

# Deletes the touched keys of the kind $1 ("own" or "all") from Wine's registry.
delete_wine_keys() {
  local kind key
  while read -r kind key; do
    if [[ $1 == all || $1 == "$kind" ]]; then echo "reg delete \"$key\" /f"; fi
  done < <(touched_keys) | run_batch
}

# The text on stdin with the FileName attributes of Icon elements left out.
without_icon_names() { sed -E 's/<Icon FileName="[^"]*" /<Icon /g'; }

check_differential() {
  [[ -x $davhost ]] || fail "no davhost for the simulated PC at '$davhost' (build the default preset)"
  install_component
  delete_wine_keys own
  export_wine_keys before

  # The simulated PC: a new machine whose touched keys hold Wine's values.
  local machine=$scratch/machine kind key i=0
  rm -rf "$machine"
  local sim=("$davhost" --machine "$machine")
  "${sim[@]}" machine init >/dev/null
  "${sim[@]}" machine set waits skip
  while read -r kind key; do
    i=$((i + 1))
    "${sim[@]}" reg delete "$key" --recursive >/dev/null 2>&1 || true
    if [[ -f $scratch/before/$i.reg ]]; then "${sim[@]}" reg import "$scratch/before/$i.reg" >/dev/null; fi
  done < <(touched_keys)
  "${sim[@]}" fs mkdir -p "$component_folder"
  "${sim[@]}" fs put "$root/examples/WinAdmin.qsf" "$component_folder"

  # The same commands on both.
  run_vbscript_host "$scratch/wine.txt"
  (cd "$root/examples" && "${sim[@]}" session <"$here/commands.txt") | tr -d '\r' >"$scratch/sim.txt"
  local differences=0
  # The first line is the VBScript host's identity and the PUBLIC line its reading of the
  # public properties, which davhost's session does not print.
  # Both outputs lose their CRs: the script host ends each line with CR LF, davhost with LF.
  # The saved documents below are compared byte for byte, CR LF included.
  # The desktop icon lists head with the special icons under the shell's display names: the
  # simulated PC gives a Korean XP's ("내 문서"), Wine its own ("문서", "My Network Places").
  # Icons are compared by their flags; both desktops start empty.
  diff <(tail -n +2 "$scratch/wine.txt" | grep -a -v '^PUBLIC ' | without_icon_names) \
    <(without_icon_names <"$scratch/sim.txt") \
    >"$scratch/replies.diff" ||
    {
      echo "notices and replies differ (< Wine, > simulated PC):"
      head -40 "$scratch/replies.diff"
      differences=1
    }

  export_wine_keys after
  i=0
  while read -r kind key; do
    i=$((i + 1))
    local wine_text="" sim_text=""
    if [[ -f $scratch/after/$i.reg ]]; then
      wine_text=$(iconv -f UTF-16 -t UTF-8 "$scratch/after/$i.reg" | canonical_export |
        without_adapter_values)
    fi
    sim_text=$("${sim[@]}" reg export "$key" 2>/dev/null | canonical_export | without_adapter_values || true)
    if [[ $wine_text != "$sim_text" ]]; then
      echo "the key $key differs (< Wine, > simulated PC):"
      diff <(echo "$wine_text") <(echo "$sim_text") | head -20 || true
      differences=1
    fi
  done < <(touched_keys)

  local name
  for name in SysConfig.qsf WinConfig.qsf; do
    "${sim[@]}" fs get "$component_folder\\$name" "$scratch/sim-$name"
    cmp "$(unix_path "$component_folder\\$name")" "$scratch/sim-$name" ||
      { echo "the saved $name differs"; differences=1; }
  done
  [[ $differences -eq 0 ]] || fail "Wine and the simulated PC differ"
  echo "differential: notices, replies, $i touched keys and the saved documents agree"
}

mkdir -p "$scratch"
case "$mode" in
  regsvr32) check_regsvr32 ;;
  vbscript) check_vbscript ;;
  differential) check_differential ;;
  editors) check_editors ;;
  *) fail "unknown check '$mode'" ;;
esac
