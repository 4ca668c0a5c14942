#!/usr/bin/env bash
# Builds the Windows package (zip and installer) and checks that it holds everything a user
# copies, as built. tests/e2e/single/installer.sh runs the installer.
#   package-check.sh <Windows build folder>
set -uo pipefail
build=$(cd "$1" && pwd)
cmake --build "$build" --target kagemira_package >"$build.package.log" 2>&1 || { tail -n 20 "$build.package.log"; echo "FAIL: the package builds"; exit 1; }
files=(kagemira.scr Vistrel.exe um.bin framepack.exe README.txt)
zip=$(ls "$build"/package/kagemira-*.zip)
folder=$(basename "$zip" .zip)
listing=$(cmake -E tar tf "$zip" | sort)
expected=$(printf '%s\n' "$folder/" "${files[@]/#/$folder/}" | sort)
if [ "$listing" = "$expected" ]; then echo "PASS: the zip holds the two programs, um.bin, framepack.exe and the read-me"; else
  echo "FAIL: the zip holds:"; echo "$listing"; fi
unpacked=$(mktemp -d)
(cd "$unpacked" && cmake -E tar xf "$zip")
# Rebuilt with its parts: every file is the one just built.
stale=""
for file in "${files[@]}"; do
  cmp -s "$unpacked/$folder/$file" "$build/bin/$file" || stale+=" $file"
done
if [ -z "$stale" ]; then echo "PASS: the zip holds the files just built"; else echo "FAIL: stale in the zip:$stale"; fi
rm -rf "$unpacked"
installer="$build/package/$folder-setup.exe"
older=""
for file in "${files[@]}"; do
  [ "$installer" -nt "$build/bin/$file" ] || older+=" $file"
done
if [ -z "$older" ]; then echo "PASS: the installer is made after the files it holds"; else echo "FAIL: the installer is older than:$older"; fi
