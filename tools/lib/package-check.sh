#!/usr/bin/env bash
# Builds the Windows package (zip and installer) and checks that it holds everything a user
# copies, as built: the programs the tests ran, without their symbols, which stay beside the
# package. tests/e2e/single/installer.sh runs the installer.
#   package-check.sh <Windows build folder>
set -uo pipefail
build=$(cd "$1" && pwd)
cmake --build "$build" --target kagemira_package >"$build.package.log" 2>&1 || { tail -n 20 "$build.package.log"; echo "FAIL: the package builds"; exit 1; }
objcopy=$(sed -n 's/^KAGEMIRA_OBJCOPY:FILEPATH=//p' "$build/CMakeCache.txt")
objdump=${objcopy%objcopy}objdump
programs=(kagemira.scr Vistrel.exe kagemira-settings.exe framepack.exe)
files=(kagemira.scr Vistrel.exe um.bin framepack.exe README.txt)
packaged="$build/package/programs"
zip=$(ls "$build"/package/kagemira-*.zip)
folder=$(basename "$zip" .zip)
listing=$(cmake -E tar tf "$zip" | sort)
expected=$(printf '%s\n' "$folder/" "${files[@]/#/$folder/}" | sort)
if [ "$listing" = "$expected" ]; then echo "PASS: the zip holds the two programs, um.bin, framepack.exe and the read-me"; else
  echo "FAIL: the zip holds:"; echo "$listing"; fi
unpacked=$(mktemp -d)
(cd "$unpacked" && cmake -E tar xf "$zip")
# Rebuilt with its parts: every file is the one just packed.
stale=""
for file in "${files[@]}"; do
  cmp -s "$unpacked/$folder/$file" "$packaged/$file" || stale+=" $file"
done
if [ -z "$stale" ]; then echo "PASS: the zip holds the files just built"; else echo "FAIL: stale in the zip:$stale"; fi
rm -rf "$unpacked"

# code <program>: its machine code, which stripping leaves as it was.
code() { "$objcopy" -O binary --only-section=.text "$1" /dev/stdout; }
has_debug_sections() { "$objdump" -h "$1" | grep -q '\.debug_info'; }
changed="" unstripped="" without_symbols=""
for program in "${programs[@]}"; do
  cmp -s <(code "$build/bin/$program") <(code "$packaged/$program") || changed+=" $program"
  has_debug_sections "$packaged/$program" && unstripped+=" $program"
  has_debug_sections "$build/package/$folder-symbols/$program.debug" || without_symbols+=" $program"
done
if [ -z "$changed" ]; then echo "PASS: the packed programs run the code the tests ran"; else echo "FAIL: other code packed:$changed"; fi
if [ -z "$unstripped" ]; then echo "PASS: the packed programs carry no symbols"; else echo "FAIL: symbols packed in:$unstripped"; fi
if [ -z "$without_symbols" ]; then echo "PASS: the symbols are kept beside the package"; else echo "FAIL: no symbols kept for:$without_symbols"; fi

installer="$build/package/$folder-setup.exe"
older=""
for file in "${files[@]}" kagemira-settings.exe; do
  [ "$installer" -nt "$packaged/$file" ] || older+=" $file"
done
if [ -z "$older" ]; then echo "PASS: the installer is made after the files it holds"; else echo "FAIL: the installer is older than:$older"; fi
