#!/usr/bin/env bash
# Times the installation and uninstallation runs against bare CopyFileA and
# DeleteFileA loops under Wine (2,000 files, about 200 MB), then Setup.exe's
# start-up against a minimal window program (scripts/bench-startup.sh), which
# also prints its size. Slow: not part of the test run.
# Usage: scripts/bench-install.sh [windows-build-dir] [files] [bytes] [work-folder] [rounds]
# Without a build folder it takes the 32-bit build where this machine can
# execute 32-bit code and the 64-bit build otherwise, and says which. The
# files go to /dev/shm where there is one (in memory: the disk's write-back
# makes differences of a few percent unmeasurable), else to C:\orvane-bench
# in the tree's prefix; a work folder given (a Windows path such as
# C:\orvane-bench, or a Linux folder) chooses.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
. "$here/cmake/wine-env.sh"
orvane_given_build "$here" "${1:-}"
build=$orvane_build_dir
exe=$build/bench/install_bench.exe
[ -f "$exe" ] && [ -f "$build/bench/startup_bench.exe" ] || {
  echo "build $exe first (cmake --build $build --target install_bench startup_bench)" >&2; exit 1; }
arch=$(orvane_pe_arch "$exe")
echo "install_bench: $arch build ($build)"
cd "$build"
work=${4:-}
if [ -z "$work" ]; then
  if [ -d /dev/shm ] && [ -w /dev/shm ]; then work=/dev/shm; else work='C:\orvane-bench'; fi
fi
case $work in
  /*) mkdir -p "$work" && work=$(printf 'Z:%s\\orvane-bench' "$(realpath "$work")" | tr '/' '\\') ;;
esac
ORVANE_WINE_TIMEOUT=1800 "$here/scripts/run-gui.sh" "$here/cmake/wine-run.sh" "$exe" "${2:-2000}" "${3:-100000}" \
  "$work" "${5:-5}"
"$here/scripts/bench-startup.sh" "$build"
