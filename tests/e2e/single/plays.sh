# The default animation plays: shadows show over the desktop and the picture moves.
source "$(dirname "$0")/../lib.sh"
screen_w=${HARNESS_SCREEN%x*}; screen_h=${HARNESS_SCREEN#*x}
clear_settings
xsetroot -solid '#808080'
xdotool mousemove $((screen_w / 2)) $((screen_h / 2))
start_saver "$SAVER" /s
expect_fullscreen_window "0 0 $screen_w $screen_h 1 1" >/dev/null
# Playing: some of the grey desktop is covered by near-black shadows, not all of it as by the
# black window before the first frame.
dark_share() { /usr/bin/convert "$1" -colorspace gray -threshold 10% -negate -format '%[fx:int(mean*1000)]' info:; }
has_shadows() { local d; d=$(dark_share "$1"); [ "$d" -gt 5 ] && [ "$d" -lt 900 ]; }
screenshot_until "$E2E_WORK/first.png" 30000 has_shadows
difference_from_first() {
  /usr/bin/convert "$E2E_WORK/first.png" "$1" -compose difference -composite -colorspace gray \
    -format '%[fx:int(mean*1000000)]' info:
}
changed() { [ "$(difference_from_first "$1")" -gt 0 ]; }
check "the picture moves" screenshot_until "$E2E_WORK/second.png" 10000 changed
echo "mean difference (millionths): $(difference_from_first "$E2E_WORK/second.png")"
dark=$(dark_share "$E2E_WORK/second.png")
echo "share of near-black pixels (thousandths): $dark"
check "shadows are on the screen" has_shadows "$E2E_WORK/second.png"
wait_saver_foreground
ends_on_input "a key press ends the playing saver" xdotool key a
xsetroot -solid black
finish
