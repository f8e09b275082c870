#!/usr/bin/env bash
# The built setupproj end to end, on real files in a scratch folder:
# normalize and dump, check, scan, verify and UTF-8 input, with their exit
# statuses and their exact output. Usage: setupproj_cli_test.sh [--cp932] TOOL [ARGS...], where
# TOOL ARGS runs setupproj (the Windows build: cmake/wine-run.sh and the
# .exe; --cp932 says that it prints the ANSI code page).
set -u
cp932=0
if [ "${1:-}" = "--cp932" ]; then cp932=1; shift; fi
tool=()
for part in "$@"; do  # the work happens in a scratch folder
  if [ -e "$part" ]; then tool+=("$(realpath "$part")"); else tool+=("$part"); fi
done
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/setupproj-cli.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
failures=0

# run STATUS NAME ARGS...: runs the tool, checks its exit status and leaves
# its output (both streams, UTF-8, LF line ends) in $out.
run() {
  local want=$1 name=$2 status
  shift 2
  out=$("${tool[@]}" "$@" 2>&1 </dev/null)
  status=$?
  out=$(printf '%s' "$out" | tr -d '\r')
  if [ "$cp932" = 1 ]; then out=$(printf '%s' "$out" | iconv -f CP932 -t UTF-8); fi
  if [ "$status" != "$want" ]; then
    echo "FAIL $name: exit status $status, expected $want"
    printf '%s\n' "$out"
    failures=$((failures + 1))
  fi
}

# expect NAME TEXT: the output of the last run is exactly TEXT.
expect() {
  if [ "$out" != "$2" ]; then
    echo "FAIL $1: output differs (expected, then got)"
    printf '%s\n' "$2" | diff - <(printf '%s\n' "$out")
    failures=$((failures + 1))
  fi
}

# contains NAME TEXT: the output of the last run holds TEXT.
contains() {
  case "$out" in
    *"$2"*) ;;
    *) echo "FAIL $1: output lacks '$2'"; printf '%s\n' "$out"; failures=$((failures + 1)) ;;
  esac
}

# cp932 FILE: UTF-8 lines from stdin, written as CP932 with CR LF.
cp932() { sed 's/$/\r/' | iconv -f UTF-8 -t CP932 >"$1"; }

run 0 help --help
for command in "normalize [--from-utf8] IN OUT" "dump IN" "check PROJECT [--payload DIR] [--from-utf8]" \
               "scan DIR [--into PROJECT] [--dest TEXT] [--delete-mode N]" \
               "verify PROJECT [--payload DIR] [--answer yes|no] [--from-utf8]"; do
  contains help "setupproj $command"
done

# The example project and its payload check clean; so does the folder that
# holds both, with the project and the installer beside it.
mkdir example
cp "$root/examples/Setup.ini" example/
cp -r "$root/examples/payload" example/payload
touch example/Setup.exe

# normalize gives the canonical layout and is stable, dump reads what it
# wrote, and errors end with 1 and name the file.
run 0 normalize normalize example/Setup.ini a.ini
run 0 renormalize normalize a.ini b.ini
cmp -s a.ini b.ini || { echo "FAIL renormalize: normalize is not stable"; failures=$((failures + 1)); }
head -c 20 a.ini | grep -q '^\[Project Property\]' || { echo "FAIL normalize: no canonical first section"; failures=$((failures + 1)); }
run 0 dump dump a.ini
contains dump "Files.Count=4"
# A value that ends in a lead byte keeps its line end (the Windows build
# prints the byte itself, which the conversion of this test cannot read).
if [ "$cp932" = 0 ]; then
  printf '[Information]\r\nline0000=\x81\r\n' >lead.ini
  run 0 dump-lead-byte dump lead.ini
  contains dump-lead-byte "Information[0]=?
