#!/bin/bash
# Runs a Windows program of the cross build under Wine:
#
#   scripts/wine-run.sh PREFIX PROGRAM.exe [ARGUMENT...]
#   scripts/wine-run.sh PREFIX      (only makes the prefix and starts Wine in it)
#
# PREFIX is the build's own Wine prefix (made on first use: about 10 s and 700 MB). The
# program sees a Korean Windows (ANSI code page 949), because Wine takes its locale from
# LANG/LC_ALL; the glibc locale ko_KR.UTF-8 must exist for that. Output lines lose the CR
# that the Windows C runtime puts before each LF, so that ctest and gtest_discover_tests
# read them as on Linux. The exit code is the program's.
#
# Programs get a display: one Xvfb server per prefix (started by the first program that
# needs it, kept for the ones after it, stopped by "wine-run.sh PREFIX --stop-display"), and
# the prefix shows every window inside Wine's virtual desktop of 1024x768, so that frames
# and titles are drawn without a window manager. DAV_WINE_DISPLAY=none runs a program
# without any display (the component's message boxes then return at once), as does a
# computer without Xvfb.
set -euo pipefail

if [ $# -lt 1 ]; then
  echo "usage: $0 PREFIX [PROGRAM.exe [ARGUMENT...]]" >&2
  exit 2
fi
prefix=$(realpath -m -- "$1")
shift

if ! command -v wine >/dev/null; then
  echo "wine-run: wine is not installed (Debian packages wine, wine64)" >&2
  exit 2
fi
if ! locale -a 2>/dev/null | grep -qix 'ko_KR\.utf-\?8'; then
  echo "wine-run: the locale ko_KR.UTF-8 is missing (localedef -i ko_KR -f UTF-8 ko_KR.UTF-8)" >&2
  exit 2
fi

export WINEPREFIX=$prefix
export WINEDEBUG=-all
export WINEARCH=win64
export LANG=ko_KR.UTF-8
export LC_ALL=ko_KR.UTF-8
# No Mono and no Gecko: a new prefix would otherwise ask to install them.
export WINEDLLOVERRIDES="mscoree,mshtml="

# The user's regional formats of a Korean Windows XP, as the simulated PC has them by
# default; Wine's own Korean locale data write dates as "yyyy. M. d." with "AM"/"PM".
korean_formats() {
  local name value
  while read -r name value; do
    wine reg add 'HKCU\Control Panel\International' /v "$name" /t REG_SZ /d "$value" /f || return
  done <<'FORMATS'
sShortDate yyyy-MM-dd
sTimeFormat tt h:mm:ss
s1159 오전
s2359 오후
FORMATS
}

# The display of the prefix: a running Xvfb server whose number is in $prefix.display.
display_file=$prefix.display
start_display() {
  local number pid
  exec 8>"$prefix.display.lock"
  flock 8
  if [ -f "$display_file" ]; then
    read -r number pid <"$display_file" || true
    if [ -n "${pid:-}" ] && kill -0 "$pid" 2>/dev/null; then
      export DISPLAY=:$number
      flock -u 8
      exec 8>&-
      return
    fi
  fi
  for number in $(seq 90 140); do
    if [ ! -e "/tmp/.X11-unix/X$number" ] && [ ! -e "/tmp/.X$number-lock" ]; then break; fi
  done
  setsid Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
  pid=$!
  # The server is up when its socket is there.
  for _ in $(seq 1 100); do
    [ -e "/tmp/.X11-unix/X$number" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  echo "$number $pid" >"$display_file"
  export DISPLAY=:$number
  flock -u 8
  exec 8>&-
}

if [ "${1:-}" = "--stop-display" ]; then
  if [ -f "$display_file" ]; then
    read -r _ pid <"$display_file" || true
    WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
    [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null || true
    rm -f "$display_file"
  fi
  exit 0
fi

if [ "${DAV_WINE_DISPLAY:-}" = "none" ] || ! command -v Xvfb >/dev/null; then
  unset DISPLAY
else
  start_display
fi

# Every window inside one virtual desktop window of the X server.
virtual_desktop() {
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Default /f &&
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ /d 1024x768 /f
}

# Tests may start in parallel; the first of them makes the prefix, the others wait.
ready=$prefix/.dav-prefix-ready
mkdir -p "$(dirname "$prefix")"
if [ ! -f "$ready" ]; then
  exec 9>"$prefix.lock"
  flock 9
  if [ ! -f "$ready" ]; then
    echo "wine-run: making the Wine prefix $prefix" >&2
    { wine wineboot --init && korean_formats; } </dev/null >"$prefix.log" 2>&1 || {
      cat "$prefix.log" >&2
      exit 2
    }
    touch "$ready"
  fi
  flock -u 9
  exec 9>&-
fi

# A prefix made before the virtual desktop rule gets it once.
if [ ! -f "$prefix/.dav-virtual-desktop" ]; then
  exec 9>"$prefix.lock"
  flock 9
  if [ ! -f "$prefix/.dav-virtual-desktop" ]; then
    virtual_desktop </dev/null >>"$prefix.log" 2>&1 && touch "$prefix/.dav-virtual-desktop"
  fi
  flock -u 9
  exec 9>&-
fi

# A new prefix links the user's desktop, documents and the like to this computer's home
# folder. The component lists, deletes and restores the icons of the desktop, and a test
# must never touch a person's own files: each link becomes an empty folder of the prefix
# (also in a prefix made before this rule; tests starting together may both do it).
for link in "$prefix"/drive_c/users/*/{Desktop,Documents,Downloads,Music,Pictures,Videos}; do
  if [ -L "$link" ]; then rm -f -- "$link" && mkdir -p -- "$link"; fi
done

# Wine's own processes (its server, services.exe, the desktop's explorer.exe ...) start
# with the first program that needs them and outlive it by a few seconds. Started here with
# their output closed (rundll32 asking for the desktop window brings up all of them), they
# never hold the program's output pipe open, so that ctest sees a test end when its program
# ends; and while tests follow each other they stay up and need no second start (which
# takes a few seconds, close to the five that gtest_discover_tests gives a listing).
wineserver -p30 </dev/null >/dev/null 2>&1 || true
wine rundll32.exe user32.dll,GetDesktopWindow </dev/null >/dev/null 2>&1 || true

if [ $# -eq 0 ]; then
  exit 0
fi
wine "$@" | sed -u 's/\r$//'
