#!/usr/bin/env bash
# Draws the program icon: a lit paper screen with the black shadow of a hand-shadow rabbit.
# Deterministic: the same ImageMagick gives the same kagemira.ico.
#   resources/make-icon.sh [output.ico]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
out="${1:-$here/kagemira.ico}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# 256x256 master: warm frame, white screen, silhouette (body, head, two ears, ground).
convert -size 256x256 xc:none \
  -fill '#6b3a1e' -draw 'roundrectangle 8,8 247,247 28,28' \
  -fill '#fffdf4' -draw 'roundrectangle 22,22 233,233 18,18' \
  -fill black \
  -draw 'ellipse 118,168 62,40 0,360' \
  -draw 'circle 166,128 196,128' \
  -draw 'polygon 150,108 132,40 148,36 170,102' \
  -draw 'polygon 172,100 182,34 198,38 190,104' \
  -draw 'circle 60,172 74,172' \
  -draw 'rectangle 22,206 233,233' \
  -fill '#fffdf4' -draw 'circle 176,124 182,124' \
  -strip "$work/master.png"

# The shell's sizes at 100 % to 200 % display scaling (16 and 32 grow to 20, 24, 40, 48, 64) and
# 256 for large views: a scaled display picks its own size instead of a blurred enlargement.
sizes=(256 64 48 40 32 24 20 16)
pictures=()
for size in "${sizes[@]}"; do
  convert "$work/master.png" -filter Lanczos -resize "${size}x${size}" -strip "PNG32:$work/icon-$size.png"
  pictures+=("$work/icon-$size.png")
done
convert "${pictures[@]}" -strip "$out"
