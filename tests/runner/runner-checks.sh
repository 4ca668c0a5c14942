#!/usr/bin/env bash
# Checks of the test runner's bookkeeping (tools/lib/results.sh, tools/lib/fuzz-smoke.sh,
# tools/lib/format-check.sh): a run must not pass without testing, nor with unformatted code. Each case runs the real functions on small stand-in programs and
# scripts in a folder of its own and reads back what was recorded.
set -uo pipefail
TOP="$(cd "$(dirname "$0")/../.." && pwd)"
work=$(mktemp -d "${TMPDIR:-/tmp}/kagemira-runner-checks.XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0
check() {  # check <description> <command...>
  local what=$1; shift
  if "$@"; then echo "PASS: $what"; else echo "FAIL: $what"; failures=$((failures + 1)); fi
}

# recorded <case> <PASS|FAIL|SKIP>: how many results of that kind the case recorded.
recorded() { cat "$work/$1/results/"results.* 2>/dev/null | grep -c "^$2 "; }

# in_case <case> <command...>: runs the command with the runner's functions and a fresh results folder.
in_case() {
  local name=$1; shift
  mkdir -p "$work/$name"
  [ "$name" = no-allow-list ] || touch "$work/$name/allowed-skips.txt"
  (
    export RESULTS_ALLOWED_SKIPS="$work/$name/allowed-skips.txt"
    source "$TOP/tools/lib/results.sh"
    results_init "$work/$name/results"
    "$@"
  ) >"$work/$name/out.log" 2>&1
}

# A test program that prints what GoogleTest prints when one test passes and one is skipped.
cat >"$work/skipping-program" <<'EOF'
#!/usr/bin/env bash
cat <<'OUT'
[==========] Running 2 tests from 1 test suite.
[ RUN      ] Screens.Two
t.cpp:28: Skipped
needs two monitors, found 1
[  SKIPPED ] Screens.Two (0 ms)
[ RUN      ] Screens.One
[       OK ] Screens.One (1 ms)
[==========] 2 tests from 1 test suite ran. (1 ms total)
[  PASSED  ] 1 test.
[  SKIPPED ] 1 test, listed below:
[  SKIPPED ] Screens.Two
OUT
EOF
chmod +x "$work/skipping-program"

in_case unlisted-skip results_run_gtest skipping "$work/skipping-program"
check "a skipped test that the allow-list does not name fails the run" \
  test "$(recorded unlisted-skip FAIL)/$(recorded unlisted-skip PASS)/$(recorded unlisted-skip SKIP)" = 1/1/0

mkdir -p "$work/listed-skip"
echo "skipping Screens.Two the reason" >"$work/listed-skip/allowed-skips.txt"
in_case listed-skip results_run_gtest skipping "$work/skipping-program"
check "a skipped test that the allow-list names is counted as skipped" \
  test "$(recorded listed-skip FAIL)/$(recorded listed-skip PASS)/$(recorded listed-skip SKIP)" = 0/1/1
summary=$(source "$TOP/tools/lib/results.sh"; RESULTS_DIR="$work/listed-skip/results" results_summary 0 2>/dev/null)
check "the summary line counts the skipped tests" test "$summary" = "1 passed, 0 failed, 1 skipped"

in_case no-allow-list results_run_gtest skipping "$work/skipping-program"
check "a missing allow-list fails the run by name" \
  grep -q "^FAIL allow-list of skipped tests" <(cat "$work/no-allow-list/results/"results.*)

printf '#!/usr/bin/env bash\nexit 0\n' >"$work/silent-script"
in_case silent results_run_script silent bash "$work/silent-script"
check "a script that prints no result line fails, even with exit status 0" \
  test "$(recorded silent FAIL)/$(recorded silent PASS)" = 1/0

mkdir -p "$work/scripts"
printf '#!/usr/bin/env bash\necho "PASS: one"\n' >"$work/scripts/present.sh"
cp "$work/scripts/present.sh" "$work/scripts/unlisted.sh"
printf 'present\nmissing\n' >"$work/scripts.txt"
in_case listed results_run_listed_scripts e2e "$work/scripts" "$work/scripts.txt"
check "a listed script that is missing fails, and so does a script the list leaves out" \
  test "$(recorded listed PASS)/$(grep -c 'missing\|unlisted' <(cat "$work/listed/results/"results.* | grep '^FAIL '))" = 1/2

mkdir -p "$work/fuzz-build/fuzz/bin"
echo "gone" >"$work/fuzz-build/fuzz/targets.txt"
bash "$TOP/tools/lib/fuzz-smoke.sh" "$work/fuzz-build" 1 >"$work/fuzz.log" 2>&1
fuzz_status=$?
check "a listed fuzz target that was not built fails the smoke run" \
  test "$fuzz_status" -ne 0 -a "$(grep -c '^FAIL: gone' "$work/fuzz.log")" = 1

# The format check on a tree of two sources, one formatted and one not.
mkdir -p "$work/format-tree"
(
  cd "$work/format-tree" && git init -q . && cp "$TOP/.clang-format" . &&
    printf 'int Formatted() { return 1; }\n' >good.cpp &&
    printf 'int  Unformatted( ){return 2;}\n' >bad.cpp && git add . >/dev/null
)
bash "$TOP/tools/lib/format-check.sh" "$work/format-tree" >"$work/format.log" 2>&1
format_status=$?
check "a source file that is not formatted fails the format check, by name" \
  test "$format_status" -ne 0 -a "$(grep -c '^FAIL: ' "$work/format.log")/$(grep -c 'bad.cpp' "$work/format.log")" = 1/1

exit $((failures > 0))