MessageDisp=2"
fi
run 1 dump-missing dump missing.ini
expect dump-missing "setupproj dump: cannot read the project file 'missing.ini'"
run 1 normalize-unwritable normalize example/Setup.ini no/such/folder/x.ini
run 1 no-command frobnicate
contains no-command "usage: setupproj"

run 0 example-check check example/Setup.ini
expect example-check ""
run 0 example-payload check example/Setup.ini --payload example/payload
expect example-payload ""
run 0 example-medium check example/Setup.ini --payload example
expect example-medium ""

# The deliberately broken example: exactly its findings (as the README shows
# them), exit status 2.
mkdir -p examples
cp -r "$root/examples/broken" "$root/examples/payload" examples/
run 2 broken-example check examples/broken/Setup.ini --payload examples/payload
expect broken-example "examples/broken/Setup.ini:2: warning: blank before '=': its key is 'Name1 ', not 'Name1', so the line is never read
examples/broken/Setup.ini:6: warning: the payload file 'userdata.txt' is installed by no record
examples/broken/Setup.ini:9: error: its folder '[Install Folder]\\doc' is made by no folder record: the copy fails there and the installation stops
examples/broken/Setup.ini:10: error: the destination '[install folder]\\config.ini' is relative: '[install folder]' is not a keyword: keywords are matched in their exact letter case ('[Install Folder]')
examples/broken/Setup.ini:11: warning: 'file00004' is never read: the list ends at the missing 'file00003'
examples/broken/Setup.ini:15: warning: the folder '[Install Folder]\\data' is left behind on uninstall: it is listed after its subfolder '[Install Folder]\\data\\cache' (line 14), and folders are removed last first, so it is not empty when its turn comes
examples/broken/Setup.ini:16: warning: the folder '[Install Folder]\\logs' is left behind on uninstall: it is made only as the parent of '[Install Folder]\\logs\\old' (line 16), and no folder record removes it
examples/broken/Setup.ini:19: error: its folder 'スタート\\プログラム\\Orvane Broken' is made by no folder record: the shortcut cannot be saved there and the installation stops"

# A broken project: exactly its findings, exit status 2.
mkdir broken broken/payload
echo a >broken/payload/a.txt
echo b >broken/payload/extra.txt
cp932 broken/Setup.ini <<'TEXT'
[Project Property]
Name1 = Tool
InstallMode=1
[Copy File]
SubDirectory=Tool
file00000=payload\a.txt*[Install Folder]\bin\a.txt*0
file00001=payload\gone.txt*[install folder]\gone.txt*0
[Make Folder]
file00000=[Install Folder]\doc\sub*0
file00001=[Install Folder]\doc*0
[ShortCut File]
file00000=スタート\プログラム\Tool\Tool*[Install Folder]\bin\a.txt**0*Tool**0
[UnInstall Property]
UnInstallKey=Tool
UnInstallName=Tool
DisplayVersion=1.0
Publisher=Orvane
TEXT
run 2 broken check broken/Setup.ini --payload broken/payload
expect broken "broken/Setup.ini:2: warning: blank before '=': its key is 'Name1 ', not 'Name1', so the line is never read
broken/Setup.ini:3: error: InstallMode 1: the program would start as the uninstaller of an installed copy; a project to ship has 0
broken/Setup.ini:4: warning: the payload file 'extra.txt' is installed by no record
broken/Setup.ini:6: error: its folder '[Install Folder]\\bin' is made by no folder record: the copy fails there and the installation stops
broken/Setup.ini:7: error: the destination '[install folder]\\gone.txt' is relative: '[install folder]' is not a keyword: keywords are matched in their exact letter case ('[Install Folder]')
broken/Setup.ini:7: error: the source 'payload\\gone.txt' is not found beside the project (nor in the payload folder): the copy fails and the installation stops
broken/Setup.ini:10: warning: the folder '[Install Folder]\\doc' is left behind on uninstall: it is listed after its subfolder '[Install Folder]\\doc\\sub' (line 9), and folders are removed last first, so it is not empty when its turn comes
broken/Setup.ini:12: error: its folder 'スタート\\プログラム\\Tool' is made by no folder record: the shortcut cannot be saved there and the installation stops
broken/Setup.ini:12: warning: the target '[Install Folder]\\bin\\a.txt' is not among the installed files"
run 2 unreadable check broken/missing.ini
contains unreadable "cannot read the project file 'broken/missing.ini'"
run 2 bad-payload check broken/Setup.ini --payload broken/nothing
run 2 bad-option check broken/Setup.ini --frobnicate

