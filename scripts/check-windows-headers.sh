#!/usr/bin/env bash
# Fails when a Win32 header is included outside platform/win32/, the program
# entry (Setup.cpp), the end-to-end drivers (tests/e2e/) and the Windows
# benchmarks (bench/win32/), which are Windows programs, and the tests' helpers
# on the real system (tests/support/win32/).
set -u
root=$1
cd "$root" || exit 2
leaks=$(grep -rlE '#[[:space:]]*include[[:space:]]*[<"](windows|winreg|winuser|shlobj|shellapi|commctrl|objbase|shobjidl|winbase)\.h[>"]' \
  --include='*.cpp' --include='*.h' --include='*.hpp' --include='*.cc' . \
  | sed 's|^\./||' | grep -vE '^(platform/win32/|tests/e2e/|tests/support/win32/|bench/win32/|Setup\.cpp$|build[^/]*/)' || true)
if [ -n "$leaks" ]; then
  echo "Win32 headers outside platform/win32 and the program entry:"
  echo "$leaks"
  exit 1
fi
echo "Win32 headers stay in platform/win32 and the program entry."
