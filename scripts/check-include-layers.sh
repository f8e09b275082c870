#!/usr/bin/env bash
# Fails when an include points the wrong way between the layers:
#   project -> platform; engine -> project, platform;
#   ui -> engine, project, platform;
#   platform -> platform; the backends (platform/sim, platform/win32) ->
#   platform and their own folder only; no layer above the platform
#   includes a backend; tools/ -> anything but ui.
# Every source file below those folders counts, in subfolders too; headers of
# this tree are included with quotes, from the tree's root (or beside the
# including file), never through "..".
# The program entry, tests and benches may include anything.
set -u
root=$1
cd "$root" || exit 2

# Which headers a layer may include (a regex over the path from the root).
declare -A allowed=(
  [project]='^(project/|platform/[^/]+$)'
  [engine]='^((engine|project)/|platform/[^/]+$)'
  [ui]='^((ui|engine|project)/|platform/[^/]+$)'
  [platform]='^platform/[^/]+$'
  [platform/sim]='^platform/([^/]+|sim/.+)$'
  [platform/win32]='^platform/([^/]+|win32/.+)$'
  [tools]='^(engine|project|platform|tools)/'
)

bad=0
reject() {
  echo "$1"
  bad=1
}

mapfile -t files < <(find project engine ui platform tools -type f \
  \( -name '*.c' -o -name '*.cc' -o -name '*.cpp' -o -name '*.cxx' -o -name '*.h' -o -name '*.hh' \
     -o -name '*.hpp' -o -name '*.hxx' -o -name '*.inl' -o -name '*.ipp' \) 2>/dev/null | sort)
checked=${#files[@]}

# One pass over all files: "file:#include ..." lines.
include='^[[:space:]]*#[[:space:]]*include[[:space:]]*(<[^>]*>|"[^"]*"|[^[:space:]]+)'
while IFS= read -r line; do
  file=${line%%:*}
  [[ ${line#*:} =~ $include ]] || continue
  spec=${BASH_REMATCH[1]}
  case $file in
    platform/sim/*) layer=platform/sim ;;
    platform/win32/*) layer=platform/win32 ;;
    *) layer=${file%%/*} ;;
  esac
  case $spec in
    '<'*)
      target=${spec#<}
      target=${target%>}
      if [[ $target =~ ^(project|engine|ui|platform|tools|tests|bench)/ ]] || [ -f "$target" ]; then
        reject "$file includes <$target>: a header of this tree is included with quotes"
      fi
      continue
      ;;
    '"'*)
      target=${spec#\"}
      target=${target%\"}
      ;;
    *)
      reject "$file includes $spec: an include through a macro hides what it includes"
      continue
      ;;
  esac
  if [[ /$target/ == */../* ]]; then
    reject "$file includes \"$target\": an include never climbs with '..'"
    continue
  fi
  # Beside the including file first, as the compiler looks.
  [ -f "${file%/*}/$target" ] && target="${file%/*}/$target"
  if [ "$layer" = tools ] && [[ $target =~ ^ui/ ]]; then
    reject "$file includes \"$target\": the tools may not include the wizard (ui)"
  elif [[ $layer =~ ^(project|engine|ui)$ ]] && [[ $target =~ ^platform/(sim|win32)/ ]]; then
    reject "$file includes \"$target\": $layer reaches the system through platform/, never a backend"
  elif ! [[ $target =~ ${allowed[$layer]} ]]; then
    reject "$file includes \"$target\": $layer may not include that"
  fi
done < <([ "$checked" -gt 0 ] && grep -HE '^[[:space:]]*#[[:space:]]*include' "${files[@]}")

if [ "$checked" -eq 0 ]; then
  echo "no source files found under $root"
  exit 2
fi
if [ "$bad" -ne 0 ]; then
  exit 1
fi
echo "Includes point one way in $checked files: ui -> engine -> project -> platform; backends -> platform; tools -> all but ui."
