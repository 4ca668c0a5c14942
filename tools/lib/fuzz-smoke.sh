#!/usr/bin/env bash
# Short fuzz run for the test suite: builds nothing. Given the fuzz build folder, runs every fuzz
# target over its committed seed corpus, then mutates from it for a few seconds (at most 60 s in
# all). Exit status 0 when nothing was found, non-zero on a crash or a sanitizer finding.
#   tools/lib/fuzz-smoke.sh <fuzz build folder> [seconds per target, default 15]
set -uo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build=${1:?usage: fuzz-smoke.sh <fuzz build folder> [seconds]}
seconds=${2:-15}
[ "$seconds" -gt 25 ] && seconds=25

shopt -s nullglob
programs=("$build"/fuzz/bin/*_fuzz)
if [ ${#programs[@]} -eq 0 ]; then
  echo "fuzz-smoke: no fuzz targets in $build/fuzz/bin" >&2
  exit 1
fi

status=0
for program in "${programs[@]}"; do
  name=$(basename "$program" _fuzz)
  seeds="$root/tests/fuzz/$name/corpus"
  work=$(mktemp -d "${TMPDIR:-/tmp}/kagemira-fuzz-smoke-$name.XXXXXX")
  mkdir -p "$work/corpus"
  # Every committed seed once, then a short search that starts from them.
  if ! timeout 30 "$program" -runs=0 -rss_limit_mb=2048 "$seeds" >"$work/seeds.log" 2>&1; then
    echo "fuzz-smoke: $name crashed on its seed corpus:" >&2; tail -20 "$work/seeds.log" >&2; status=1
  elif ! timeout $((seconds + 10)) "$program" -max_total_time="$seconds" -max_len=65536 -timeout=10 \
      -rss_limit_mb=2048 -artifact_prefix="$work/" "$work/corpus" "$seeds" >"$work/run.log" 2>&1; then
    echo "fuzz-smoke: $name found a crash (kept in $work):" >&2; tail -30 "$work/run.log" >&2; status=1
    continue
  fi
  rm -rf "$work"
done
exit $status
