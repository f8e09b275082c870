#!/usr/bin/env bash
# Fails when an include points the wrong way between the layers:
#   project -> platform; engine -> project, platform;
#   ui -> engine, project, platform;
#   platform -> platform; the backends (platform/sim, platform/win32) ->
#   platform and their own folder only.
# The program entry, tools, tests and benches may include anything.
set -u
root=$1
cd "$root" || exit 2

allowed() {  # layer of the including file -> allowed include prefixes (regex)
  case $1 in
    project) echo '^(project|platform)/' ;;
    engine) echo '^(engine|project|platform)/' ;;
    ui) echo '^(ui|engine|project|platform)/' ;;
    platform) echo '^platform/[^/]+$' ;;
    platform/sim) echo '^platform/([^/]+|sim/[^/]+)$' ;;
    platform/win32) echo '^platform/([^/]+|win32/[^/]+)$' ;;
  esac
}

bad=0
checked=0
for layer in project engine ui platform platform/sim platform/win32; do
  pattern=$(allowed "$layer")
  for file in "$layer"/*.cpp "$layer"/*.h; do
    [ -f "$file" ] || continue
    checked=$((checked + 1))
    # Project includes are quoted paths from the tree's root.
    while IFS= read -r target; do
      if ! [[ $target =~ $pattern ]]; then
        echo "$file includes \"$target\": $layer may not include that"
        bad=1
      fi
    done < <(sed -nE 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]+)".*/\1/p' "$file")
  done
done
if [ "$checked" -eq 0 ]; then
  echo "no source files found under $root"
  exit 2
fi
if [ "$bad" -ne 0 ]; then
  exit 1
fi
echo "Includes point one way in $checked files: ui -> engine -> project -> platform; backends -> platform."
