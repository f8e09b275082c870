#!/usr/bin/env bash
# Sets up the machine, builds Setup.exe, makes an example package from
# examples/ and starts the wizard under Wine. With a display the user drives
# it; without one it is walked headless under Xvfb up to the copy-start page,
# a PNG screenshot of every page is saved, and the walk cancels (nothing is
# installed). The screenshot paths are printed at the end.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ORVANE_DEMO_BUILD:-$root/build/win}  # the Windows build tree
demo=$build/demo
jobs=$(nproc 2>/dev/null || echo 2)
[ "$jobs" -gt 2 ] && jobs=2

bash "$root/scripts/bootstrap.sh"

echo "== building Setup.exe"
mkdir -p "$root/build"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
cmake --build "$build" -j"$jobs" --target Setup wizard_e2e >"$root/build/demo-build.log" 2>&1 || {
  tail -n 60 "$root/build/demo-build.log"; exit 1; }

# The example package: Setup.exe beside the example's Setup.ini and payload.
# Its copy sources are relative (payload\...), so the wizard starts from there.
example=$root/examples
package=$demo/package
rm -rf "$package"
mkdir -p "$package"
cp "$example/Setup.ini" "$package/Setup.ini"
cp -R "$example/payload" "$package/payload"
chmod a-w "$package/payload/manual.txt"  # the example's read-only source
cp "$build/Setup.exe" "$package/Setup.exe"
echo "== package: $package"

prefix=$build/wineprefix
"$root/cmake/wine-prefix.sh" "$prefix"
export WINEPREFIX=$prefix WINEDEBUG=-all LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
winpath() { printf 'Z:%s' "$1" | tr '/' '\\'; }
stop_wine() { wineserver -k >/dev/null 2>&1 || true; }
trap stop_wine EXIT

if [ -n "${DISPLAY:-}" ]; then
  echo "== starting the wizard on $DISPLAY (close it to end the demo)"
  # Wine's output goes to a file: its service processes would hold a pipe open.
  (cd "$package" && wine Setup.exe >"$demo/wine.log" 2>&1 </dev/null) || true
  echo "== the wizard has ended; Wine's output is in $demo/wine.log"
else
  shots=$demo/screenshots
  rm -rf "$shots"
  mkdir -p "$shots"
  echo "== no display: walking the wizard under Xvfb"
  walker=$build/tests/e2e/wizard_e2e.exe
  rc=0
  (cd "$package" && timeout 300 xvfb-run -a -s "-screen 0 1024x768x24" \
    wine "$walker" --walk "$(winpath "$package/Setup.exe")" "$(winpath "$shots")" \
    >"$demo/walk.log" 2>&1 </dev/null) || rc=$?
  if [ "$rc" -ne 0 ]; then
    echo "demo: the walk failed ($rc); see $demo/walk.log" >&2
    cat "$demo/walk.log" >&2
    exit 1
  fi
  echo "== screenshots of the wizard's pages:"
  ls -1 "$shots"/*.png
fi
