#!/usr/bin/env bash
# Builds the release Setup.exe for 32-bit Windows (build/win, the product) and
# 64-bit Windows (build/win64), checks each (scripts/check-release.sh: Known
# DLLs only, manifest and version information, stripped, within 512 KB),
# copies them to build/release/win32/ and build/release/win64/ and reports
# their sizes. The test trees build the same program: their e2e tests and the
# demo run what this ships. Both builds are made on any host (building needs
# no 32-bit code to run).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc 2>/dev/null || echo 2)
[ "$jobs" -gt 2 ] && jobs=2

bash "$root/scripts/bootstrap.sh"
mkdir -p "$root/build"

report=()
for build in win:i686:win32 win64:x86_64:win64; do
  IFS=: read -r tree arch name <<<"$build"
  dir=$root/build/$tree
  echo "== building Setup.exe for $name ($arch, $dir)"
  cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$arch.cmake" >/dev/null
  cmake --build "$dir" -j"$jobs" --target Setup >"$dir-release.log" 2>&1 || {
    tail -n 60 "$dir-release.log"; exit 1; }
  bash "$root/scripts/check-release.sh" "$dir/Setup.exe"
  mkdir -p "$root/build/release/$name"
  cp "$dir/Setup.exe" "$root/build/release/$name/Setup.exe"
  size=$(stat -c %s "$dir/Setup.exe")
  report+=("$(printf '  %-6s %-7s %8d bytes (%d KiB)  build/release/%s/Setup.exe' \
    "$name" "$arch" "$size" $(( (size + 1023) / 1024 )) "$name")")
done
echo "== release Setup.exe (link map beside each build: build/win/Setup.map, build/win64/Setup.map)"
printf '%s\n' "${report[@]}"
