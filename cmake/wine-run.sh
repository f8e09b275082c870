#!/usr/bin/env bash
# Runs a Windows program under Wine for CTest: a prefix of the build tree's own,
# the Japanese locale (ANSI code page 932), output through a file so that
# Wine's service processes never hold CTest's pipe open.
set -u
here=$(cd "$(dirname "$0")" && pwd)
prefix=${ORVANE_WINEPREFIX:-$PWD/wineprefix}
prog=$(realpath -m "$1")
shift
bindir=$(dirname "$prog")
# The prefix lives in the Windows build tree: find it from the program's folder.
d=$bindir
while [ "$d" != "/" ] && [ ! -f "$d/CMakeCache.txt" ]; do d=$(dirname "$d"); done
[ -f "$d/CMakeCache.txt" ] && prefix=${ORVANE_WINEPREFIX:-$d/wineprefix}
"$here/wine-prefix.sh" "$prefix" || exit 1
log=$(mktemp)
WINEPREFIX=$prefix WINEDEBUG=-all LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 \
  timeout "${ORVANE_WINE_TIMEOUT:-600}" wine "$prog" "$@" >"$log" 2>&1 </dev/null
rc=$?
cat "$log"
rm -f "$log"
exit $rc