# scan: records of a payload, then merged into a project that check finds
# clean; a later change of the payload shows in check --payload.
mkdir -p tool/payload/data/empty
echo x >tool/payload/readme.txt
echo y >tool/payload/data/config.ini
run 0 scan-print scan tool/payload
expect scan-print '[Make Folder]
file00000=[Install Folder]\data*0
file00001=[Install Folder]\data\empty*0

[Copy File]
file00000=tool\payload\data\config.ini*[Install Folder]\data\config.ini*0
file00001=tool\payload\readme.txt*[Install Folder]\readme.txt*0'
cp932 tool/Setup.ini <<'TEXT'
[Project Property]
Name1=ツール
[Copy File]
SubDirectory=Tool
file00000=payload\readme.txt*[Install Folder]\readme.txt*1
[Make Folder]
file00000=スタート\プログラム\ツール*0
[ShortCut File]
file00000=スタート\プログラム\ツール\はじめに*[Install Folder]\readme.txt*[Install Folder]*0*説明**0
[UnInstall Property]
UnInstallKey=Tool
UnInstallName=ツール
DisplayVersion=1.0
Publisher=Orvane
TEXT
run 0 scan-into scan tool/payload --into tool/Setup.ini --delete-mode 2
expect scan-into "tool/Setup.ini: 3 folder records, 2 file records"
run 0 scanned-check check tool/Setup.ini --payload tool/payload
expect scanned-check ""
run 0 scanned-dump dump tool/Setup.ini
contains scanned-dump "Files[0]	SourceFile=payload\\data\\config.ini	DestFile=[Install Folder]\\data\\config.ini	DeleteMode=2"
contains scanned-dump "Files[1]	SourceFile=payload\\readme.txt	DestFile=[Install Folder]\\readme.txt	DeleteMode=1"
contains scanned-dump "Folders[0]	FolderPath=スタート\\プログラム\\ツール	KeepOnUninstall=0"
echo z >tool/payload/new.txt
rm tool/payload/readme.txt
run 2 payload-changed check tool/Setup.ini --payload tool/payload
# (The project is in the canonical layout now, so its lines moved.)
expect payload-changed "tool/Setup.ini:16: warning: the payload file 'new.txt' is installed by no record
tool/Setup.ini:19: error: the source 'payload\\readme.txt' is not found beside the project (nor in the payload folder): the copy fails and the installation stops"
# A medium: the project, the installer and the payload in one folder. The
# project is made by the first scan; neither it nor the installer is a
# record of the payload.
mkdir medium
echo r >medium/readme.txt
touch medium/Setup.exe
run 0 scan-medium scan medium --into medium/Setup.ini
expect scan-medium "medium/Setup.ini: 0 folder records, 1 file records"
run 0 rescan-medium scan medium --into medium/Setup.ini
expect rescan-medium "medium/Setup.ini: 0 folder records, 1 file records"
run 0 medium-dump dump medium/Setup.ini
contains medium-dump "Files[0]	SourceFile=readme.txt	DestFile=[Install Folder]\\readme.txt	DeleteMode=0"
run 1 medium-check check medium/Setup.ini --payload medium
expect medium-check "medium/Setup.ini:20: warning: SubDirectory is empty: the proposed installation folder is the Program Files folder itself
medium/Setup.ini:24: warning: UnInstallKey is empty: the product is installed without an uninstall registration and never shows in the list of installed programs"

