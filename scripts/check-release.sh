#!/usr/bin/env bash
# Checks a release Setup.exe: it needs no DLL beside it (every DLL it imports
# is one of Windows' own: the C++ runtime is linked in), it carries its
# manifest and its version information, it is stripped, and it stays within
# the size budget. Prints one line with its size.
# Usage: scripts/check-release.sh Setup.exe [budget-bytes]   (524288: 512 KB)
set -u
exe=$1
budget=${2:-524288}
here=$(cd "$(dirname "$0")/.." && pwd)
. "$here/cmake/wine-env.sh"
arch=$(orvane_pe_arch "$exe") || { echo "check-release: $exe is not a Windows program" >&2; exit 1; }
objdump=$arch-w64-mingw32-objdump
windres=$arch-w64-mingw32-windres
failed=0
fail() { echo "check-release: $exe: $*" >&2; failed=1; }

# Windows' own DLLs that the program may import. A DLL of the toolchain
# (libstdc++-6, libgcc_s_*, libwinpthread-1) would have to lie beside it.
system_dlls=" advapi32.dll comctl32.dll comdlg32.dll gdi32.dll kernel32.dll mpr.dll msvcrt.dll "
system_dlls+="ole32.dll oleaut32.dll shell32.dll shlwapi.dll user32.dll uxtheme.dll version.dll "
imports=$("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name:[[:space:]]*//p' | tr 'A-Z' 'a-z' | tr -d '\r')
[ -n "$imports" ] || fail "no import table found"
for dll in $imports; do
  case "$system_dlls" in
    *" $dll "*) ;;
    *) fail "imports $dll, which is not a Windows DLL (it would have to be shipped beside the program)" ;;
  esac
done

resources=$("$windres" -i "$exe" -O rc 2>/dev/null)
grep -q 'VERSIONINFO' <<<"$resources" || fail "no version information"
grep -q 'RT_MANIFEST' <<<"$resources" || fail "no manifest"
grep -q 'VALUE "OriginalFilename", "Setup.exe"' <<<"$resources" || fail "the version information does not name Setup.exe"

if "$objdump" -f "$exe" | grep -qE 'HAS_SYMS|HAS_DEBUG'; then fail "not stripped (symbols or debug information)"; fi

size=$(stat -c %s "$exe")
[ "$size" -le "$budget" ] || fail "$size bytes, over the budget of $budget bytes"
[ "$failed" -eq 0 ] || exit 1
echo "$exe: $arch, $size bytes ($(( (size + 1023) / 1024 )) KiB, budget $(( budget / 1024 )) KiB); imports only Windows DLLs ($(echo $imports)); manifest and version information present; stripped"
