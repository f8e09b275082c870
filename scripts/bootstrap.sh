#!/usr/bin/env bash
# Installs what the build and the tests need on a fresh Debian 12 machine and
# says in one line which Windows builds the tests run on (the 32-bit Windows
# build runs under 32-bit Wine only where the machine executes 32-bit code
# and 32-bit Wine could be installed).
# Quick and quiet when everything is already there.
#
# What the 64-bit path needs is installed first, and the run stops when that
# fails. 32-bit Wine comes after it, on its own: the archive's i386 packages
# and index files can lag behind the amd64 ones for a while, and then this
# machine carries on as one without 32-bit code. apt-get update is tried a
# few times; index files that still fail are left to the lists there are.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/cmake/wine-env.sh"

runs_i386=0
orvane_host_runs_i386 && runs_i386=1

packages=(g++-mingw-w64-i686-posix binutils-mingw-w64-i686 g++-mingw-w64-x86-64-posix
  binutils-mingw-w64-x86-64 xvfb xauth fonts-ipafont-gothic locales cmake g++ googletest libgtest-dev
  osslsigncode openssl python3)
# dpkg-query fails when it knows one of them not at all.
there=" $(dpkg-query -W -f='${Package} ${Status}\n' "${packages[@]}" 2>/dev/null |
  awk '$2 == "install" && $3 == "ok" && $4 == "installed" { printf "%s ", $1 }' || true)"
need=()
for package in "${packages[@]}"; do
  case "$there" in *" $package "*) ;; *) need+=("$package") ;; esac
done
[ -x "$orvane_wine_dir/wine64" ] && [ -x "$orvane_wine_dir/wineserver64" ] || need+=(wine64)
# 32-bit Wine only where 32-bit code runs: elsewhere it cannot even start.
want_wine32=0
if [ "$runs_i386" = 1 ] && ! orvane_wine32_present; then want_wine32=1; fi

# The last error line apt-get wrote, for a one-line report.
apt_error() { grep -E '^(E|W): ' <<<"$1" | tail -n 1 | cut -c 1-200; }

apt_update() {
  local try out=""
  for try in 1 2 3; do
    if out=$(apt-get update 2>&1); then return 0; fi
    [ "$try" -lt 3 ] && sleep $((try * 10))
  done
  echo "bootstrap: apt-get update failed 3 times ($(apt_error "$out")); going on with the package lists there are"
}

if [ "$(id -u)" -ne 0 ]; then
  if [ ${#need[@]} -gt 0 ]; then
    echo "bootstrap: missing packages (${need[*]}); run this script as root" >&2
    exit 1
  fi
  if [ "$want_wine32" = 1 ]; then
    echo "bootstrap: 32-bit Wine is missing and only root can install it; carrying on without it"
  fi
elif [ ${#need[@]} -gt 0 ] || [ "$want_wine32" = 1 ]; then
  export DEBIAN_FRONTEND=noninteractive
  if [ "$want_wine32" = 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  apt_update
  if [ ${#need[@]} -gt 0 ]; then
    echo "bootstrap: installing ${need[*]}"
    if ! out=$(apt-get install -y -q --no-install-recommends "${need[@]}" 2>&1); then
      echo "bootstrap: installing ${need[*]} failed: $(apt_error "$out")" >&2
      exit 1
    fi
  fi
  if [ "$want_wine32" = 1 ]; then
    echo "bootstrap: installing wine32:i386"
    if ! out=$(apt-get install -y -q --no-install-recommends wine32:i386 2>&1) || ! orvane_wine32_present; then
      echo "bootstrap: 32-bit Wine could not be installed ($(apt_error "$out")); carrying on as on a machine without 32-bit code"
    fi
  fi
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
