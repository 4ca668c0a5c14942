# At 144 DPI (150 % display scaling, the prefix's LogPixels): the settings dialog opens scaled
# (compared with the same dialog at 96 DPI) with its preview composed to fill its frame exactly; and
# the full-screen saver still covers the whole screen in its own pixels, a sharp one-pixel pattern
# of the desktop shown unchanged where the saver's screen is transparent.
source "$(dirname "$0")/../lib.sh"
cp "$SAVER" "$E2E_WORK/kagemira.scr"
saver=$(harness_winpath "$E2E_WORK/kagemira.scr")
screen_w=${HARNESS_SCREEN%x*}; screen_h=${HARNESS_SCREEN#*x}

# What the prefix reads as the screen's scale; programs started afterwards lay themselves out for it.
set_dpi() {
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  wine reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' /v LogPixels \
    /t REG_DWORD /d "$1" /f >/dev/null 2>&1
}
restore() { set_dpi 96; xsetroot -solid black; clear_settings; }
trap restore EXIT

# 1. The settings dialog at 96 and at 144 DPI: the same dialog 1.5 times as large, the preview
#    filling its place at either scale: with both opacities 0 it shows the bare checkerboard, whose
#    8-pixel squares a stretched picture would not keep; with the silhouette opaque, the picture
#    (MagType 1 fills the preview) reaches its bottom right corner with its dark ground.
write_settings MagType=1 backgroundAlpha=0 foregroundAlpha=0 frameEnabled=0
dialog_at() {  # dialog_at <dpi>: the probe's checks, reported with the scale
  set_dpi "$1"
  dialog_probe "$saver" /c size preview-fills slider 1018 100 corner 5000 000000 click 2 end 2 | tr -d '\r' \
    >"$E2E_WORK/dialog-$1.log"
  grep -E '^(PASS|FAIL): ' "$E2E_WORK/dialog-$1.log" | sed "s/^\(PASS\|FAIL\): /\1: $1 DPI: /"
}
dialog_width() { sed -n 's/^size: \([0-9]*\)x.*/\1/p' "$E2E_WORK/dialog-$1.log"; }
dialog_at 96
dialog_at 144
width96=$(dialog_width 96)
width144=$(dialog_width 144)
scaled_by_half() { [ -n "$width96" ] && [ -n "$width144" ] && [ $((width144 * 100 / width96)) -ge 140 ] &&
  [ $((width144 * 100 / width96)) -le 160 ]; }
check "at 144 DPI the settings dialog is laid out 1.5 times as wide (${width96:-?} -> ${width144:-?} pixels)" scaled_by_half

# 2. The saver at 144 DPI over a desktop of one-pixel squares in two mid-tones. The animation's
#    left quarter is shadow (black); elsewhere the screen is transparent (background opacity 0).
cat >"$E2E_WORK/checker.xbm" <<'XBM'
#define checker_width 2
#define checker_height 2
static unsigned char checker_bits[] = {
   0x01, 0x02 };
XBM
xsetroot -bitmap "$E2E_WORK/checker.xbm" -fg '#c86432' -bg '#3264c8'
make_frame_file "$E2E_WORK/um.bin" 30 '0 if x < 128 else 255'
write_settings MagType=1 backgroundAlpha=0 foregroundAlpha=100 frameEnabled=0
xdotool mousemove $((screen_w / 2)) $((screen_h / 2))
start_saver "$E2E_WORK/kagemira.scr" /s
check "at 144 DPI the saver window covers the whole ${screen_w}x$screen_h screen" \
  expect_fullscreen_window "0 0 $screen_w $screen_h 1 1"

# The 16 x 16 pixels at (x, y) of a screenshot show the desktop's squares exactly where they were.
pattern_unchanged() {  # pattern_unchanged <x> <y> <file>
  /usr/bin/convert "$3" -crop "16x16+$1+$2" +repage -depth 8 txt:- | awk -v ox="$1" -v oy="$2" -F'[,:() ]+' '
    NR > 1 { want = ((ox + $1 + oy + $2) % 2 == 0) ? "200,100,50" : "50,100,200";
             if ($3 "," $4 "," $5 != want) wrong++ }
    END { exit wrong > 0 }'
}
shows_frame_over_sharp_desktop() {
  pixel_is 100 $((screen_h / 2)) 0,0,0 "$1" && pattern_unchanged 800 500 "$1" && pattern_unchanged 1201 17 "$1"
}
screenshot_until "$E2E_WORK/shot.png" 30000 shows_frame_over_sharp_desktop
check "the shadow is drawn and the desktop shows through pixel for pixel (left $(harness_pixel "$E2E_WORK/shot.png" 100 $((screen_h / 2))), right $(harness_pixel "$E2E_WORK/shot.png" 800 500) $(harness_pixel "$E2E_WORK/shot.png" 801 500))" \
  shows_frame_over_sharp_desktop "$E2E_WORK/shot.png"
ends_on_input "a key press ends it" xdotool key a
finish
