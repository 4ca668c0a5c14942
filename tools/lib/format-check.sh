#!/usr/bin/env bash
# Checks that every C++ source of a tree is formatted as its .clang-format says.
#   format-check.sh <repository root>
# One "FAIL:" line per file that clang-format would change, or one "PASS:" line for the tree;
# tools/lib/results.sh records them. Fix a file with: clang-format -i <file>
set -uo pipefail
root=$1
cd "$root" || { echo "FAIL: format check: no folder $root"; exit 1; }
[ -f .clang-format ] || { echo "FAIL: format check: $root has no .clang-format"; exit 1; }
mapfile -t files < <(git ls-files '*.cpp' '*.h')
[ ${#files[@]} -gt 0 ] || { echo "FAIL: format check: no C++ sources under $root"; exit 1; }

unformatted=0
for file in "${files[@]}"; do
  if ! clang-format --style=file --dry-run --Werror "$file" >/dev/null 2>&1; then
    echo "FAIL: formatted: $file"
    unformatted=$((unformatted + 1))
  fi
done
[ "$unformatted" -eq 0 ] && echo "PASS: formatted: ${#files[@]} C++ sources"
exit $((unformatted > 0))
