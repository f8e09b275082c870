#!/usr/bin/env bash
# The bootstrap's decisions on made-up machines: apt-get, dpkg, dpkg-query,
# id, locale and sleep are stand-ins on PATH that keep their state in a
# folder, the 32-bit probe and the Wine folder are stand-ins too. Nothing
# real is installed or fetched.
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
bin=$work/bin
mkdir -p "$bin"

# apt-get: "update" fails as many times as $FAKE/update-fails says ("always":
# every time, as with an i386 index out of step); "install" fails when it is
# asked for a package listed in $FAKE/broken, and otherwise installs all.
cat >"$bin/apt-get" <<'SH'
#!/usr/bin/env bash
echo "apt-get $*" >>"$FAKE/log"
case "$1" in
  update)
    left=$(cat "$FAKE/update-fails" 2>/dev/null || echo 0)
    if [ "$left" = always ] || [ "$left" -gt 0 ]; then
      [ "$left" = always ] || echo $((left - 1)) >"$FAKE/update-fails"
      echo "E: Failed to fetch http://deb.example/binary-i386/Packages.xz  File has unexpected size (1 != 2). Mirror sync in progress?"
      echo "E: Some index files failed to download. They have been ignored, or old ones used instead."
      exit 100
    fi ;;
  install)
    shift
    packages=()
    for p in "$@"; do case "$p" in -*) ;; *) packages+=("$p") ;; esac; done
    for p in "${packages[@]}"; do
      if grep -qx "$p" "$FAKE/broken" 2>/dev/null; then
        echo "E: Unable to correct problems, you have held broken packages."
        exit 100
      fi
    done
    for p in "${packages[@]}"; do
      echo "$p" >>"$FAKE/installed"
      case "$p" in
        wine64) touch "$ORVANE_WINE_DIR/wine64" "$ORVANE_WINE_DIR/wineserver64" ;;
        wine32:i386) touch "$ORVANE_WINE_DIR/wine" "$ORVANE_WINE_DIR/wineserver32" ;;
      esac
      chmod +x "$ORVANE_WINE_DIR"/* 2>/dev/null
    done ;;
esac
SH
cat >"$bin/dpkg" <<'SH'
#!/usr/bin/env bash
echo "dpkg $*" >>"$FAKE/log"
case "$1" in
  --print-foreign-architectures) cat "$FAKE/arches" 2>/dev/null ;;
  --add-architecture) echo "$2" >>"$FAKE/arches" ;;
esac
SH
cat >"$bin/dpkg-query" <<'SH'
#!/usr/bin/env bash
for p in "$@"; do
  case "$p" in -*) ;; *) grep -qx "$p" "$FAKE/installed" 2>/dev/null && echo "$p install ok installed" ;; esac
done
SH
printf '#!/bin/sh\necho "$FAKE_UID"\n' >"$bin/id"
printf '#!/bin/sh\necho ja_JP.utf8\n' >"$bin/locale"
printf '#!/bin/sh\necho "sleep $*" >>"$FAKE/log"\n' >"$bin/sleep"
printf '#!/bin/sh\nexit 0\n' >"$bin/runs-i386"
printf '#!/bin/sh\nexit 126\n' >"$bin/no-i386"  # what execve's "Exec format error" gives
chmod +x "$bin"/*

all="g++-mingw-w64-i686-posix binutils-mingw-w64-i686 g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
xvfb xauth fonts-ipafont-gothic locales cmake g++ googletest libgtest-dev osslsigncode openssl python3"

# name | probe | uid | installed already (all, none, all+wine32) | update failures | broken packages |
# exit status | lines the output holds (; between) | calls the log holds in this order (; between) |
# what neither holds
cases=(
  "fresh 32-bit machine|runs-i386|0|none|0||0|host: executes 32-bit code|dpkg --add-architecture i386;apt-get update;apt-get install -y -q --no-install-recommends g++-mingw-w64-i686-posix;apt-get install -y -q --no-install-recommends wine32:i386|sleep"
  "index fails twice, then works|runs-i386|0|none|2||0|host: executes 32-bit code|apt-get update;sleep 10;apt-get update;sleep 20;apt-get update;apt-get install -y -q --no-install-recommends g++|failed 3 times"
  "i386 index out of step, wine32 broken|runs-i386|0|none|always|wine32:i386|0|apt-get update failed 3 times (E: Some index files failed;32-bit Wine could not be installed (E: Unable to correct;host: 32-bit Wine could not be installed: the Windows tests run on the 64-bit build (build/win64) only|apt-get update;apt-get update;apt-get update;apt-get install -y -q --no-install-recommends g++-mingw;apt-get install -y -q --no-install-recommends wine32:i386|Exec format error"
  "only wine32 missing and broken|runs-i386|0|all|0|wine32:i386|0|32-bit Wine could not be installed;host: 32-bit Wine could not be installed|apt-get update;apt-get install -y -q --no-install-recommends wine32:i386|bootstrap: installing g++"
  "machine without 32-bit code|no-i386|0|none|0||0|host: this machine cannot execute 32-bit code (Exec format error): the Windows tests run on the 64-bit build (build/win64) only|apt-get update;apt-get install -y -q --no-install-recommends g++-mingw|wine32;add-architecture"
  "64-bit path forced|runs-i386|0|all|0||0|host: ORVANE_HOST_I386=0 chose the 64-bit build||Exec format error;apt-get"
  "64-bit package broken|no-i386|0|none|0|xvfb|1|installing g++-mingw-w64-i686-posix binutils-mingw-w64-i686 g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 xvfb;failed: E: Unable to correct problems|apt-get install -y -q --no-install-recommends g++-mingw|host:"
  "everything there|runs-i386|0|all+wine32|0||0|host: executes 32-bit code||apt-get;bootstrap:"
  "not root, wine32 missing|runs-i386|1000|all|0||0|only root can install it;host: 32-bit Wine could not be installed||apt-get"
  "not root, packages missing|runs-i386|1000|none|0||1|missing packages (g++-mingw-w64-i686-posix||apt-get;host:"
)
failed=0
for c in "${cases[@]}"; do
  IFS='|' read -r name probe uid have fails broken status expect calls absent <<<"$c"
  export FAKE=$work/$(tr ' ,' '__' <<<"$name")
  mkdir -p "$FAKE/wine"
  export ORVANE_WINE_DIR=$FAKE/wine ORVANE_I386_PROBE=$bin/$probe FAKE_UID=$uid
  case "$have" in
    all) tr ' ' '\n' <<<"$all wine64" >"$FAKE/installed" ;;
    all+wine32) tr ' ' '\n' <<<"$all wine64" >"$FAKE/installed"; echo i386 >"$FAKE/arches" ;;
  esac
  case "$have" in all*) touch "$FAKE/wine/wine64" "$FAKE/wine/wineserver64" ;; esac
  [ "$have" = all+wine32 ] && touch "$FAKE/wine/wine" "$FAKE/wine/wineserver32"
  chmod +x "$FAKE/wine"/* 2>/dev/null
  echo "$fails" >"$FAKE/update-fails"
  tr ' ' '\n' <<<"$broken" >"$FAKE/broken"
  touch "$FAKE/log"
  forced=()
  [ "$name" = "64-bit path forced" ] && forced=(ORVANE_HOST_I386=0)
  out=$(env "${forced[@]}" PATH="$bin:$PATH" bash "$root/scripts/bootstrap.sh" 2>&1)
  rc=$?
  problems=()
  [ "$rc" = "$status" ] || problems+=("exit status $rc, not $status")
  IFS=';' read -ra lines <<<"$expect"
  for l in "${lines[@]}"; do grep -qF -- "$l" <<<"$out" || problems+=("no output line with '$l'"); done
  # The calls in order: each one after the one before.
  log=$(cat "$FAKE/log")
  IFS=';' read -ra wanted <<<"$calls"
  for w in "${wanted[@]}"; do
    rest=${log#*"$w"}
    if [ "$rest" = "$log" ]; then problems+=("no call '$w' (after the ones before)"); break; fi
    log=$rest
  done
  IFS=';' read -ra nots <<<"$absent"
  for n in "${nots[@]}"; do
    if grep -qF -- "$n" <<<"$out" || grep -qF -- "$n" "$FAKE/log"; then problems+=("'$n' appears"); fi
  done
  if [ ${#problems[@]} -eq 0 ]; then
    echo "ok   $name"
  else
    failed=1
    echo "FAIL $name: $(printf '%s; ' "${problems[@]}")"
    sed 's/^/       out: /' <<<"$out"
    sed 's/^/       log: /' "$FAKE/log"
  fi
done
exit $failed
