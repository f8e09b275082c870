#!/usr/bin/env bash
# Sets up the machine, builds Setup.exe, makes an example package from
# examples/ and starts the wizard under Wine. With a display the user drives
# it; without one it is walked headless under Xvfb up to the copy-start page,
# a PNG screenshot of every page is saved, and the walk cancels (nothing is
# installed). The screenshot paths are printed at the end.
# It runs the 32-bit Setup.exe (the product) where this machine can execute
# 32-bit code and 32-bit Wine is installed, and the 64-bit one otherwise, and
# says which and why; ORVANE_WIN_BUILD=win|win64 chooses.
#
# With --pictures it refreshes the README's pictures instead (docs/*.png):
# the example is installed and uninstalled under a private Xvfb screen and
# every screen a user sees is saved, cropped to its window.
set -euo pipefail
pictures=0
[ "${1:-}" = "--pictures" ] && pictures=1
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/cmake/wine-env.sh"
jobs=$(nproc 2>/dev/null || echo 2)
[ "$jobs" -gt 2 ] && jobs=2

bash "$root/scripts/bootstrap.sh"
orvane_choose_build "$root"
build=$orvane_build_dir
demo=$build/demo

echo "== building Setup.exe: $(orvane_build_line)"
mkdir -p "$root/build"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$orvane_build_toolchain" >/dev/null
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
"$root/cmake/wine-prefix.sh" "$prefix" "$orvane_build_arch"
orvane_wine_env "$orvane_build_arch" "$prefix"
winpath() { printf 'Z:%s' "$1" | tr '/' '\\'; }
stop_wine() { orvane_wineserver -k >/dev/null 2>&1 || true; }
trap stop_wine EXIT

walk() {  # mode folder: the wizard_e2e walker under a private Xvfb screen
  local rc=0
  (cd "$package" && timeout 300 xvfb-run -a -s "-screen 0 1024x768x24" \
    "$WINELOADER" "$build/tests/e2e/wizard_e2e.exe" "$1" "$(winpath "$package/Setup.exe")" \
    "$(winpath "$2")" >"$demo/walk.log" 2>&1 </dev/null) || rc=$?
  if [ "$rc" -ne 0 ]; then
    echo "demo: the walk failed ($rc); see $demo/walk.log" >&2
    cat "$demo/walk.log" >&2
    exit 1
  fi
}

if [ "$pictures" = 1 ]; then
  shots=$demo/pictures
  rm -rf "$shots"
  mkdir -p "$shots" "$root/docs"
  echo "== installing and uninstalling the example under Xvfb for the README's pictures"
  walk --pictures "$shots"
  rm -f "$root"/docs/*.png
  for png in "$shots"/*.png; do
    python3 "$root/scripts/png-squeeze.py" "$png" "$root/docs/$(basename "$png")"
  done
  echo "== the README's pictures ($orvane_build_arch build):"
  ls -s1 "$root"/docs/*.png
elif [ -n "${DISPLAY:-}" ]; then
  echo "== starting the wizard on $DISPLAY (close it to end the demo)"
  # Wine's output goes to a file: its service processes would hold a pipe open.
  (cd "$package" && orvane_wine Setup.exe >"$demo/wine.log" 2>&1 </dev/null) || true
  echo "== the wizard has ended; Wine's output is in $demo/wine.log"
else
  shots=$demo/screenshots
  rm -rf "$shots"
  mkdir -p "$shots"
  echo "== no display: walking the wizard under Xvfb"
  walk --walk "$shots"
  echo "== screenshots of the wizard's pages ($orvane_build_arch build):"
  ls -1 "$shots"/*.png
fi
