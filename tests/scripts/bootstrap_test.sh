#!/usr/bin/env bash
# The bootstrap's decisions on made-up machines: apt-get, dpkg, dpkg-query,
# id, locale and sleep are stand-ins on PATH that keep their state in a
# folder, and so are the 32-bit probe and the Wine folder. Nothing real is
# installed or fetched.
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
bin=$work/bin
mkdir -p "$bin"

# apt-get: "update" fails as many times as $FAKE/update-fails says ("always":
# every time, as with an i386 index out of step); "install" fails when asked
# for a package in $FAKE/broken, and otherwise installs them all.
cat >"$bin/apt-get" <<'SH'
#!/usr/bin/env bash
echo "apt-get $*" >>"$FAKE/log"
left=$(cat "$FAKE/update-fails")
if [ "$1" = update ] && [ "$left" != 0 ]; then
  [ "$left" = always ] || echo $((left - 1)) >"$FAKE/update-fails"
  echo "E: Failed to fetch http://deb.example/binary-i386/Packages.xz  File has unexpected size (1 != 2). Mirror sync in progress?"
  echo "E: Some index files failed to download. They have been ignored, or old ones used instead."
  exit 100
fi
[ "$1" = install ] || exit 0
shift 4  # -y -q --no-install-recommends
for p in "$@"; do
  grep -qx "$p" "$FAKE/broken" && { echo "E: Unable to correct problems, you have held broken packages."; exit 100; }
done
printf '%s\n' "$@" >>"$FAKE/installed"
case " $* " in *" wine64 "*) touch "$ORVANE_WINE_DIR/wine64" "$ORVANE_WINE_DIR/wineserver64" ;; esac
case " $* " in *" wine32:i386 "*) touch "$ORVANE_WINE_DIR/wine" "$ORVANE_WINE_DIR/wineserver32" ;; esac
chmod +x "$ORVANE_WINE_DIR"/* 2>/dev/null
exit 0
SH
cat >"$bin/dpkg" <<'SH'
#!/usr/bin/env bash
echo "dpkg $*" >>"$FAKE/log"
[ "$1" = --print-foreign-architectures ] && cat "$FAKE/arches"
[ "$1" = --add-architecture ] && echo "$2" >>"$FAKE/arches"
exit 0
SH
cat >"$bin/dpkg-query" <<'SH'
#!/usr/bin/env bash
for p in "${@:3}"; do grep -qx "$p" "$FAKE/installed" && echo "$p install ok installed"; done
exit 1
SH
printf '#!/bin/sh\necho "$FAKE_UID"\n' >"$bin/id"
printf '#!/bin/sh\necho ja_JP.utf8\n' >"$bin/locale"
printf '#!/bin/sh\necho "sleep $*" >>"$FAKE/log"\n' >"$bin/sleep"
printf '#!/bin/sh\nexit 0\n' >"$bin/runs-i386"
printf '#!/bin/sh\nexit 126\n' >"$bin/no-i386"  # what execve's "Exec format error" gives
chmod +x "$bin"/*
all="g++-mingw-w64-i686-posix binutils-mingw-w64-i686 g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
xvfb xauth fonts-ipafont-gothic locales cmake g++ googletest libgtest-dev osslsigncode openssl python3 wine64"
install="apt-get install -y -q --no-install-recommends"

# What the bootstrap does and says goes into one transcript, in order.
# name | probe (forced-64: ORVANE_HOST_I386=0) | uid | installed already (all, all+wine32 or nothing) | update failures | broken packages |
# exit status | what the transcript holds, in this order (; between) | what it does not hold
cases=(
  "fresh 32-bit machine|runs-i386|0||0||0|dpkg --add-architecture i386;apt-get update;$install g++-mingw-w64-i686-posix;$install wine32:i386;host: executes 32-bit code|sleep"
  "index fails twice, then works|runs-i386|0||2||0|apt-get update;sleep 10;apt-get update;sleep 20;apt-get update;$install g++;host: executes 32-bit code|failed 3 times"
  "i386 index out of step, wine32 broken|runs-i386|0||always|wine32:i386|0|apt-get update;apt-get update;apt-get update;apt-get update failed 3 times (E: Some index files failed;$install g++-mingw;$install wine32:i386;32-bit Wine could not be installed (E: Unable to correct;host: 32-bit Wine could not be installed: the Windows tests run on the 64-bit build (build/win64) only|Exec format error"
  "machine without 32-bit code|no-i386|0||0||0|apt-get update;$install g++-mingw;host: this machine cannot execute 32-bit code (Exec format error): the Windows tests run on the 64-bit build (build/win64) only|wine32;add-architecture"
  "64-bit path forced|forced-64|0|all|0||0|host: ORVANE_HOST_I386=0 chose the 64-bit build|Exec format error;apt-get"
  "64-bit package broken|no-i386|0||0|xvfb|1|$install g++-mingw;installing g++-mingw-w64-i686-posix binutils-mingw-w64-i686 g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 xvfb xauth fonts-ipafont-gothic locales cmake g++ googletest libgtest-dev osslsigncode openssl python3 wine64 failed: E: Unable to correct|host:"
  "everything there|runs-i386|0|all+wine32|0||0|host: executes 32-bit code|apt-get;bootstrap:"
  "not root, wine32 missing|runs-i386|1000|all|0||0|only root can install it;host: 32-bit Wine could not be installed|apt-get"
)
failed=0
for c in "${cases[@]}"; do
  IFS='|' read -r name probe uid have fails broken status expect absent <<<"$c"
  forced=()
  [ "$probe" = forced-64 ] && forced=(ORVANE_HOST_I386=0) probe=runs-i386
  export FAKE=$work/${name//[ ,]/_} FAKE_UID=$uid ORVANE_I386_PROBE=$bin/$probe
  export ORVANE_WINE_DIR=$FAKE/wine
  mkdir -p "$ORVANE_WINE_DIR"
  echo "$fails" >"$FAKE/update-fails"
  tr ' ' '\n' <<<"$broken" >"$FAKE/broken"
  touch "$FAKE/arches" "$FAKE/installed"
  [ -n "$have" ] && "$bin/apt-get" install -y -q --no-install-recommends $all >/dev/null
  [ "$have" = all+wine32 ] && "$bin/apt-get" install -y -q --no-install-recommends wine32:i386 >/dev/null
  : >"$FAKE/log"
  env "${forced[@]}" PATH="$bin:$PATH" bash "$root/scripts/bootstrap.sh" >>"$FAKE/log" 2>&1
  rc=$?
  log=$(cat "$FAKE/log") rest=$log problems=""
  [ "$rc" = "$status" ] || problems+="exit status $rc, not $status; "
  IFS=';' read -ra wanted <<<"$expect"
  for w in "${wanted[@]}"; do
    [[ "$rest" == *"$w"* ]] || { problems+="no '$w' (after the lines before); "; break; }
    rest=${rest#*"$w"}
  done
  IFS=';' read -ra nots <<<"$absent"
  for n in "${nots[@]}"; do [[ "$log" != *"$n"* ]] || problems+="'$n' appears; "; done
  if [ -z "$problems" ]; then echo "ok   $name"; else
    failed=1
    echo "FAIL $name: $problems"
    sed 's/^/       /' <<<"$log"
  fi
done
exit $failed
