#!/usr/bin/env bash
# Creates a state file trio (NAME.def, NAME.h, NAME.cpp) in a subsystem folder and registers its
# table, so that a group of gauges can declare its shared variables apart from the others.
# usage: scripts/new-state.sh DIR NAME TABLE "one-line description"
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$1 name=$2 table=$3 what=$4
[ -e "$dir/$name.def" ] && { echo "$dir/$name.def exists" >&2; exit 1; }
printf '// %s\n' "$what" > "$dir/$name.def"
cat > "$dir/$name.h" <<H
// Shared variables: $what (declared in $name.def).
#pragma once
#include "module/state_registry.h"
#define KR_STATE_FILE "$dir/$name.def"
#include "module/state_extern.inc"
H
cat > "$dir/$name.cpp" <<C
#include "$dir/$name.h"
#define KR_STATE_FILE "$dir/$name.def"
#define KR_STATE_TABLE $table
#include "module/state_define.inc"
C
echo "KR_SUBSYSTEM($table)" >> module/subsystems.def
