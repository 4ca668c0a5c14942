# From the saver's start until its first frame, screenshots taken as fast as they come never show
# the whole screen black while the desktop is not: the saver shows the desktop it captured until it
# draws. Three starts; the probe prints when the window showed, when the desktop did and when the
# first frame did, in milliseconds from the start of the process.
source "$(dirname "$0")/../lib.sh"
cp "$SAVER" "$E2E_WORK/kagemira.scr"
saver=$(harness_winpath "$E2E_WORK/kagemira.scr")
# An all-screen animation, white at 50 % over the desktop: the first frame changes every pixel.
make_frame_file "$E2E_WORK/um.bin" 30 '255'
write_settings MagType=1 backgroundAlpha=50 foregroundAlpha=100
xsetroot -solid '#336699'
xdotool mousemove 640 512

# The first frame showed, after screenshots of the start, none of them wholly black.
never_black() { [ "${black:-x}" = 0 ] && [ "${frame:--1}" -ge 0 ] && [ "${shots:-0}" -ge 2 ]; }
for run in 1 2 3; do
  out=$(probe start-watch "$saver" /s 30000 | tr -d '\r')
  black=$(field black "$out"); shots=$(field shots "$out"); frame=$(field frame "$out")
  check "start $run: $black of $shots screenshots wholly black (window at $(field window "$out") ms, desktop at $(field desktop "$out") ms, first frame at $frame ms)" \
    never_black
done

xsetroot -solid black
clear_settings
finish
