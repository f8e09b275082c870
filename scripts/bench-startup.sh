#!/usr/bin/env bash
# Times Setup.exe from process start to the wizard's first paint against a
# minimal Win32 program that opens one window, under the same Wine and display
# (see bench/win32/startup_bench.cpp), and prints the size of the Setup.exe it
# timed. Not part of the test run.
# Usage: scripts/bench-startup.sh [windows-build-dir] [rounds] [setup-exe ...]
# Without a build folder it takes the 32-bit build where this machine can
# execute 32-bit code and the 64-bit build otherwise, and says which. The
# wizard shows the example project (examples/Setup.ini). A setup-exe times
# another Setup.exe of the same architecture instead of the tree's; with
# several, the first is the one measured against the target and the others
# (an older build, say) are timed in the same rounds beside it.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
. "$here/cmake/wine-env.sh"
orvane_given_build "$here" "${1:-}"
build=$orvane_build_dir
rounds=${2:-10}
shift $(( $# < 2 ? $# : 2 ))
[ $# -gt 0 ] || set -- "$build/Setup.exe"
exe=$build/bench/startup_bench.exe
baseline=$build/bench/startup_window.exe
[ -f "$exe" ] && [ -f "$baseline" ] || {
  echo "build $exe first (cmake --build $build --target startup_bench)" >&2; exit 1; }
arch=$(orvane_pe_arch "$exe")
winpath() { printf 'Z:%s' "$1" | tr '/' '\\'; }

# A package per Setup.exe: the program beside the example project (the
# payload is not read before the installation starts).
packages=()
n=0
rm -rf "$build/bench-startup"
for given in "$@"; do
  setup=$(realpath "$given")
  [ -f "$setup" ] || { echo "$given: no such program" >&2; exit 1; }
  [ "$(orvane_pe_arch "$setup")" = "$arch" ] || { echo "$setup is not a $arch program" >&2; exit 1; }
  package=$build/bench-startup/$n
  mkdir -p "$package"
  cp "$setup" "$package/Setup.exe"
  cp "$here/examples/Setup.ini" "$package/Setup.ini"
  packages+=("$(winpath "$package/Setup.exe")")
  n=$((n + 1))
done
setup=$(realpath "$1")

size=$(stat -c %s "$setup")
echo "startup_bench: $arch build ($build)"
echo "Setup.exe: $setup, $size bytes ($(( (size + 1023) / 1024 )) KiB)"
# Both programs compete for the same processors with whatever else runs: the
# machine's load is printed beside the figures.
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
cd "$build"
"$here/scripts/run-gui.sh" "$here/cmake/wine-run.sh" "$exe" \
  "${packages[0]}" "$(winpath "$baseline")" "$rounds" "${packages[@]:1}"
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
