#!/usr/bin/env bash
# Installs what the build and the tests need on a fresh Debian 12 machine and
# says in one line whether this machine can execute 32-bit code (the 32-bit
# Windows build runs under 32-bit Wine only where it can).
# Quick and quiet when everything is already there.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/cmake/wine-env.sh"

runs_i386=0
orvane_host_runs_i386 && runs_i386=1

need=()
command -v i686-w64-mingw32-g++-posix >/dev/null 2>&1 || need+=(g++-mingw-w64-i686)
command -v i686-w64-mingw32-windres >/dev/null 2>&1 || need+=(binutils-mingw-w64-i686)
command -v x86_64-w64-mingw32-g++-posix >/dev/null 2>&1 || need+=(g++-mingw-w64-x86-64)
command -v x86_64-w64-mingw32-windres >/dev/null 2>&1 || need+=(binutils-mingw-w64-x86-64)
[ -x /usr/lib/wine/wine64 ] || need+=(wine64)
# 32-bit Wine only where 32-bit code runs: elsewhere it cannot even start.
if [ "$runs_i386" = 1 ] && [ ! -x /usr/lib/wine/wine ]; then need+=(wine32:i386); fi
command -v Xvfb >/dev/null 2>&1 || need+=(xvfb)
command -v xauth >/dev/null 2>&1 || need+=(xauth)
dpkg -s fonts-ipafont-gothic >/dev/null 2>&1 || need+=(fonts-ipafont-gothic)
dpkg -s locales >/dev/null 2>&1 || need+=(locales)
command -v cmake >/dev/null 2>&1 || need+=(cmake)
command -v g++ >/dev/null 2>&1 || need+=(g++)
[ -f /usr/src/googletest/CMakeLists.txt ] || need+=(googletest libgtest-dev)

if [ ${#need[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "bootstrap: missing packages (${need[*]}); run this script as root" >&2
    exit 1
  fi
  echo "bootstrap: installing ${need[*]}"
  if [ "$runs_i386" = 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq >/dev/null
  apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi

if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "bootstrap: the ja_JP.UTF-8 locale is missing; run this script as root" >&2
    exit 1
  fi
  echo "bootstrap: generating the ja_JP.UTF-8 locale"
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null || echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi

orvane_host_line
