#!/usr/bin/env bash
# Sets up a fresh machine, builds the three trees and runs every test:
# native (sim backend, sanitizers), and the Windows suite under Wine and Xvfb
# on the 64-bit build and, where this machine can execute 32-bit code and
# 32-bit Wine is installed, on the 32-bit build (the product). Test names
# start with their tree (native., win32., win64.).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc 2>/dev/null || echo 2)
. "$root/cmake/wine-env.sh"

bash "$root/scripts/bootstrap.sh"
mkdir -p "$root/build"

build_tree() {  # name dir cmake-args...
  local name=$1 dir=$2
  shift 2
  echo "== $name build ($dir)"
  cmake -S "$root" -B "$dir" "$@" >/dev/null
  cmake --build "$dir" -j"$jobs" >"$dir-build.log" 2>&1 || {
    tail -n 60 "$dir-build.log"; exit 1; }
}

build_tree native "$root/build/native" -DCMAKE_BUILD_TYPE=RelWithDebInfo
echo "== native tests"
ctest --test-dir "$root/build/native" --output-on-failure --no-tests=error

build_tree "Windows 32-bit" "$root/build/win" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake"
build_tree "Windows 64-bit" "$root/build/win64" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake"

failed=0
echo "== Windows tests, 64-bit build (wine64)"
"$root/scripts/run-gui.sh" ctest --test-dir "$root/build/win64" --output-on-failure --no-tests=error || failed=1
blocker=$(orvane_win32_blocker)
if [ -z "$blocker" ]; then
  echo "== Windows tests, 32-bit build (32-bit Wine)"
  "$root/scripts/run-gui.sh" ctest --test-dir "$root/build/win" --output-on-failure --no-tests=error || failed=1
  ran="the 32-bit and the 64-bit builds"
else
  echo "== NOT RUN: the Windows tests of the 32-bit build: $blocker; the 32-bit Setup.exe was built ($root/build/win/Setup.exe) and the Windows tests ran on the 64-bit build only"
  # The checks of the program file itself run no Windows code.
  echo "== release and import checks of the 32-bit Setup.exe"
  ctest --test-dir "$root/build/win" --output-on-failure --no-tests=error -R 'release_check$|import' || failed=1
  ran="the 64-bit build only ($blocker)"
fi
if [ "$failed" -ne 0 ]; then
  echo "== Windows tests FAILED (ran on $ran)"
  exit 1
fi
echo "== all tests passed; the Windows suite ran on $ran"
