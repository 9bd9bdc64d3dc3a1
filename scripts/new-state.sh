#!/usr/bin/env bash
# Creates the shared-state trio (state.def, state.h, state.cpp) of a new system folder and
# registers its table, so that the folder can declare the variables its system owns.
# usage: scripts/new-state.sh DIR "one-line description"
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$1 what=$2
table=k$(echo "$dir" | sed -E 's/(^|_)([a-z])/\U\2/g')State
[ -e "$dir/state.def" ] && { echo "$dir/state.def exists" >&2; exit 1; }
mkdir -p "$dir"
printf '// %s\n// KR_SCALAR(type, name, start) / KR_ARRAY(type, name, count, start values...)\n' "$what" > "$dir/state.def"
cat > "$dir/state.h" <<H
// Shared variables: $what
// Declared with their start values in state.def.
#pragma once
#include "module/state_registry.h"
#define KR_STATE_FILE "$dir/state.def"
#include "module/state_extern.inc"
H
cat > "$dir/state.cpp" <<C
#include "$dir/state.h"
#define KR_STATE_FILE "$dir/state.def"
#define KR_STATE_TABLE $table
#include "module/state_define.inc"
C
echo "KR_SUBSYSTEM($table)" >> module/subsystems.def
echo "add $dir to KR_MODULE_DIRS in CMakeLists.txt if it is new"
