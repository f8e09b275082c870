#!/usr/bin/env bash
# Ends a build tree's Wine prefix: its wineserver and every process in it.
# Usage: wine-stop.sh PREFIX ARCH
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
[ -d "$1" ] || exit 0
orvane_wine_env "$2" "$(realpath -m "$1")" 2>/dev/null || exit 0
orvane_wineserver -k 2>/dev/null
exit 0
