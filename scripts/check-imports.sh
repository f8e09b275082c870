#!/usr/bin/env bash
# Fails when a program imports a DLL outside the KnownDLLs we allow. Windows
# looks for any other imported DLL in the program's own folder first, before
# the program's code runs; Setup.exe runs elevated from download folders, so
# everything else is loaded from the system folder by full path at run time.
# comctl32 comes from the side-by-side store through the manifest.
# Usage: check-imports.sh OBJDUMP PROGRAM
set -u
objdump=$1
program=$2
allowed=" kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll ole32.dll oleaut32.dll shlwapi.dll comdlg32.dll msvcrt.dll comctl32.dll "
imports=$("$objdump" -p "$program" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | tr -d '\r')
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
  echo "check-imports: $(basename "$program") imports DLLs that are not KnownDLLs:$bad" >&2
  echo "  load them from the system folder by full path instead (platform/win32/SystemLibrary.h)" >&2
  exit 1
fi
echo "$(basename "$program") imports only KnownDLLs:" $imports
