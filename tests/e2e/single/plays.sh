# The default animation plays: two screenshots a second apart differ.
source "$(dirname "$0")/../lib.sh"
screen_w=${HARNESS_SCREEN%x*}; screen_h=${HARNESS_SCREEN#*x}
clear_settings
xsetroot -solid '#808080'
xdotool mousemove $((screen_w / 2)) $((screen_h / 2))
start_saver "$SAVER" /s
expect_fullscreen_window "0 0 $screen_w $screen_h 1 1" >/dev/null
# Playing: the share of near-black pixels of the grey desktop rises once shadows are drawn.
dark_share() { /usr/bin/convert "$1" -colorspace gray -threshold 10% -negate -format '%[fx:int(mean*1000)]' info:; }
has_shadows() { [ "$(dark_share "$1")" -gt 5 ]; }
screenshot_until "$E2E_WORK/first.png" 30000 has_shadows
sleep 1
harness_screenshot "$E2E_WORK/second.png"
difference=$(/usr/bin/convert "$E2E_WORK/first.png" "$E2E_WORK/second.png" -compose difference -composite \
  -colorspace gray -format '%[fx:int(mean*1000000)]' info:)
echo "mean difference (millionths): $difference"
check "two screenshots a second apart differ" test "${difference:-0}" -gt 0
dark=$(dark_share "$E2E_WORK/second.png")
echo "share of near-black pixels (thousandths): $dark"
check "shadows are on the screen" test "${dark:-0}" -gt 5
wait_saver_foreground
ends_on_input "a key press ends the playing saver" xdotool key a
xsetroot -solid black
finish
