#!/usr/bin/env bash
# Sourced by the demo and test scripts: runs a step with its output in a log under build/logs and
# prints one line for it; when the step fails, the log's last lines follow and the caller exits
# with the step's status.
#
#   stage LABEL LOGNAME COMMAND [ARG...]    (COMMAND may be a shell function)

KR_LOG_DIR=${KR_LOG_DIR:-build/logs}
KR_LOG_TAIL=${KR_LOG_TAIL:-40}

stage() {
  local label=$1 log=$KR_LOG_DIR/$2.log start=$SECONDS status errexit=0
  shift 2
  mkdir -p "$KR_LOG_DIR"
  printf '%s ... ' "$label"
  # Not under `||`, so that a function given as COMMAND stops at its first failing command.
  [[ $- == *e* ]] && errexit=1
  set +e
  ( set -e; "$@" ) > "$log" 2>&1
  status=$?
  [ $errexit -eq 1 ] && set -e
  if [ $status -eq 0 ]; then
    printf 'done (%ss; log: %s)\n' $((SECONDS - start)) "$log"
    return 0
  fi
  printf 'FAILED (exit status %s); the last lines of %s:\n' "$status" "$log"
  tail -n "$KR_LOG_TAIL" "$log" | sed 's/^/    /'
  exit "$status"
}

# Parallel jobs for builds and tests: $JOBS, else every core.
jobs() { echo "${JOBS:-$(nproc 2>/dev/null || echo 2)}"; }
