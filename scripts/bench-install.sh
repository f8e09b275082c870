#!/usr/bin/env bash
# Times the installation and uninstallation runs against bare CopyFileA and
# DeleteFileA loops under Wine (2,000 files, about 200 MB). Slow: not part of
# the test run. Usage: scripts/bench-install.sh [windows-build-dir] [files] [bytes]
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "${1:-$here/build/run-win}")
exe=$build/bench/install_bench.exe
[ -f "$exe" ] || { echo "build $exe first (cmake --build $build --target install_bench)" >&2; exit 1; }
cd "$build"
ORVANE_WINE_TIMEOUT=1800 "$here/scripts/run-gui.sh" "$here/cmake/wine-run.sh" "$exe" "${2:-2000}" "${3:-100000}"
