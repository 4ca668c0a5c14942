#!/usr/bin/env bash
# One stream of Windows tests on its own virtual display and Wine prefix.
#   wine-stream.sh single|dual <results folder>
# single: one 1280x1024 monitor; every listed test program but the *_dual_wine_tests, and the
#         scripts of tests/e2e/single/ the build lists (build/win/tests/e2e-single.txt).
# dual:   two 1280x1024 monitors side by side; every listed *_dual_wine_tests and the listed
#         scripts of tests/e2e/dual/.
# Prints how long the programs and the scripts took as stages of the run.
set -uo pipefail
stream=$1
TOP="$(cd "$(dirname "$0")/../.." && pwd)"
source "$TOP/tools/lib/harness.sh"
source "$TOP/tools/lib/results.sh"
export RESULTS_DIR=$2

monitors=1
[ "$stream" = dual ] && monitors=2
trap harness_stop EXIT
trap "exit 130" INT TERM  # so that the EXIT trap cleans up after a kill too
harness_start "test-$stream" --monitors "$monitors" || { results_fail "$stream display and Wine prefix"; exit 1; }

harness_use_build "$TOP"

stage_start=$(date +%s)
for name in $(results_listed_programs "$TOP/build/win"); do
  program="$KAGEMIRA_TEST_BIN/$name.exe"
  case "$name" in
    *_dual_wine_tests) [ "$stream" = dual ] || continue ;;
    *) [ "$stream" = single ] || continue ;;
  esac
  # Each program's sound goes to a file of its own (tests/wine/support/AudioCapture.h reads it).
  harness_capture_audio "$RESULTS_DIR/audio/$name.raw"
  results_run_gtest "$name" wine "$program"
  harness_mute_audio
  harness_discard_audio "$RESULTS_DIR/audio/$name.raw"
done

results_stage "wine-$stream" $(( $(date +%s) - stage_start ))
stage_start=$(date +%s)

results_run_listed_scripts "e2e/$stream" "$TOP/tests/e2e/$stream" "$TOP/build/win/tests/e2e-$stream.txt"
results_stage "e2e-$stream" $(( $(date +%s) - stage_start ))
