#!/usr/bin/env bash
# Creates the test prefix once: Japanese locale, unmanaged windows (no window
# manager under Xvfb), and the Windows names of the Japanese fonts.
set -u
prefix=$(realpath -m "$1")
[ -f "$prefix/.orvane-ready" ] && exit 0
mkdir -p "$prefix"
lock="$prefix.lock"
exec 9>"$lock"
flock 9
[ -f "$prefix/.orvane-ready" ] && exit 0
export WINEPREFIX=$prefix WINEDEBUG=-all LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 WINEDLLOVERRIDES="mscoree,mshtml="
log="$prefix/../wineprefix-setup.log"
if ! {
  wineboot -i
  wineserver -w
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' /v 'ＭＳ Ｐゴシック' /d IPAPGothic /f
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' /v 'ＭＳ ゴシック' /d IPAGothic /f
  wineserver -w
} >"$log" 2>&1 </dev/null; then
  echo "wine-prefix: setting up $prefix failed; see $log" >&2
  exit 1
fi
touch "$prefix/.orvane-ready"
