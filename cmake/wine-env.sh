# Sourced by the Wine runner, the prefix set-up and the scripts: which Windows
# builds this machine can run, and the Wine loader and server for each.
#
# Two Windows trees exist: build/win (i686, the product) and build/win64
# (x86_64). Debian's /usr/bin/wine, wineboot and wineserver pick the 32-bit
# loader whenever it is installed, even on a host that cannot execute it, so
# nothing here goes through them: the loader and server are chosen from the
# build's architecture, and a prefix belongs to one architecture.

# Debian's Wine folder; ORVANE_WINE_DIR names another (the bootstrap's tests
# give a stand-in).
orvane_wine_dir=${ORVANE_WINE_DIR:-/usr/lib/wine}

# Succeeds when this machine can execute 32-bit x86 code. Some hosts run no
# i386 user space at all (execve answers "Exec format error"); the probe is a
# 93-byte static i386 ELF that only calls exit(0), so it needs no i386 package.
# ORVANE_HOST_I386=0 or 1 overrides the probe (to try the other path);
# ORVANE_I386_PROBE names a program to run in its place (the tests' stand-in).
orvane_host_runs_i386() {
  case "${ORVANE_HOST_I386:-}" in
    0) return 1 ;;
    1) return 0 ;;
  esac
  if [ -n "${ORVANE_I386_PROBE:-}" ]; then "$ORVANE_I386_PROBE" >/dev/null 2>&1; return; fi
  local probe rc
  probe=$(mktemp "${TMPDIR:-/tmp}/orvane-i386-probe.XXXXXX") || return 1
  # ELF header, one PT_LOAD program header, then: xor ebx,ebx; mov eax,1; int 0x80
  printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'\
'\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00'\
'\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00'\
'\x00\x00\x00\x00'\
'\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08'\
'\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00'\
'\x31\xdb\xb8\x01\x00\x00\x00\xcd\x80' >"$probe"
  chmod +x "$probe"
  "$probe" >/dev/null 2>&1
  rc=$?
  rm -f "$probe"
  return $rc
}

# 32-bit Wine is there: its loader and its server.
orvane_wine32_present() {
  [ -x "$orvane_wine_dir/wine" ] && [ -x "$orvane_wine_dir/wineserver32" ]
}

# Why the 32-bit build cannot run here, in words for people; nothing where it
# can. A machine that executes 32-bit code may still lack 32-bit Wine: its
# packages can lag behind the 64-bit ones in the archive, and then the
# bootstrap carries on without it.
orvane_win32_blocker() {
  if [ "${ORVANE_HOST_I386:-}" = 0 ]; then
    echo "ORVANE_HOST_I386=0 chose the 64-bit build"
  elif ! orvane_host_runs_i386; then
    echo "this machine cannot execute 32-bit code (Exec format error)"
  elif ! orvane_wine32_present; then
    echo "32-bit Wine could not be installed"
  fi
}

# Succeeds where the 32-bit build runs under 32-bit Wine.
orvane_win32_runs() { [ -z "$(orvane_win32_blocker)" ]; }

# One line for people: what this machine can run.
orvane_host_line() {
  local blocker
  blocker=$(orvane_win32_blocker)
  if [ -z "$blocker" ]; then
    echo "host: executes 32-bit code: the Windows tests run on the 32-bit (build/win) and 64-bit (build/win64) builds"
  else
    echo "host: $blocker: the Windows tests run on the 64-bit build (build/win64) only"
  fi
}

# The architecture of a Windows program from its PE header: i686 or x86_64.
orvane_pe_arch() {
  local pe machine
  pe=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ')
  [ -n "$pe" ] || return 1
  machine=$(od -An -tx2 -j$((pe + 4)) -N2 "$1" 2>/dev/null | tr -d ' ')
  case "$machine" in
    014c) echo i686 ;;
    8664) echo x86_64 ;;
    *) return 1 ;;
  esac
}

# The architecture of a Windows build tree (its toolchain's processor).
orvane_tree_arch() {
  sed -n 's/^ORVANE_WIN_ARCH:[A-Z]*=//p' "$1/CMakeCache.txt" 2>/dev/null
}

# Exports the Wine environment for a program of ARCH in PREFIX: the matching
# loader and server, the prefix's architecture, the Japanese locale (ANSI code
# page 932) and no debug output. Fails with a message where ARCH cannot run.
orvane_wine_env() {
  local arch=$1 prefix=$2
  case "$arch" in
    i686)
      local blocker
      blocker=$(orvane_win32_blocker)
      if [ -n "$blocker" ]; then
        echo "wine: $blocker; the 32-bit build cannot run here (use build/win64)" >&2
        return 1
      fi
      export WINELOADER=$orvane_wine_dir/wine WINESERVER=$orvane_wine_dir/wineserver32 WINEARCH=win32 ;;
    x86_64)
      export WINELOADER=$orvane_wine_dir/wine64 WINESERVER=$orvane_wine_dir/wineserver64 WINEARCH=win64 ;;
    *)
      echo "wine: unknown Windows architecture '$arch'" >&2
      return 1 ;;
  esac
  if [ ! -x "$WINELOADER" ] || [ ! -x "$WINESERVER" ]; then
    echo "wine: $WINELOADER or $WINESERVER is missing; run scripts/bootstrap.sh" >&2
    return 1
  fi
  export WINEPREFIX=$prefix WINEDEBUG=-all LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
}

# Runs a Windows program (or a builtin such as reg or wineboot) with the loader
# that orvane_wine_env chose.
orvane_wine() { "$WINELOADER" "$@"; }
orvane_wineserver() { "$WINESERVER" "$@"; }

# The Windows build a script runs: the 32-bit one (the product) where this
# machine runs it, the 64-bit one otherwise. Sets orvane_build_dir,
# orvane_build_arch and orvane_build_toolchain; ORVANE_WIN_BUILD=win|win64
# chooses one.
orvane_choose_build() {
  local root=$1 which=${ORVANE_WIN_BUILD:-}
  if [ -z "$which" ]; then
    if orvane_win32_runs; then which=win; else which=win64; fi
  fi
  case "$which" in
    win) orvane_build_arch=i686 orvane_build_dir=$root/build/win
         orvane_build_toolchain=$root/cmake/mingw-i686.cmake ;;
    win64) orvane_build_arch=x86_64 orvane_build_dir=$root/build/win64
           orvane_build_toolchain=$root/cmake/mingw-x86_64.cmake ;;
    *) echo "ORVANE_WIN_BUILD must be win or win64" >&2; return 1 ;;
  esac
}

# The build tree a script was given (a folder), or else the one
# orvane_choose_build takes: sets orvane_build_dir.
orvane_given_build() {
  local root=$1 given=${2:-}
  if [ -n "$given" ]; then
    orvane_build_dir=$(realpath "$given")
  else
    orvane_choose_build "$root"
  fi
}

# One line: which build runs, and why.
orvane_build_line() {
  local blocker
  if [ "$orvane_build_arch" = i686 ]; then
    echo "using the 32-bit build ($orvane_build_dir), the product"
  elif [ -n "${ORVANE_WIN_BUILD:-}" ]; then
    echo "using the 64-bit build ($orvane_build_dir), as ORVANE_WIN_BUILD asks"
  else
    blocker=$(orvane_win32_blocker)
    echo "using the 64-bit build ($orvane_build_dir): ${blocker:-the 32-bit build cannot run here}"
  fi
}