run 1 scan-bad-dest scan tool/payload --dest data
contains scan-bad-dest "must begin with a folder keyword or be a full path"

# UTF-8 project files: converted by normalize, read by check when they
# begin with a BOM; a character that CP932 lacks is named with its line.
mkdir utf8
{ printf '\xEF\xBB\xBF'; sed 's/$/\r/'; } >utf8/bom.ini <<'TEXT'
[Project Property]
Name1=表示ソフト
[Copy File]
SubDirectory=ソフト
[UnInstall Property]
UnInstallKey=Soft
UnInstallName=表示ソフト
DisplayVersion=1.0
Publisher=Orvane
TEXT
tail -c +4 utf8/bom.ini >utf8/plain.ini
iconv -f UTF-8 -t CP932 utf8/plain.ini >utf8/cp932.ini
run 0 normalize-cp932 normalize utf8/cp932.ini utf8/expected.ini
run 0 normalize-from-utf8 normalize --from-utf8 utf8/plain.ini utf8/converted.ini
cmp -s utf8/expected.ini utf8/converted.ini || { echo "FAIL normalize-from-utf8: output differs"; failures=$((failures + 1)); }
run 0 normalize-bom normalize utf8/bom.ini utf8/from-bom.ini
cmp -s utf8/expected.ini utf8/from-bom.ini || { echo "FAIL normalize-bom: output differs"; failures=$((failures + 1)); }
run 0 dump-bom dump utf8/bom.ini
contains dump-bom "Name1=表示ソフト"
run 0 check-bom check utf8/bom.ini
expect check-bom ""
sed 's/^Name1=.*/Name1=Café/' utf8/plain.ini >utf8/accent.ini
accent=é
[ "$cp932" = 1 ] && accent="?"  # the ANSI code page has no room for it
run 1 normalize-accent normalize --from-utf8 utf8/accent.ini utf8/accent-out.ini
expect normalize-accent "utf8/accent.ini:2: error: '$accent' (U+00E9) cannot be written in CP932, the code page of the project file"
[ ! -e utf8/accent-out.ini ] || { echo "FAIL normalize-accent: the output was written"; failures=$((failures + 1)); }
run 2 check-accent check --from-utf8 utf8/accent.ini
expect check-accent "utf8/accent.ini:2: error: '$accent' (U+00E9) cannot be written in CP932, the code page of the project file"

# verify: the installer's engine on the simulated machine. The example keeps
# what it says it keeps; the broken one stops at its file in a missing
# folder; a small project leaves nothing, exactly as printed here.
run 1 verify-example verify example/Setup.ini --answer no
contains verify-example "kept [Install Folder]\\data\\config.ini: its DeleteMode 2 question was answered No (line 43)"
contains verify-example "result: installed; what is left behind is what the project keeps (exit status 1)"
run 2 verify-broken verify examples/broken/Setup.ini --payload examples/payload
contains verify-broken "installation: FAILED: line 9: Failed to copy D:\\medium\\..\\payload\\manual.txt to C:\\Program Files\\Orvane Broken\\doc\\manual.txt (error 3); its folder '[Install Folder]\\doc' is not there: no folder record makes it"
mkdir -p small/payload
# 5000 bytes: the entry's size counts them (with the program and its project copy).
head -c 5000 /dev/zero | tr '\0' x >small/payload/one.txt
cp932 small/Setup.ini <<'TEXT'
[Project Property]
Name1=表示ソフト
[Copy File]
DirectorySwitch=1
SubDirectory=表示ソフト 100%
file00000=payload\one.txt*[Install Folder]\one.txt*2
[Make Folder]
file00000=スタート\プログラム\表示ソフト*0
[ShortCut File]
file00000=スタート\プログラム\表示ソフト\表示*[Install Folder]\one.txt*[Install Folder]*0*表示**0
[UnInstall Property]
UnInstallKey=Hyouji
UnInstallName=表示ソフト
TEXT
run 0 verify-small verify small/Setup.ini
expect verify-small 'verify small/Setup.ini on a simulated Windows
installation folder: C:\Program Files\表示ソフト 100%
DeleteMode 2 questions answered: yes

