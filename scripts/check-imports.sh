#!/usr/bin/env bash
# Fails when a program can load a DLL from its own folder. Windows looks for
# an imported DLL that is not a KnownDLL in the program's folder first, before
# the program's code runs; Setup.exe runs elevated from download folders, so
# everything else is loaded from the system folder by full path at run time.
#  - Static imports: only the KnownDLLs below.
#  - Delay-loaded DLLs: none. They are found the same way on first use. GNU ld
#    does not fill in the delay-import directory, so objdump lists no such
#    DLL; the delay-load helper in the link map gives them away.
#  - comctl32 is no KnownDLL: it comes from the side-by-side store because the
#    manifest names the Common Controls assembly, for the program's own
#    architecture. Without that, it is looked for beside the program.
# Usage: check-imports.sh OBJDUMP PROGRAM [LINK-MAP]   (PROGRAM.map by default)
set -u
objdump=$1
program=$2
map=${3:-${program%.*}.map}
windres=${objdump%objdump}windres
name=$(basename "$program")
allowed=" kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll ole32.dll oleaut32.dll shlwapi.dll comdlg32.dll msvcrt.dll comctl32.dll "
failed=0
fail() { echo "check-imports: $name $*" >&2; failed=1; }

headers=$("$objdump" -p "$program" 2>/dev/null)
imports=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers" | tr 'A-Z' 'a-z' | tr -d '\r')
if [ -z "$imports" ]; then
  echo "check-imports: no import table read from $program" >&2
  exit 1
fi
bad=""
for dll in $imports; do
  case "$allowed" in
    *" $dll "*) ;;
    *) bad="$bad $dll" ;;
  esac
done
if [ -n "$bad" ]; then
  fail "imports DLLs that are not KnownDLLs:$bad"
  echo "  load them from the system folder by full path instead (platform/win32/SystemLibrary.h)" >&2
fi

# Delay-loaded DLLs: the directory where a linker fills it in, and the link map.
if awk '/Delay Import Directory/ && $3 !~ /^0+$/ { found = 1 } END { exit !found }' <<<"$headers"; then
  fail "has a delay-import directory: it delay-loads a DLL"
fi
if [ ! -f "$map" ]; then
  fail "has no link map at $map: its delay-loaded DLLs cannot be checked"
else
  helpers=$(grep -oE '__delayLoadHelper2|__tailMerge_[A-Za-z0-9_]+|__DELAY_IMPORT_DESCRIPTOR_[A-Za-z0-9_]+' "$map" | sort -u)
  if [ -n "$helpers" ]; then
    fail "delay-loads a DLL (its link map names $(echo $helpers)); Windows looks for it beside the program too"
  fi
fi

# The manifest (resource 1 of type 24) as text: windres writes it as C strings.
case $("$objdump" -f "$program" | sed -n 's/.*file format //p') in
  pei-i386) arch=x86 ;;
  pei-x86-64) arch=amd64 ;;
  *) arch=unknown ;;
esac
manifest=$("$windres" -i "$program" -O rc 2>/dev/null |
  sed -n '/^1 24 /,/^END/s/^ *"\(.*\)"$/\1/p' | sed 's/""/"/g; s/\\n/ /g' | tr -d '\n')
controls=$(grep -oE '<dependentAssembly>[[:space:]]*<assemblyIdentity[^>]*name="Microsoft\.Windows\.Common-Controls"[^>]*>' \
  <<<"$manifest")
if [ -z "$controls" ]; then
  fail "has no manifest that names the Microsoft.Windows.Common-Controls assembly: comctl32.dll would be looked for beside it"
elif ! grep -q 'version="6\.0\.0\.0"' <<<"$controls" ||
     ! grep -qE "processorArchitecture=\"($arch|\\*)\"" <<<"$controls"; then
  fail "names the Common Controls assembly for another version or architecture than 6.0.0.0, $arch: $controls"
fi

[ "$failed" -eq 0 ] || exit 1
echo "$name imports only KnownDLLs:" $imports
