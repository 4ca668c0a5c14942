# Without um.bin beside it the saver shows a black window and still ends on input.
source "$(dirname "$0")/../lib.sh"
screen_w=${HARNESS_SCREEN%x*}; screen_h=${HARNESS_SCREEN#*x}

cp "$SAVER" "$E2E_WORK/kagemira.scr"
xsetroot -solid '#336699'
xdotool mousemove $((screen_w / 2)) $((screen_h / 2))
start_saver "$E2E_WORK/kagemira.scr" /s
check "the saver window comes up" expect_fullscreen_window "0 0 $screen_w $screen_h 1 1"
# The black class background appears once the window is painted.
screenshot_until "$E2E_WORK/shot.png" 30000 pixel_is $((screen_w / 2)) $((screen_h / 2)) 0,0,0
sleep 1  # and stays black: nothing else is drawn
harness_screenshot "$E2E_WORK/shot.png"
centre=$(harness_pixel "$E2E_WORK/shot.png" $((screen_w / 2)) $((screen_h / 2)))
corner=$(harness_pixel "$E2E_WORK/shot.png" 5 5)
echo "centre $centre corner $corner"
check "the window is black" test "$centre,$corner" = "0,0,0,0,0,0"
wait_saver_foreground
ends_on_input "a key press still ends it" xdotool key space
xsetroot -solid black
finish
