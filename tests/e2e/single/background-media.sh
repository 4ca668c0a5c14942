# Background media behind the animation: a video of one colour replaces the desktop wherever the
# white screen is less than opaque; music alone keeps the desktop and is heard; a background file
# that cannot be opened leaves the black window, which still ends on input.
source "$(dirname "$0")/../lib.sh"
screen_w=${HARNESS_SCREEN%x*}; screen_h=${HARNESS_SCREEN#*x}

desk_r=51 desk_g=102 desk_b=153
video_r=200 video_g=40 video_b=120  # colour-raw.avi
xsetroot -solid '#336699'
cp "$SAVER" "$E2E_WORK/kagemira.scr"
# Left half shadow, right half screen; mode 3 fills the monitor (512x384 at 2.667: x from -42).
make_frame_file "$E2E_WORK/um.bin" 30 '0 if x < 256 else 255'

half_over() {  # half_over <r> <g> <b>: white at opacity 50 (alpha byte 127) over that colour
  echo "$(( (255 * 127 + $1 * 128) / 255 )),$(( (255 * 127 + $2 * 128) / 255 )),$(( (255 * 127 + $3 * 128) / 255 ))"
}
screen_x=$((screen_w * 3 / 4)) shadow_x=$((screen_w / 4)) y=$((screen_h / 2))
SHOT="$E2E_WORK/shot.png"

# start_with <background file> [volume]: the saver with that background, white screen at 50 %.
start_with() {
  write_settings MagType=3 foregroundAlpha=100 backgroundAlpha=50 frameEnabled=0 \
    bgmEnabled=1 "bgmPath=$(harness_winpath "$1")" "bgmVolume=${2:-100}" VideoRenderer=1
  xdotool mousemove $((screen_w / 2)) $((screen_h / 2))
  start_saver "$E2E_WORK/kagemira.scr" /s
  expect_fullscreen_window "0 0 $screen_w $screen_h 1 1" >/dev/null
}

# A background video, uncompressed and H.264: the screen lies over the video, never over the
# desktop (the H.264 colour comes back through YUV, a few steps off).
for video in colour-raw.avi:3 colour-h264.mp4:8; do
  name=${video%:*} tolerance=${video#*:}
  start_with "$KAGEMIRA_TEST_MEDIA/$name"
  expected=$(half_over $video_r $video_g $video_b)
  screenshot_until "$SHOT" 30000 pixel_near "$screen_x" "$y" "$expected" "$tolerance"
  pixel=$(harness_pixel "$SHOT" "$screen_x" "$y")
  check "$name: the screen at 50 % over the video's colour (${pixel}, expected $expected)" \
    colour_near "$pixel" ${expected//,/ } "$tolerance"
  desktop=""
  for point in "40 40" "$((screen_w - 40)) $((screen_h - 40))" "$screen_x 40" "$shadow_x $((screen_h - 40))"; do
    set -- $point
    actual=$(harness_pixel "$SHOT" "$1" "$2")
    colour_near "$actual" $(half_over $desk_r $desk_g $desk_b | tr , ' ') 10 && desktop="$desktop $1,$2"
  done
  check "$name: the desktop shows nowhere${desktop:+ (it does at$desktop)}" test -z "$desktop"
  check "$name: the shadow stays black" colour_near "$(harness_pixel "$SHOT" "$shadow_x" "$y")" 0 0 0
  wait_saver_foreground
  ends_on_input "$name: a key ends the saver" xdotool key a
done

# Music alone: the desktop stays the background, and the music is heard.
harness_capture_audio "$E2E_WORK/sound.raw"
start_with "$KAGEMIRA_TEST_MEDIA/tone-long.wav"
expected=$(half_over $desk_r $desk_g $desk_b)
screenshot_until "$SHOT" 30000 pixel_is "$screen_x" "$y" "$expected"
pixel=$(harness_pixel "$SHOT" "$screen_x" "$y")
check "music: the screen at 50 % over the desktop ($pixel, expected $expected)" colour_near "$pixel" ${expected//,/ }
wait_saver_foreground
ends_on_input "music: a key ends the saver" xdotool key a
harness_mute_audio
levels=$("$KAGEMIRA_TOP/tools/audio-level" "$E2E_WORK/sound.raw")
echo "music: $levels"
peak=$(echo "$levels" | awk '{print $2}')
check "music: the tone was heard (peak $peak)" awk -v p="$peak" 'BEGIN { exit !(p > 0.3) }'

# A background file that cannot be opened: the start fails and the window stays black.
start_with "$E2E_WORK/no such music.mp3"
screenshot_until "$SHOT" 30000 pixel_near $((screen_w / 2)) "$y" 0,0,0 0
centre=$(harness_pixel "$SHOT" $((screen_w / 2)) "$y") corner=$(harness_pixel "$SHOT" 5 5)
check "missing file: the window is black (centre $centre, corner $corner)" test "$centre,$corner" = "0,0,0,0,0,0"
wait_saver_foreground
ends_on_input "missing file: a key still ends it" xdotool key space

clear_settings
xsetroot -solid black
finish
