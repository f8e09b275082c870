#!/usr/bin/env bash
# Builds the release Setup.exe for 32-bit Windows (build/win, the product) and
# 64-bit Windows (build/win64), copies them to build/release/win32/ and
# build/release/win64/, signs the copies when asked, checks each
# (scripts/check-release.sh: no DLL loaded from beside it, icon, manifest and
# version information, terminal-server aware, stripped, within 512 KB) and
# reports their sizes. The test trees build the same program: their e2e tests
# and the demo run what this ships. Both builds are made on any host (building
# needs no 32-bit code to run).
#
# Usage: scripts/release.sh [--sign PFX [--password-file F] [--timestamp URL] [--ca-file F]]
# With --sign both copies get an SHA-256 Authenticode signature (scripts/sign.sh),
# verified afterwards. Signing is the last step: the installer copies itself
# into the installation folder byte for byte as the uninstaller, so one
# signature covers both, as long as nothing touches the file after it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc 2>/dev/null || echo 2)
[ "$jobs" -gt 2 ] && jobs=2

usage() { echo "usage: release.sh [--sign PFX [--password-file F] [--timestamp URL] [--ca-file F]]" >&2; exit 2; }
pfx="" options=()
while [ $# -gt 0 ]; do
  [ $# -ge 2 ] || usage
  case "$1" in
    --sign) pfx=$(realpath "$2") ;;
    --password-file|--ca-file) options+=("$1" "$(realpath "$2")") ;;
    --timestamp) options+=("$1" "$2") ;;
    *) usage ;;
  esac
  shift 2
done
sign=()
if [ -n "$pfx" ]; then
  sign=("$pfx" "${options[@]}")
elif [ ${#options[@]} -gt 0 ]; then
  echo "release.sh: --password-file, --timestamp and --ca-file go with --sign PFX" >&2
  exit 2
fi

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
  out=$root/build/release/$name/Setup.exe
  mkdir -p "$(dirname "$out")"
  cp "$dir/Setup.exe" "$out"
  signed=unsigned
  if [ ${#sign[@]} -gt 0 ]; then
    bash "$root/scripts/sign.sh" "${sign[@]}" "$out"
    signed=signed
  fi
  # What ships, signature included; the link map stays in the build tree.
  bash "$root/scripts/check-release.sh" "$out" 524288 "$dir/Setup.map"
  size=$(stat -c %s "$out")
  report+=("$(printf '  %-6s %-7s %8d bytes (%d KiB, %s)  build/release/%s/Setup.exe' \
    "$name" "$arch" "$size" $(( (size + 1023) / 1024 )) "$signed" "$name")")
done
echo "== release Setup.exe (link map beside each build: build/win/Setup.map, build/win64/Setup.map)"
printf '%s\n' "${report[@]}"
