# Shared by the one- and two-monitor composition checks: the saver over a desktop of a known
# colour, with a picture whose left half is shadow and right half screen, in modes 2 and 3.
# Expected colours come from the blend rules: the screen is white at its opacity over the desktop,
# the shadow black at its opacity, the bars (with the frame on) in the shadow colour.
source "$(dirname "$0")/lib.sh"
screen_w=${HARNESS_SCREEN%x*}; screen_h=${HARNESS_SCREEN#*x}
monitors=${1:-1}
monitor_w=$((screen_w / monitors))

desk_r=51 desk_g=102 desk_b=153
xsetroot -solid '#336699'
cp "$SAVER" "$E2E_WORK/kagemira.scr"
make_frame_file "$E2E_WORK/um.bin" 30 '0 if x < 256 else 255'

over_desktop() {  # over_desktop <alpha byte> <colour channel>: that colour at alpha over the desktop
  local a=$1 c=$2
  echo "$(( (c * a + desk_r * (255 - a)) / 255 )),$(( (c * a + desk_g * (255 - a)) / 255 )),$(( (c * a + desk_b * (255 - a)) / 255 ))"
}

# run_case <name> <x> <y> <r,g,b> <settings...>: starts the saver, takes a screenshot once the
# point (x, y) shows the colour it has in the picture (neither the desktop nor the black window
# shows there before the first frame is presented), ends the saver with a key. The picture is
# still, so that frame is the answer.
run_case() {
  local name=$1 x=$2 y=$3 colour=$4; shift 4
  write_settings "$@"
  xdotool mousemove $((screen_w / 2)) $((screen_h / 2))
  start_saver "$E2E_WORK/kagemira.scr" /s
  expect_fullscreen_window "0 0 $screen_w $screen_h 1 1" >/dev/null
  SHOT="$E2E_WORK/$name.png"
  local start; start=$(now_ms)
  if wait_for_picture "$SHOT" pixel_is "$x" "$y" "$colour"; then
    echo "$name: the picture showed after $(( $(now_ms) - start )) ms"
  else
    fail "$name: the saver shows its picture ($x,$y is $(harness_pixel "$SHOT" "$x" "$y"), not $colour)"
  fi
  harness_screenshot "$SHOT"  # a second look, after the first frame surely finished
  wait_saver_foreground
  xdotool key a
  wait_saver_exit 10000 >/dev/null || stop_saver
}

# expect_pixel <description> <x> <y> <expected r,g,b>
expect_pixel() {
  local actual; actual=$(harness_pixel "$SHOT" "$2" "$3")
  if colour_near "$actual" ${4//,/ }; then pass "$1 at $2,$3 is $actual"; else fail "$1 at $2,$3 is $actual, expected $4"; fi
}

screen_half=$(over_desktop 127 255)  # background opacity 50 -> alpha byte 127

# Mode 2 (fit): 512x384 on 1280x1024 is 1280x960 at y = 32, bars 32 high above and below.
run_case mode2-frame 960 512 "$screen_half" MagType=2 foregroundAlpha=100 backgroundAlpha=50 frameEnabled=1 confineBgFilterToShadowGraph=0
for ((m = 0; m < monitors; m++)); do
  left=$((m * monitor_w))
  expect_pixel "mode 2, monitor $m: shadow" $((left + 320)) 512 0,0,0
  expect_pixel "mode 2, monitor $m: screen at 50 % over the desktop" $((left + 960)) 512 "$screen_half"
  expect_pixel "mode 2, monitor $m: top bar in the shadow colour" $((left + 640)) 10 0,0,0
  expect_pixel "mode 2, monitor $m: bottom bar in the shadow colour" $((left + 640)) 1013 0,0,0
  expect_pixel "mode 2, monitor $m: picture starts below the bar" $((left + 960)) 40 "$screen_half"
done

# Without the frame the bars carry the screen; confined, the desktop shows untouched outside.
run_case mode2-screen 960 512 "$screen_half" MagType=2 foregroundAlpha=100 backgroundAlpha=50 frameEnabled=0 confineBgFilterToShadowGraph=0
expect_pixel "mode 2 without frame: the bars carry the screen" 640 10 "$screen_half"
run_case mode2-confined 960 512 "$screen_half" MagType=2 foregroundAlpha=100 backgroundAlpha=50 frameEnabled=0 confineBgFilterToShadowGraph=1
expect_pixel "mode 2 confined: the desktop outside the picture" 640 10 "$desk_r,$desk_g,$desk_b"

# Mode 3 (fill): 1365x1024 at x = -42: no bars, shadow on the left, screen on the right; a shadow
# at 50 % darkens the desktop by half.
run_case mode3-half-shadow 300 10 "$(over_desktop 127 0)" MagType=3 foregroundAlpha=50 backgroundAlpha=0 frameEnabled=1
for ((m = 0; m < monitors; m++)); do
  left=$((m * monitor_w))
  expect_pixel "mode 3, monitor $m: shadow at 50 % over the desktop" $((left + 300)) 10 "$(over_desktop 127 0)"
  expect_pixel "mode 3, monitor $m: screen at 0 % leaves the desktop" $((left + 1000)) 1013 "$desk_r,$desk_g,$desk_b"
done

# Soft edges over a black desktop: a ramp from black to white with the screen transparent darkens
# nothing that is black already. The bottom quarter of the picture is a half shadow over a red
# window: dark red shows only in the drawn picture (the capture darkened by half).
if [ "$monitors" = 1 ]; then
  trap stop_colour_window EXIT
  xsetroot -solid black
  make_frame_file "$E2E_WORK/um.bin" 30 '128 if y >= 288 else x // 2'
  SHOT="$E2E_WORK/ramp.png"
  show_colour_window 540 820 200 100 ff0000
  screenshot_until "$SHOT" 30000 pixel_is 640 870 255,0,0 || fail "the red window shows before the saver starts"
  write_settings MagType=2 foregroundAlpha=100 backgroundAlpha=0 frameEnabled=0 confineBgFilterToShadowGraph=0
  start_saver "$E2E_WORK/kagemira.scr" /s
  expect_fullscreen_window "0 0 $screen_w $screen_h 1 1" >/dev/null
  wait_for_picture "$SHOT" pixel_is 640 870 128,0,0 || fail "ramp: the saver shows its picture"
  harness_screenshot "$SHOT"  # a second look, after the first frame surely finished
  for x in 64 192 320 448 576 704 832 960 1088 1216; do
    expect_pixel "ramp over black stays black" "$x" 300 0,0,0
  done
  wait_saver_foreground
  xdotool key a
  wait_saver_exit 10000 >/dev/null || stop_saver
  stop_colour_window
fi
clear_settings
xsetroot -solid black
finish
