#!/usr/bin/env bash
# scripts/check-imports.sh on small programs built here, one per way a DLL
# could be found beside the program: each must be refused for its own reason,
# and the program without any of them must pass.
# Usage: check_imports_test.sh CC OBJDUMP MANIFEST   (the tree's compiler,
# objdump and the manifest made for its architecture)
set -u
cc=$1 objdump=$2 manifest=$(realpath "$3")
tools=${objdump%objdump}
check=$(cd "$(dirname "$0")/../.." && pwd)/scripts/check-imports.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1

cat >probe.c <<'C'
#include <windows.h>
#include <winnetwk.h>
int main(void) {
#ifdef USE_MPR
    char name[64];
    DWORD size = sizeof name;
    return (int)WNetGetConnectionA("Z:", name, &size);
#else
    return (int)GetTickCount();
#endif
}
C
case $(basename "$tools") in
  i686-*) decorated=WNetGetConnectionA@12 other=amd64 ;;
  *) decorated=WNetGetConnectionA other=x86 ;;
esac
printf 'LIBRARY mpr.dll\nEXPORTS\n%s\n' "$decorated" >mpr.def
"${tools}dlltool" --input-def mpr.def --output-delaylib libmprdelay.a --dllname mpr.dll -k || exit 1
sed -zE "s/(Common-Controls\"[^>]*processorArchitecture=\")[^\"]*/\1$other/" "$manifest" >other.manifest
grep -q "processorArchitecture=\"$other\"" other.manifest || { echo "could not make the other manifest"; exit 1; }

"$cc" -Os -c probe.c -o plain.o && "$cc" -Os -DUSE_MPR -c probe.c -o mpr.o || exit 1
echo "1 24 \"$manifest\"" >own.rc && echo "1 24 \"$work/other.manifest\"" >other.rc
"${tools}windres" own.rc -o own.o && "${tools}windres" other.rc -o other.o || exit 1

# name | objects | libraries | what the refusal says ("" passes)
cases=(
  "clean|plain.o own.o||"
  "static|mpr.o own.o|-lmpr|not KnownDLLs: mpr.dll"
  "delay|mpr.o own.o|-L. -lmprdelay|delay-loads a DLL"
  "bare|plain.o||no manifest that names the Microsoft.Windows.Common-Controls"
  "other-arch|plain.o other.o||another version or architecture"
  "no-map|plain.o own.o||has no link map"
)
failed=0
for c in "${cases[@]}"; do
  IFS='|' read -r name objects libs expect <<<"$c"
  # shellcheck disable=SC2086
  "$cc" $objects -o "$name.exe" -s -Wl,-Map="$name.map" $libs || exit 1
  [ "$name" = no-map ] && rm "$name.map"
  out=$("$check" "$objdump" "$name.exe" 2>&1)
  rc=$?
  if [ -z "$expect" ] && [ "$rc" -ne 0 ]; then
    echo "FAIL $name: refused: $out"; failed=1
  elif [ -n "$expect" ] && { [ "$rc" -eq 0 ] || ! grep -qF "$expect" <<<"$out"; }; then
    echo "FAIL $name: expected a refusal saying '$expect', got ($rc): $out"; failed=1
  else
    echo "ok   $name"
  fi
done
exit $failed