installation: succeeded
  folder    [Install Folder]
  file      [Install Folder]\one.txt
  file      [Install Folder]\Setup.exe (the uninstaller)
  file      [Install Folder]\Setup.ini (its project file, InstallMode 1)
  folder    スタート\プログラム\表示ソフト
  shortcut  スタート\プログラム\表示ソフト\表示.lnk -> [Install Folder]\one.txt
  registry  HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Hyouji
  registry  HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Hyouji [DisplayIcon] = String:"C:\Program Files\表示ソフト 100%\Setup.exe",0
  registry  HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Hyouji [DisplayName] = String:表示ソフト
  registry  HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Hyouji [EstimatedSize] = Dword:6 (KB: the installed files, rounded up)
  registry  HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Hyouji [InstallDate] = String:20260401
  registry  HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Hyouji [InstallLocation] = String:C:\Program Files\表示ソフト 100%
  registry  HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Hyouji [NoModify] = Dword:1
  registry  HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Hyouji [NoRepair] = Dword:1
  registry  HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Hyouji [UninstallString] = String:"C:\Program Files\表示ソフト 100%\Setup.exe"

uninstallation: succeeded
  question  アンインストールを実行しますか？ -> yes
  question  ファイル"C:\Program Files\表示ソフト 100%\one.txt"を削除しますか？ -> yes
  message   アンインストール完了しました (information box)

removed by the self-removal once the uninstaller has ended:
  [Install Folder]\
  [Install Folder]\Setup.exe
  [Install Folder]\Setup.ini

left behind: nothing

result: installed, and the uninstallation leaves nothing behind (exit status 0)'
run 1 verify-small-no verify small/Setup.ini --answer no
contains verify-small-no "kept [Install Folder]\\one.txt: its DeleteMode 2 question was answered No (line 6)"
rm small/payload/one.txt
run 2 verify-small-missing verify small/Setup.ini
contains verify-small-missing "installation: FAILED: line 6: Failed to copy D:\\medium\\payload\\one.txt to"
run 0 verify-bom verify utf8/bom.ini
contains verify-bom "installation folder: C:\\Program Files\\ソフト"
run 2 verify-answer verify small/Setup.ini --answer maybe
contains verify-answer "usage: setupproj verify PROJECT [--payload DIR] [--answer yes|no] [--from-utf8]"
run 2 verify-unreadable verify small/missing.ini

# A new version over an old one (tests/upgrade): verify installs both into one
# folder and the new uninstaller removes what only the old one installed;
# check names those destinations at the old project's lines.
cp -r "$root/tests/upgrade" upgrade
run 0 verify-over verify upgrade/v2/Setup.ini --over upgrade/v1/Setup.ini --payload upgrade/payload
contains verify-over "previous  [Install Folder]\\Setup.ini (read: carried 1 folder, 2 files and 1 shortcut)"
contains verify-over "removed   [Install Folder]\\old.txt (installed by OLD only)"
contains verify-over "removed   [Install Folder]\\plugins\\plugin.txt (installed by OLD only)"
contains verify-over "removed   スタート\\プログラム\\Orvane Upgrade\\App 1.lnk (installed by OLD only)"
contains verify-over "left behind: nothing"
run 1 check-over check upgrade/v2/Setup.ini --over upgrade/v1/Setup.ini --payload upgrade/payload
contains check-over "upgrade/v1/Setup.ini:12: warning: the file '[Install Folder]\\old.txt' is not in the new version"
contains check-over "upgrade/v1/Setup.ini:15: warning: the folder '[Install Folder]\\plugins' is not in the new version"

if [ "$failures" -ne 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "setupproj end to end: all cases passed"
