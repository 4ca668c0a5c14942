# A shadow movie as the silhouette: black on the left and white on the right, stretched over the
# screen (over the desktop or a background video). The effect turns the movie's darkness into the shadow's opacity, so its white half shows
# the desktop (or white at the screen's opacity) instead of opaque white. The movie loops; a file
# with no pictures warns and the packed frames play; the layered window plays the packed frames.
# With the default settings (VMR-7, which Wine cannot build) the videos play through the VMR-9; a
# colour movie keeps its colours; without D3DX the device's own shaders make the effect, and only
# without pixel shaders as well is the movie opaque.
source "$(dirname "$0")/../lib.sh"
trap 'restore_dlls kagemira.scr; restore_pixel_shaders kagemira.scr' EXIT
screen_w=${HARNESS_SCREEN%x*}; screen_h=${HARNESS_SCREEN#*x}

desk_r=51 desk_g=102 desk_b=153
desktop="$desk_r,$desk_g,$desk_b"
xsetroot -solid '#336699'
cp "$SAVER" "$E2E_WORK/kagemira.scr"
# The packed frames: all shadow, so that they are told apart from the movie at a glance.
make_frame_file "$E2E_WORK/um.bin" 30 '0'

left_x=$((screen_w / 4)) right_x=$((screen_w * 3 / 4)) y=$((screen_h / 2))
SHOT="$E2E_WORK/shot.png"

# start_with <movie> <settings...>: the saver with that shadow movie, stretched over the monitor,
# through the VMR-9; start_default: the same with no VideoRenderer key (the default, VMR-7).
start_with() { start_default "$@" VideoRenderer=1; }
start_default() {
  local movie=$1; shift
  write_settings MagType=1 frameEnabled=0 shadowMovieEnabled=1 "shadowMoviePath=$(harness_winpath "$movie")" "$@"
  xdotool mousemove $((screen_w / 2)) $((screen_h / 2))
  start_saver "$E2E_WORK/kagemira.scr" /s
}
end_saver() {  # end_saver <name>
  wait_saver_foreground
  ends_on_input "$1: a key ends the saver" xdotool key a
}
left_right() { echo "left $(harness_pixel "$SHOT" $left_x $y), right $(harness_pixel "$SHOT" $right_x $y)"; }

# Full shadow, no screen: black where the movie is black, the desktop where it is white.
start_with "$KAGEMIRA_TEST_MEDIA/halves.avi" foregroundAlpha=100 backgroundAlpha=0
expect_fullscreen_window "0 0 $screen_w $screen_h 1 1" >/dev/null
# Before the movie's first frame the screen is all desktop or all shadow: wait for both halves.
movie_over_desktop() { pixel_is $left_x $y 0,0,0 "$1" && pixel_is $right_x $y "$desktop" "$1"; }
screenshot_until "$SHOT" 30000 movie_over_desktop
check "opaque shadow: black on the left ($(left_right))" pixel_is $left_x $y 0,0,0 "$SHOT"
check "screen at 0: the desktop on the right ($(left_right))" pixel_is $right_x $y "$desktop" "$SHOT"
check "the silhouette is stretched to the screen's edges" pixel_is 5 5 0,0,0 "$SHOT"
end_saver "0 %"

# The screen at 50 %: white at half opacity over the desktop on the right.
half=$(( (255 * 127 + desk_r * 128) / 255 )),$(( (255 * 127 + desk_g * 128) / 255 )),$(( (255 * 127 + desk_b * 128) / 255 ))
start_with "$KAGEMIRA_TEST_MEDIA/halves.avi" foregroundAlpha=100 backgroundAlpha=50
screenshot_until "$SHOT" 30000 pixel_is $right_x $y "$half"
check "screen at 50 %: white at half opacity over the desktop on the right ($(left_right), expected $half)" \
  pixel_is $right_x $y "$half" "$SHOT"
check "screen at 50 %: the shadow stays black" pixel_is $left_x $y 0,0,0 "$SHOT"
end_saver "50 %"

# With a background video of one colour: the video shows where the movie is white, behind the
# silhouette, and the desktop nowhere.
start_with "$KAGEMIRA_TEST_MEDIA/halves.avi" foregroundAlpha=100 backgroundAlpha=0 bgmEnabled=1 \
  "bgmPath=$(harness_winpath "$KAGEMIRA_TEST_MEDIA/colour-raw.avi")"
screenshot_until "$SHOT" 30000 pixel_is $right_x $y 200,40,120
check "background video: its colour behind the white half ($(left_right))" pixel_is $right_x $y 200,40,120 "$SHOT"
check "background video: the silhouette in front of it" pixel_is $left_x $y 0,0,0 "$SHOT"
end_saver "background video"

# A one-second movie whose halves swap at half time: seen swapping back and forth several times,
# it restarted at its end.
start_with "$KAGEMIRA_TEST_MEDIA/halves-swap.avi" foregroundAlpha=100 backgroundAlpha=0
count_halves_swaps $left_x $right_x $y
swaps=$HALVES_SWAPS
check "the one-second movie kept playing: its halves swapped $swaps times of 3" test $swaps = 3
end_saver "looping"

# A file with sound only: the warning, then the packed frames (all shadow).
start_with "$KAGEMIRA_TEST_MEDIA/tone.wav" foregroundAlpha=100 backgroundAlpha=0
box=$(probe answer-box 30000 | tr -d '\r'); echo "$box" | sed 's/^/  probe: /' >&2
check "no pictures: the box is titled Error" grep -qxF "caption: Error" <<<"$box"
check "no pictures: the box says so" grep -qxF "text: 影絵に指定された動画ファイルから映像を読み取れませんでした。" <<<"$box"
screenshot_until "$SHOT" 30000 pixel_is $right_x $y 0,0,0
check "no pictures: after the box the packed frames play ($(left_right))" pixel_is $right_x $y 0,0,0 "$SHOT"
end_saver "no pictures"

# The default settings, with a background H.264 video: both videos play (through the VMR-9), the
# video behind the movie's white half (its colour a few steps off through YUV).
start_default "$KAGEMIRA_TEST_MEDIA/halves.avi" foregroundAlpha=100 backgroundAlpha=0 bgmEnabled=1 \
  "bgmPath=$(harness_winpath "$KAGEMIRA_TEST_MEDIA/colour-h264.mp4")"
video_behind() { pixel_near $right_x $y 200,40,120 8 "$1" && pixel_is $left_x $y 0,0,0 "$1"; }
screenshot_until "$SHOT" 30000 video_behind
check "default settings: the H.264 video behind the white half, the silhouette in front ($(left_right))" \
  video_behind "$SHOT"
check "default settings: the ini keeps no VideoRenderer" test -z "$(grep VideoRenderer "$(settings_file)")"
end_saver "default settings"

# A colour movie (stripes of grey 128, red and black) over the desktop, the screen at 0: each
# stripe at the effect's alpha, 1 - (2R + 4G + B) / 7, with its own colour over #336699:
# grey (89,115,140), red (197,29,44), black (0,0,0).
stripe_x() { echo $(( screen_w * (2 * $1 + 1) / 6 )); }
stripes() { echo "grey $(harness_pixel "$SHOT" "$(stripe_x 0)" $y), red $(harness_pixel "$SHOT" "$(stripe_x 1)" $y), black $(harness_pixel "$SHOT" "$(stripe_x 2)" $y)"; }
true_colours() {
  pixel_is "$(stripe_x 0)" $y 89,115,140 "$1" && pixel_is "$(stripe_x 1)" $y 197,29,44 "$1" &&
    pixel_is "$(stripe_x 2)" $y 0,0,0 "$1"
}
start_default "$KAGEMIRA_TEST_MEDIA/stripes.avi" foregroundAlpha=100 backgroundAlpha=0
screenshot_until "$SHOT" 30000 true_colours
check "colour movie: grey, red and black at their opacities over the desktop ($(stripes))" true_colours "$SHOT"
end_saver "colour movie"

# Without D3DX the device's own shaders make the effect: the same picture, the desktop in the
# white half at screen opacity 0.
disable_dll kagemira.scr d3dx9_42
start_default "$KAGEMIRA_TEST_MEDIA/halves.avi" foregroundAlpha=100 backgroundAlpha=0
screenshot_until "$SHOT" 30000 movie_over_desktop
check "without D3DX: black on the left, the desktop on the right ($(left_right))" movie_over_desktop "$SHOT"
end_saver "without D3DX"

# Without pixel shaders as well, neither way works: the movie is drawn as it is, opaque.
no_pixel_shaders kagemira.scr
start_default "$KAGEMIRA_TEST_MEDIA/halves.avi" foregroundAlpha=100 backgroundAlpha=0
opaque_movie() { pixel_is $left_x $y 0,0,0 "$1" && pixel_is $right_x $y 255,255,255 "$1"; }
screenshot_until "$SHOT" 30000 opaque_movie
check "neither D3DX nor pixel shaders: the movie opaque, white on the right ($(left_right))" opaque_movie "$SHOT"
end_saver "no effect"
restore_pixel_shaders kagemira.scr
restore_dlls kagemira.scr

# The layered window takes no shadow movie: the packed frames over the live desktop.
start_with "$KAGEMIRA_TEST_MEDIA/halves.avi" foregroundAlpha=100 backgroundAlpha=0 layeredWindow=1
screenshot_until "$SHOT" 30000 pixel_is $right_x $y 0,0,0
check "layered: the packed frames play instead of the movie ($(left_right))" pixel_is $right_x $y 0,0,0 "$SHOT"
check "layered: the ini keeps the shadow movie on" grep -q "^shadowMovieEnabled=1" "$(settings_file)"
end_saver "layered"

clear_settings
xsetroot -solid black
finish
