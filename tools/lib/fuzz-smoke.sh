#!/usr/bin/env bash
# Short fuzz run for the test suite: builds nothing. Given the fuzz build folder, runs every fuzz
# target its list names (fuzz/targets.txt, written by the build) over its committed seed corpus,
# then mutates from it for a few seconds. Prints "PASS: <target>" or "FAIL: <target> ..." for each.
#   tools/lib/fuzz-smoke.sh <fuzz build folder> [seconds per target, default 15]
set -uo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build=${1:?usage: fuzz-smoke.sh <fuzz build folder> [seconds]}
seconds=${2:-15}
[ "$seconds" -gt 25 ] && seconds=25

list="$build/fuzz/targets.txt"
[ -s "$list" ] || { echo "FAIL: list of fuzz targets ($list)"; exit 1; }

status=0
for name in $(cat "$list"); do
  program="$build/fuzz/bin/${name}_fuzz"
  seeds="$root/tests/fuzz/$name/corpus"
  work=$(mktemp -d "${TMPDIR:-/tmp}/kagemira-fuzz-smoke-$name.XXXXXX")
  mkdir -p "$work/corpus"
  # Every committed seed once, then a short search that starts from them.
  if ! timeout 30 "$program" -runs=0 -rss_limit_mb=2048 "$seeds" >"$work/seeds.log" 2>&1; then
    echo "FAIL: $name crashed on its seed corpus (or is missing)"; tail -20 "$work/seeds.log"; status=1
  elif ! timeout $((seconds + 10)) "$program" -max_total_time="$seconds" -max_len=65536 -timeout=10 \
      -rss_limit_mb=2048 -artifact_prefix="$work/" "$work/corpus" "$seeds" >"$work/run.log" 2>&1; then
    echo "FAIL: $name found a crash (kept in $work)"; tail -30 "$work/run.log"; status=1
    continue
  else
    echo "PASS: $name: its seeds and ${seconds} s of mutations"
  fi
  rm -rf "$work"
done
exit $status
