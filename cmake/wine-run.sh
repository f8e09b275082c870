#!/usr/bin/env bash
# Runs a Windows program under Wine for CTest: the loader and server that match
# the program's architecture, the prefix of its build tree (a prefix per tree),
# the Japanese locale (ANSI code page 932), output through a file so that
# Wine's service processes never hold CTest's pipe open.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
prog=$(realpath -m "$1")
shift
arch=$(orvane_pe_arch "$prog") || { echo "wine-run: $prog is not a Windows program" >&2; exit 1; }
# The prefix lives in the Windows build tree: find it from the program's folder.
prefix=${ORVANE_WINEPREFIX:-$PWD/wineprefix}
d=$(dirname "$prog")
while [ "$d" != "/" ] && [ ! -f "$d/CMakeCache.txt" ]; do d=$(dirname "$d"); done
[ -f "$d/CMakeCache.txt" ] && prefix=${ORVANE_WINEPREFIX:-$d/wineprefix}
"$here/wine-prefix.sh" "$prefix" "$arch" || exit 1
orvane_wine_env "$arch" "$prefix" || exit 1
log=$(mktemp)
timeout "${ORVANE_WINE_TIMEOUT:-600}" "$WINELOADER" "$prog" "$@" >"$log" 2>&1 </dev/null
rc=$?
cat "$log"
rm -f "$log"
exit $rc
