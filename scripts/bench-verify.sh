#!/usr/bin/env bash
# Times setupproj verify of a project of 2,000 files (40 folders of 50, made
# with setupproj scan) on the native build (optimized, and the test tree's
# one under the sanitizers) and on a Windows build under Wine, beside the same program's --help (its start, and Wine's, which every
# run pays too). Median, min and max of the rounds. Not part of the test run.
# Usage: scripts/bench-verify.sh [windows-build-dir] [files] [rounds]
# Without a build folder it takes the 32-bit build where this machine can
# execute 32-bit code and the 64-bit build otherwise, and says which.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
. "$here/cmake/wine-env.sh"
orvane_given_build "$here" "${1:-}"
build=$orvane_build_dir
files=${2:-2000}
rounds=${3:-5}
native=$here/build/native/bench/setupproj_fast  # optimized, without the sanitizers
sanitized=$here/build/native/tools/setupproj     # the native tree's own, under ASan and UBSan
windows=$build/tools/setupproj.exe
[ -x "$native" ] && [ -x "$sanitized" ] && [ -f "$windows" ] || {
  echo "build $native, $sanitized and $windows first (the setupproj_fast and setupproj targets)" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/bench-verify.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"
for ((i = 0; i < files; i++)); do
  folder=payload/folder$((i / 50))
  [ -d "$folder" ] || mkdir -p "$folder"
  echo "file $i" >"$folder/file$i.txt"
done
printf '[Project Property]\r\nName1=Bench\r\n[Copy File]\r\nDirectorySwitch=1\r\nSubDirectory=Orvane Bench\r\n[UnInstall Property]\r\nUnInstallKey=OrvaneBench\r\nUnInstallName=Bench\r\n' >Setup.ini
"$native" scan payload --into Setup.ini >/dev/null

# rounds of a command: "median min max" in milliseconds; the last run's
# output is left in $work/out.txt.
timed() {
  local times=() start end
  for ((r = 0; r < rounds; r++)); do
    start=$(date +%s%N)
    "$@" >out.txt 2>&1 || true
    end=$(date +%s%N)
    times+=($(( (end - start) / 1000000 )))
  done
  printf '%s\n' "${times[@]}" | sort -n | awk '{t[NR] = $1} END {print t[int((NR + 1) / 2)], t[1], t[NR]}'
}
report() {  # label "median min max"
  set -- "$1" $2
  printf '%-40s median %6d ms   min %6d ms   max %6d ms\n' "$1" "$2" "$3" "$4"
}

echo "setupproj verify: $files files in $(( (files + 49) / 50 )) folders, $rounds rounds"
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
report "native verify" "$(timed "$native" verify Setup.ini)"
tail -n 1 out.txt
report "native --help" "$(timed "$native" --help)"
report "native verify (ASan and UBSan)" "$(timed "$sanitized" verify Setup.ini)"
arch=$(orvane_pe_arch "$windows")
"$here/cmake/wine-run.sh" "$windows" --help >/dev/null 2>&1 || true  # the prefix and its server, once
report "$arch verify under Wine" "$(timed "$here/cmake/wine-run.sh" "$windows" verify Setup.ini)"
tail -n 1 out.txt | tr -d '\r'
report "$arch --help under Wine" "$(timed "$here/cmake/wine-run.sh" "$windows" --help)"
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
