#!/usr/bin/env bash
# The source checks on small trees: each wrong tree must fail with its
# rule's message, and a tree that keeps the rules must pass.
# usage: checks_reject_test.sh SCRIPTS_DIR
set -u
scripts=$1
failures=0

# script | file | its text | exit code | text the output must hold
cases=(
  'check-include-layers.sh|engine/f.cpp|#include "platform/sim/Sim.h"|1|engine reaches the system through platform/, never a backend'
  'check-include-layers.sh|ui/g.cpp|#include "platform/win32/Handles.h"|1|ui reaches the system through platform/, never a backend'
  'check-include-layers.sh|project/p.h|#include "platform/sim/SimLocale.h"|1|project reaches the system through platform/, never a backend'
  'check-include-layers.sh|engine/f.cpp|#include <engine/RunPath_unit.h>|1|a header of this tree is included with quotes'
  'check-include-layers.sh|engine/sub/f.cpp|#include "ui/SetupMain_unit.h"|1|engine/sub/f.cpp includes "ui/SetupMain_unit.h": engine may not include that'
  'check-include-layers.sh|engine/f.hpp|#include "ui/SetupMain_unit.h"|1|engine/f.hpp includes "ui/SetupMain_unit.h": engine may not include that'
  'check-include-layers.sh|platform/f.cpp|#include "platform/../ui/PathLbl.h"|1|an include never climbs with'
  'check-include-layers.sh|tools/setupproj/t.cpp|#include "ui/PathLbl.h"|1|the tools may not include the wizard (ui)'
  'check-include-layers.sh|engine/f.cpp|#include HEADER|1|an include through a macro'
  'check-include-layers.sh|engine/f.cpp|#include "platform/Error.h"\n#include <vector>|0|Includes point one way'
  'check-windows-headers.sh|engine/f.cpp|#include <shlwapi.h>|1|engine/f.cpp includes <shlwapi.h>: a Windows SDK header'
  'check-windows-headers.sh|tools/setupproj/t.cpp|#include <aclapi.h>|1|includes <aclapi.h>: a Windows SDK header'
  'check-windows-headers.sh|platform/Security.cpp|#include <sddl.h>|1|includes <sddl.h>: a Windows SDK header'
  'check-windows-headers.sh|tests/x_test.cpp|#include <winnetwk.h>|1|includes <winnetwk.h>: a Windows SDK header'
  'check-windows-headers.sh|ui/w.h|#include "windows.h"|1|includes "windows.h": a Windows SDK header'
  'check-windows-headers.sh|engine/f.cpp|#include WINDOWS_HEADER|1|an include through a macro'
  'check-windows-headers.sh|platform/win32/f.cpp|#include <windows.h>\n#include <shlwapi.h>|0|stay in platform/win32'
  'check-windows-headers.sh|engine/f.cpp|#include <vector>\n#include <cstdio>\n#include <gtest/gtest.h>\n#include "engine/g.h"|0|stay in platform/win32'
)

for row in "${cases[@]}"; do
  IFS='|' read -r script file text code expected <<<"$row"
  tree=$(mktemp -d)
  mkdir -p "$tree/$(dirname "$file")" "$tree/engine"
  printf '%b\n' "$text" >"$tree/$file"
  : >"$tree/engine/g.h"
  output=$(bash "$scripts/$script" "$tree" 2>&1)
  status=$?
  rm -rf "$tree"
  if [ "$status" -ne "$code" ] || [[ $output != *"$expected"* ]]; then
    echo "FAIL $script on $file ($text): exit $status, expected $code with '$expected'; said:"
    echo "$output"
    failures=$((failures + 1))
  fi
done
echo "${#cases[@]} cases, $failures failed"
[ "$failures" -eq 0 ]
