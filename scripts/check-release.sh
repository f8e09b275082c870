#!/usr/bin/env bash
# Checks a release Setup.exe: it can load no DLL from beside it (it imports
# only KnownDLLs: the C++ runtime is linked in; it delay-loads nothing; its
# manifest names the Common Controls), it carries its icon, manifest and
# version information, it is marked terminal-server aware, it is stripped,
# and it stays within the size budget. Prints one line with its size.
# Usage: scripts/check-release.sh Setup.exe [budget-bytes [link-map]]
#        (524288: 512 KB; the link map is Setup.map beside the program)
set -u
exe=$1
budget=${2:-524288}
map=${3:-}
here=$(cd "$(dirname "$0")/.." && pwd)
. "$here/cmake/wine-env.sh"
arch=$(orvane_pe_arch "$exe") || { echo "check-release: $exe is not a Windows program" >&2; exit 1; }
objdump=$arch-w64-mingw32-objdump
windres=$arch-w64-mingw32-windres
failed=0
fail() { echo "check-release: $exe: $*" >&2; failed=1; }

# Only KnownDLLs may be loaded (scripts/check-imports.sh holds the list):
# then no DLL has to lie beside the program, and none can be planted there.
imports=$("$here/scripts/check-imports.sh" "$objdump" "$exe" $map) || fail "can load a DLL from beside it"
imports=${imports#*:}

resources=$("$windres" -i "$exe" -O rc 2>/dev/null)
grep -q 'VERSIONINFO' <<<"$resources" || fail "no version information"
grep -q 'RT_MANIFEST' <<<"$resources" || fail "no manifest"
grep -q 'VALUE "OriginalFilename", "Setup.exe"' <<<"$resources" || fail "the version information does not name Setup.exe"
# The first icon group is the one Explorer and "Setup.exe",0 show: it must
# hold the four sizes (windres writes each image's width as an octal escape;
# 0 stands for 256).
icon_sizes=$(sed -n '/RT_GROUP_ICON/,/^END/p' <<<"$resources" | awk '/RT_GROUP_ICON/ { n++ } n == 1' |
  sed -n 's/^ *"\\\([0-7]*\)\\.*Element no.*/\1/p' | while read -r w; do
    w=$((8#$w)); echo $(( w == 0 ? 256 : w )); done | sort -n | tr '\n' ' ')
[ "$icon_sizes" = "16 32 48 256 " ] || fail "its first icon does not hold the sizes 16, 32, 48 and 256 (it holds: ${icon_sizes:-no icon})"

headers=$("$objdump" -p "$exe")
# IMAGE_DLLCHARACTERISTICS_TERMINAL_SERVER_AWARE: without it a terminal
# server gives the program a per-user Windows folder.
flags=$(sed -n 's/^DllCharacteristics[[:space:]]*//p' <<<"$headers")
[ -n "$flags" ] && (( 16#$flags & 0x8000 )) || fail "not marked terminal-server aware (DllCharacteristics ${flags:-unread}; link with --tsaware)"

if "$objdump" -f "$exe" | grep -qE 'HAS_SYMS|HAS_DEBUG'; then fail "not stripped (symbols or debug information)"; fi

size=$(stat -c %s "$exe")
[ "$size" -le "$budget" ] || fail "$size bytes, over the budget of $budget bytes"
[ "$failed" -eq 0 ] || exit 1
echo "$exe: $arch, $size bytes ($(( (size + 1023) / 1024 )) KiB, budget $(( budget / 1024 )) KiB); imports only KnownDLLs ($(echo $imports)), delay-loads none; icon (${icon_sizes% }), manifest and version information present; terminal-server aware; stripped"
