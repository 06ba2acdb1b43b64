#!/usr/bin/env bash
# scripts/check-layers against one-file trees: each include that crosses the layers the
# wrong way fails with the file and line, each allowed one passes.
# Usage: check_layers_test.sh path/to/check-layers
set -uo pipefail
check=$1
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
failures=0

# expect (fails|passes) file include-line
expect() {
  local outcome=$1 file=$2 include=$3 output status
  rm -rf "${tree:?}"/*
  # Headers that relative includes reach.
  mkdir -p "$tree/$(dirname "$file")" "$tree/base" "$tree/engine/tools"
  touch "$tree/base/memory.h" "$tree/engine/tools/tool_base.h"
  printf '// one include\n%s\n' "$include" > "$tree/$file"
  output=$("$check" "$tree" 2>&1)
  status=$?
  if [ "$outcome" = fails ] && { [ $status -eq 0 ] || [[ $output != *"$file:2: "* ]]; }; then
    echo "not refused: $file: $include"; echo "$output"; failures=$((failures + 1))
  elif [ "$outcome" = passes ] && [ $status -ne 0 ]; then
    echo "refused: $file: $include"; echo "$output"; failures=$((failures + 1))
  fi
}

expect fails base/a.cpp '#include "engine/pixels/bitmap.h"'
expect fails base/a.cpp '#include "../formats/manager/plugin_list.h"'
expect fails base/a.h '#  include <app/ui/view.h>'
expect fails formats/manager/a.cpp '#include "engine/picture/picture.h"'
expect fails formats/bmp/a.cpp '#include "formats/manager/plugin_manager.h"'
expect fails formats/native/a.cpp '#include "formats/bmp/bmp_header.h"'
expect fails engine/pixels/a.cpp '#include "engine/picture/picture.h"'
expect fails engine/pixels/a.cpp '#include "../tools/tool_base.h"'
expect fails engine/picture/a.cpp '#include "engine/tools/tool_crop.h"'
expect fails engine/tools/a.cpp '#include "app/shell/main_window.h"'
expect fails app/shell/a.cpp '#include "app/ui/program_parts.h"'
expect passes base/a.cpp '#include "memory.h"'
expect passes formats/bmp/a.cpp '#include "formats/manager/plugin_interface.h"'
expect passes formats/manager/a.cpp '#include "base/memory.h"'
expect passes engine/pixels/a.cpp '#include <vector>'
expect passes engine/picture/a.cpp '#include "engine/tools/tool_base.h"'
expect passes engine/tools/a.cpp '#include "engine/picture/picture.h"'
expect passes app/ui/a.cpp '#include "engine/tools/tool_base.h"'
expect passes app/ui/a.cpp '#include "app/shell/application.h"'
expect passes app/shell/main.cpp '#include "app/ui/program_parts.h"'

[ $failures -eq 0 ] && echo "check-layers refuses and allows as it should"
exit $((failures > 0))
