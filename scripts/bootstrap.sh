#!/usr/bin/env bash
# Installs what the build and the tests need on a fresh Debian 12 machine.
# Quick and quiet when everything is already there.
set -euo pipefail

need=()
command -v i686-w64-mingw32-g++ >/dev/null 2>&1 || need+=(g++-mingw-w64-i686)
command -v i686-w64-mingw32-windres >/dev/null 2>&1 || need+=(binutils-mingw-w64-i686)
command -v wine >/dev/null 2>&1 || need+=(wine)
dpkg -s wine32:i386 >/dev/null 2>&1 || need+=(wine32:i386)
command -v Xvfb >/dev/null 2>&1 || need+=(xvfb)
command -v xauth >/dev/null 2>&1 || need+=(xauth)
dpkg -s fonts-ipafont-gothic >/dev/null 2>&1 || need+=(fonts-ipafont-gothic)
dpkg -s locales >/dev/null 2>&1 || need+=(locales)
command -v cmake >/dev/null 2>&1 || need+=(cmake)
command -v g++ >/dev/null 2>&1 || need+=(g++)
[ -f /usr/src/googletest/CMakeLists.txt ] || need+=(googletest libgtest-dev)
dpkg -s libbenchmark-dev >/dev/null 2>&1 || need+=(libbenchmark-dev)
command -v xwd >/dev/null 2>&1 || need+=(x11-apps)
command -v convert >/dev/null 2>&1 || command -v pnmtopng >/dev/null 2>&1 || need+=(netpbm)

if [ ${#need[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "bootstrap: missing packages (${need[*]}); run this script as root" >&2
    exit 1
  fi
  echo "bootstrap: installing ${need[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
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
