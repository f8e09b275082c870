#!/usr/bin/env bash
# Sets up a fresh machine, builds both trees and runs every test:
# native (sim backend, sanitizers) and Windows (under Wine and Xvfb).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc 2>/dev/null || echo 2)

bash "$root/scripts/bootstrap.sh"

echo "== native build"
cmake -S "$root" -B "$root/build/native" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build/native" -j"$jobs" >"$root/build/native-build.log" 2>&1 || {
  tail -n 60 "$root/build/native-build.log"; exit 1; }
echo "== native tests"
ctest --test-dir "$root/build/native" --output-on-failure

echo "== Windows build"
cmake -S "$root" -B "$root/build/win" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
cmake --build "$root/build/win" -j"$jobs" >"$root/build/win-build.log" 2>&1 || {
  tail -n 60 "$root/build/win-build.log"; exit 1; }
echo "== Windows tests (Wine)"
"$root/scripts/run-gui.sh" ctest --test-dir "$root/build/win" --output-on-failure
