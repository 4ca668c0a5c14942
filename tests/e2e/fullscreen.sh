# Shared by the one- and two-monitor runs. The full-screen saver covers the screen, stays up, and ends on a key press and on mouse movement.
source "$(dirname "$0")/lib.sh"
screen_w=${HARNESS_SCREEN%x*}; screen_h=${HARNESS_SCREEN#*x}

xdotool mousemove $((screen_w / 2)) $((screen_h / 2))
start_saver "$SAVER" /s
check "the /s window covers the whole virtual screen, visible and topmost" \
  expect_fullscreen_window "0 0 $screen_w $screen_h 1 1"
check "the saver window gets the keyboard" wait_saver_foreground
sleep 1.5
check "the saver stays up without input" saver_running
xdotool mousemove_relative 2 2
sleep 0.5
check "a jitter of two pixels does not end it" saver_running
ends_on_input "a key press ends it" xdotool key a

start_saver "$SAVER" /S
expect_fullscreen_window "0 0 $screen_w $screen_h 1 1" >/dev/null
wait_saver_foreground
ends_on_input "mouse movement ends it" xdotool mousemove 100 100

start_saver "$SAVER" -s
expect_fullscreen_window "0 0 $screen_w $screen_h 1 1" >/dev/null
wait_saver_foreground
ends_on_input "a mouse button ends it" xdotool click 1
finish
