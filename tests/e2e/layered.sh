# Shared by the one- and two-monitor runs: the saver in layered-window mode over the live desktop,
# seen through a compositor this script starts and ends. Expected colours come from laying the
# frame over the desktop: premultiplied colour + desktop x (1 - coverage), where the coverage
# stacks the veil (black at the screen opacity), the bars and the scene.
source "$(dirname "$0")/lib.sh"
screen_w=${HARNESS_SCREEN%x*}; screen_h=${HARNESS_SCREEN#*x}
monitors=${1:-1}
monitor_w=$((screen_w / monitors))

trap 'stop_saver; stop_colour_window; stop_compositor' EXIT
desk_r=51 desk_g=102 desk_b=153
desktop="$desk_r,$desk_g,$desk_b"
start_compositor '#336699'
E2E_SCREENSHOT=composited_screenshot
SHOT="$E2E_WORK/shot.png"
cp "$SAVER" "$E2E_WORK/kagemira.scr"
# Left half shadow, right half screen.
make_frame_file "$E2E_WORK/um.bin" 30 '0 if x < 256 else 255'

over_desktop() {  # over_desktop <alpha byte> <colour channel>: that colour at alpha over the desktop
  local a=$1 c=$2
  echo "$(( (c * a + desk_r * (255 - a)) / 255 )),$(( (c * a + desk_g * (255 - a)) / 255 )),$(( (c * a + desk_b * (255 - a)) / 255 ))"
}

# The screen at 50 % over the veil at 50 %: white x 0.5 + desktop x 0.5 x 0.5.
veiled() { echo $((127 + $1 * 128 / 255 * 128 / 255)); }
screen_over_veil="$(veiled $desk_r),$(veiled $desk_g),$(veiled $desk_b)"

# start_case <name> <marker x> <marker y> <marker colour> <settings...>: starts the saver and
# waits until the marker pixel shows what the saver's frame puts there.
start_case() {
  local name=$1 x=$2 y=$3 colour=$4; shift 4
  write_settings layeredWindow=1 "$@"
  xdotool mousemove $((screen_w / 2)) $((screen_h / 2))
  start_saver "$E2E_WORK/kagemira.scr" /s
  check "$name: the layered window spans the whole desktop" expect_fullscreen_window "0 0 $screen_w $screen_h 1 1"
  wait_for_picture "$SHOT" pixel_is "$x" "$y" "$colour" ||
    fail "$name: the frame never showed at $x,$y (shows $(harness_pixel "$SHOT" "$x" "$y"), expected $colour)"
  wait_saver_foreground
}

end_case() {
  xdotool key a
  wait_saver_exit 10000 >/dev/null || stop_saver
}

# expect_pixel <description> <x> <y> <expected r,g,b>, in the last screenshot
expect_pixel() {
  local actual; actual=$(harness_pixel "$SHOT" "$2" "$3")
  if colour_near "$actual" ${4//,/ }; then pass "$1 at $2,$3 is $actual"; else fail "$1 at $2,$3 is $actual, expected $4"; fi
}

if [ "$monitors" = 1 ]; then
  # Mode 2 (fit): 512x384 on 1280x1024 is 1280x960 at y = 32, bars 32 high above and below.
  # A red window lies under the screen's half of the picture.
  show_colour_window 900 300 200 200 ff0000
  screenshot_until "$SHOT" 30000 pixel_is 1000 400 255,0,0 || fail "the red window shows before the saver starts"

  # Screen transparent and confined: only the silhouette (at 50 %) darkens the live desktop. The
  # markers the scripts wait for are colours only the frame can give (the saver's window is black
  # before its first frame).
  start_case "confined, screen at 0 %" 320 512 "$(over_desktop 127 0)" \
    MagType=2 foregroundAlpha=50 backgroundAlpha=0 frameEnabled=0 confineBgFilterToShadowGraph=1
  expect_pixel "confined: the desktop beside the silhouette" 960 600 "$desktop"
  expect_pixel "confined: the desktop where the bars would be" 640 10 "$desktop"
  expect_pixel "confined: the red window shows through" 1000 400 255,0,0
  # The desktop is live: the window, moved under the saver, shows where it now is.
  move_colour_window 700 600
  if screenshot_until "$SHOT" 30000 pixel_is 800 700 255,0,0; then pass "the moved window shows through at its new place"; else fail "the moved window does not show at 800,700"; fi
  expect_pixel "and no longer at its old place" 1000 400 "$desktop"
  expect_pixel "the silhouette stays at 50 %" 320 512 "$(over_desktop 127 0)"
  end_case
  move_colour_window 600 0

  # An opaque screen without confinement, transparent bars: the veil covers the desktop in black.
  start_case "opaque veil" 960 512 255,255,255 \
    MagType=2 foregroundAlpha=0 backgroundAlpha=100 frameEnabled=1 confineBgFilterToShadowGraph=0
  expect_pixel "opaque veil: the bottom bar" 640 1013 0,0,0
  expect_pixel "opaque veil: hides the red window in the bar" 650 20 0,0,0
  expect_pixel "opaque veil: the white screen, over the red window too" 650 60 255,255,255
  expect_pixel "opaque veil: the top bar" 640 10 0,0,0
  expect_pixel "opaque veil: the transparent silhouette shows the veil" 320 512 0,0,0
  end_case
  stop_colour_window

  # Bars in the shadow colour at 50 %, a transparent screen; a shadow movie is set as well, and
  # the packed frames play instead.
  start_case "frame at 50 %" 640 10 "$(over_desktop 127 0)" \
    MagType=2 foregroundAlpha=50 backgroundAlpha=0 frameEnabled=1 confineBgFilterToShadowGraph=0 \
    shadowMovieEnabled=1 'shadowMoviePath=C:\no such movie.avi'
  expect_pixel "frame at 50 %: the bottom bar" 640 1013 "$(over_desktop 127 0)"
  expect_pixel "frame at 50 %: the packed frame's shadow" 320 512 "$(over_desktop 127 0)"
  expect_pixel "frame at 50 %: the packed frame's screen leaves the desktop" 960 512 "$desktop"

  # Input still ends the saver within a second.
  ends_on_input "layered: a key press ends it" xdotool key a
  start_case "input" 960 512 "$screen_over_veil" MagType=2 foregroundAlpha=100 backgroundAlpha=50
  ends_on_input "layered: mouse movement ends it" xdotool mousemove 100 100
  start_case "input" 960 512 "$screen_over_veil" MagType=2 foregroundAlpha=100 backgroundAlpha=50
  ends_on_input "layered: a mouse button ends it" xdotool click 1

  # Soft edges over a black desktop: a ramp from black to white with the screen transparent
  # darkens nothing that is black already. The bottom quarter is a half shadow over a red window:
  # dark red shows only once the frame does.
  stop_compositor
  start_compositor '#000000'
  make_frame_file "$E2E_WORK/um.bin" 30 '128 if y >= 288 else x // 2'
  show_colour_window 540 820 200 100 ff0000
  screenshot_until "$SHOT" 30000 pixel_is 640 870 255,0,0 || fail "the red window shows before the saver starts"
  start_case "ramp" 640 870 128,0,0 MagType=2 foregroundAlpha=100 backgroundAlpha=0 frameEnabled=0 confineBgFilterToShadowGraph=0
  for x in 64 192 320 448 576 704 832 960 1088 1216; do
    expect_pixel "layered ramp over black stays black" "$x" 300 0,0,0
  done
  end_case
  stop_colour_window
else
  # Mode 2: one picture per monitor, each 1280x960 at y = 32 with its own bars.
  start_case "mode 2 on two monitors" 960 512 "$screen_over_veil" \
    MagType=2 foregroundAlpha=100 backgroundAlpha=50 frameEnabled=1 confineBgFilterToShadowGraph=0
  for ((m = 0; m < monitors; m++)); do
    left=$((m * monitor_w))
    expect_pixel "mode 2, monitor $m: shadow" $((left + 320)) 512 0,0,0
    expect_pixel "mode 2, monitor $m: screen over the veil" $((left + 960)) 512 "$screen_over_veil"
    expect_pixel "mode 2, monitor $m: top bar in the shadow colour" $((left + 640)) 10 0,0,0
  done
  end_case

  # Mode 4: one picture over the whole desktop, 2560x1920 at y = -448: the shadow is the whole
  # first monitor, the screen the whole second.
  start_case "mode 4 over the desktop" 1000 512 "$(over_desktop 127 0)" \
    MagType=4 foregroundAlpha=50 backgroundAlpha=0 confineBgFilterToShadowGraph=1
  expect_pixel "mode 4: shadow on the first monitor" 200 100 "$(over_desktop 127 0)"
  expect_pixel "mode 4: screen on the second monitor" 1400 512 "$desktop"
  expect_pixel "mode 4: screen on the second monitor" 2400 900 "$desktop"
  end_case
fi
clear_settings
finish
