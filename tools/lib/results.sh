# Test bookkeeping shared by tools/test and its helpers. Every result is one line in a file of
# RESULTS_DIR ("PASS name", "FAIL name" or "SKIP name"), so parallel runners never interleave counts.
# A skipped test counts as a failure unless tests/allowed-skips.txt names it with its reason.

results_init() {
  RESULTS_DIR=$1
  rm -rf "$RESULTS_DIR"; mkdir -p "$RESULTS_DIR"
  export RESULTS_DIR
}

RESULTS_ALLOWED_SKIPS=${RESULTS_ALLOWED_SKIPS:-"$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/tests/allowed-skips.txt"}

results_record() {  # PASS|FAIL|SKIP name
  echo "$1 $2" >>"$RESULTS_DIR/results.$BASHPID"
}

results_fail() {
  results_record FAIL "$1"
  echo "FAIL: $1" >&2
}

# results_stage <name> <seconds>: how long a stage of the run took, printed in the summary.
results_stage() {
  echo "$1 $2" >>"$RESULTS_DIR/stages"
}

# results_skip_allowed <program> <test>: true when the allow-list names that skipped test.
results_skip_allowed() {
  [ -f "$RESULTS_ALLOWED_SKIPS" ] || { results_fail "allow-list of skipped tests ($RESULTS_ALLOWED_SKIPS) is missing"; return 1; }
  grep -v '^#' "$RESULTS_ALLOWED_SKIPS" | awk -v p="$1" -v t="$2" '$1 == p && $2 == t { found = 1 } END { exit !found }'
}

# results_listed_programs <build folder>: the test programs the build configured, one per line.
# Without the list no test program can be found: that is a failure, not an empty run.
results_listed_programs() {
  local list="$1/tests/programs.txt"
  [ -s "$list" ] || { results_fail "list of test programs ($list)"; return 1; }
  cat "$list"
}

# results_run_gtest <name> <command...>: a GoogleTest program; its own summary gives the counts.
results_run_gtest() {
  local name=$1; shift
  local log="$RESULTS_DIR/$name.log"
  # To a file, never a pipe: a Wine service started by the program would keep a pipe open.
  timeout "${TEST_TIMEOUT:-600}" "$@" --gtest_color=no >"$log" 2>&1
  local status=$?
  sed -i 's/\r$//' "$log"  # Windows programs end their lines with CR LF
  local passed failed
  passed=$(grep -E '^\[  PASSED  \] [0-9]+ test' "$log" | grep -oE '[0-9]+' | head -n1)
  failed=$(grep -E '^\[  FAILED  \] [0-9]+ test' "$log" | grep -oE '[0-9]+' | head -n1)
  passed=${passed:-0}; failed=${failed:-0}
  local i
  for ((i = 0; i < passed; i++)); do results_record PASS "$name"; done
  # The summary lists each skipped test once, after "[  SKIPPED ] N tests, listed below:".
  local test
  for test in $(grep -E '^\[  SKIPPED \] [A-Za-z_][A-Za-z0-9_/]*\.[A-Za-z0-9_/]+$' "$log" | awk '{print $4}' | sort -u); do
    if results_skip_allowed "$name" "$test"; then
      results_record SKIP "$name $test"
    else
      results_record FAIL "$name $test (skipped, and tests/allowed-skips.txt does not allow it)"
      failed=$((failed + 1))
      echo "FAIL: $name $test was skipped: $(grep -A3 -E "^\[ RUN      \] $test\$" "$log" | grep -v -E '^\[' | head -n 2 | tr '\n' ' ')" >&2
    fi
  done
  if [ "$failed" -gt 0 ]; then
    # The summary lists each failed test once, without its time.
    grep -E '^\[  FAILED  \] [A-Za-z]' "$log" | grep -v -E ' \([0-9]+ ms\)$' | sort -u |
      while read -r _ _ _ test; do results_record FAIL "$name $test"; done
  fi
  if [ "$status" -ne 0 ] && [ "$failed" -eq 0 ]; then
    results_record FAIL "$name (exit status $status)"
    failed=1
  fi
  # A program that ended in the middle (a fatal check exits with status 0) prints no summary.
  if ! grep -qE '^\[==========\] [0-9]+ tests? from .* ran' "$log" && [ "$failed" -eq 0 ]; then
    results_record FAIL "$name (ended before its summary)"
    failed=1
  fi
  if [ "$failed" -gt 0 ] || [ "$status" -ne 0 ]; then
    echo "FAIL: $name ($passed passed, $failed failed, status $status); log $log" >&2
    grep -E '^\[  FAILED  \]|Failure|error:' "$log" | head -n 20 >&2
  else
    echo "ok:   $name ($passed tests)" >&2
  fi
}

