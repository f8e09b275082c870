#!/usr/bin/env bash
# Checks a release Setup.exe: it needs no DLL beside it (it imports only
# KnownDLLs: the C++ runtime is linked in), it carries its
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

# Only KnownDLLs may be imported (scripts/check-imports.sh holds the list):
# then no DLL has to lie beside the program, and none can be planted there.
imports=$("$here/scripts/check-imports.sh" "$objdump" "$exe") || fail "imports a DLL that is not a KnownDLL"
imports=${imports#*:}

resources=$("$windres" -i "$exe" -O rc 2>/dev/null)
grep -q 'VERSIONINFO' <<<"$resources" || fail "no version information"
grep -q 'RT_MANIFEST' <<<"$resources" || fail "no manifest"
grep -q 'VALUE "OriginalFilename", "Setup.exe"' <<<"$resources" || fail "the version information does not name Setup.exe"

if "$objdump" -f "$exe" | grep -qE 'HAS_SYMS|HAS_DEBUG'; then fail "not stripped (symbols or debug information)"; fi

size=$(stat -c %s "$exe")
[ "$size" -le "$budget" ] || fail "$size bytes, over the budget of $budget bytes"
[ "$failed" -eq 0 ] || exit 1
echo "$exe: $arch, $size bytes ($(( (size + 1023) / 1024 )) KiB, budget $(( budget / 1024 )) KiB); imports only KnownDLLs ($(echo $imports)); manifest and version information present; stripped"
