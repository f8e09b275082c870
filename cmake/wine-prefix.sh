#!/usr/bin/env bash
# Creates a build tree's test prefix once: Japanese locale, unmanaged windows
# (no window manager under Xvfb), and the Windows names of the Japanese fonts.
# Usage: wine-prefix.sh PREFIX ARCH (i686 or x86_64). A prefix belongs to one
# architecture: a 32-bit and a 64-bit prefix are not interchangeable.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
prefix=$(realpath -m "$1")
arch=${2:?usage: wine-prefix.sh PREFIX ARCH}
ready=$prefix/.orvane-ready
made_for() { cat "$ready" 2>/dev/null; }
check_ready() {
  [ -f "$ready" ] || return 1
  if [ "$(made_for)" != "$arch" ]; then
    echo "wine-prefix: $prefix was made for '$(made_for)', not $arch; remove it or use the tree's own prefix" >&2
    exit 1
  fi
  exit 0
}
check_ready
orvane_wine_env "$arch" "$prefix" || exit 1
mkdir -p "$prefix"
exec 9>"$prefix.lock"
flock 9
check_ready
export WINEDLLOVERRIDES="mscoree,mshtml="
log="$prefix.setup.log"
if ! {
  orvane_wine wineboot -i
  orvane_wineserver -w
  orvane_wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
  orvane_wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' /v 'ＭＳ Ｐゴシック' /d IPAPGothic /f
  orvane_wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' /v 'ＭＳ ゴシック' /d IPAGothic /f
  orvane_wineserver -w
} >"$log" 2>&1 </dev/null; then
  echo "wine-prefix: setting up the $arch prefix $prefix failed; the end of $log:" >&2
  grep -v '^\s*$' "$log" | tail -n 12 | sed 's/^/  /' >&2
  exit 1
fi
echo "$arch" >"$ready"