# results_run_script <name> <command...>: a script that prints "PASS: case" / "FAIL: case" lines.
results_run_script() {
  local name=$1; shift
  local log="$RESULTS_DIR/$(echo "$name" | tr ' /' '__').log"
  # What a failed check saw (tests/e2e/lib.sh keeps it) goes beside the log.
  local evidence="${log%.log}.evidence"
  rm -rf "$evidence"
  E2E_EVIDENCE="$evidence" timeout "${TEST_TIMEOUT:-600}" "$@" >"$log" 2>&1
  local status=$?
  [ ! -d "$evidence" ] || echo "$name: $evidence" >>"$RESULTS_DIR/evidence"
  local passed failed
  passed=$(grep -c '^PASS: ' "$log"); failed=$(grep -c '^FAIL: ' "$log")
  grep '^PASS: ' "$log" | while read -r _ test; do results_record PASS "$name: $test"; done
  grep '^FAIL: ' "$log" | while read -r _ test; do results_record FAIL "$name: $test"; done
  if [ "$status" -ne 0 ] && [ "$failed" -eq 0 ]; then
    results_record FAIL "$name (exit status $status)"; failed=1
  fi
  if [ "$passed" -eq 0 ] && [ "$failed" -eq 0 ]; then
    # A script that reports nothing has tested nothing, whatever its exit status.
    results_record FAIL "$name (no result line)"; failed=1
  fi
  if [ "$failed" -gt 0 ]; then
    echo "FAIL: $name ($passed passed, $failed failed); log $log" >&2
    grep '^FAIL: ' "$log" | head -n 20 >&2
    tail -n 15 "$log" >&2
    [ ! -d "$evidence" ] || echo "evidence of the failures: $evidence" >&2
  else
    echo "ok:   $name ($passed checks)" >&2
  fi
}

# results_run_listed_scripts <label> <folder> <list file>: runs <folder>/<name>.sh for every name of
# the list; a listed script that is missing fails (it reports nothing), and so does a script of the
# folder that the list leaves out.
results_run_listed_scripts() {
  local label=$1 folder=$2 list=$3 listed name script
  listed=$(cat "$list" 2>/dev/null) || { results_fail "list of $label scripts ($list)"; return; }
  for name in $listed; do
    results_run_script "$label/$name" bash "$folder/$name.sh"
  done
  for script in "$folder"/*.sh; do
    name=$(basename "$script" .sh)
    grep -qx -- "$name" <<<"$listed" || results_fail "$label/$name is not in its list ($list)"
  done
}

results_summary() {
  local seconds=$1
  local passed failed skipped
  passed=$(cat "$RESULTS_DIR"/results.* 2>/dev/null | grep -c '^PASS ')
  failed=$(cat "$RESULTS_DIR"/results.* 2>/dev/null | grep -c '^FAIL ')
  skipped=$(cat "$RESULTS_DIR"/results.* 2>/dev/null | grep -c '^SKIP ')
  if [ "$skipped" -gt 0 ]; then
    echo "skipped (allowed by tests/allowed-skips.txt):" >&2
    cat "$RESULTS_DIR"/results.* | grep '^SKIP ' | sed 's/^SKIP /  /' >&2
  fi
  if [ "$failed" -gt 0 ]; then
    echo "failed:" >&2
    cat "$RESULTS_DIR"/results.* | grep '^FAIL ' | sed 's/^FAIL /  /' >&2
  fi
  if [ -f "$RESULTS_DIR/evidence" ]; then
    echo "evidence of failed checks (screenshots, programs' output):" >&2
    sed 's/^/  /' "$RESULTS_DIR/evidence" >&2
  fi
  if [ -f "$RESULTS_DIR/stages" ]; then
    echo "stages:" >&2
    awk '{ printf "  %-28s %5d s\n", $1, $2 }' "$RESULTS_DIR/stages" >&2
  fi
  echo "wall time ${seconds}s; logs in $RESULTS_DIR" >&2
  echo "$passed passed, $failed failed, $skipped skipped"
  [ "$failed" -eq 0 ]
}
