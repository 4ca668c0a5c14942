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
  if wait_for_pixel "$screen_x" "$y" "$(half_over $video_r $video_g $video_b)" 15000 "$tolerance"; then
    pass "$name: the screen at 50 % over the video's colour ($PIXEL)"
  else
    fail "$name: the screen shows $PIXEL, expected $(half_over $video_r $video_g $video_b)"
  fi
  desktop=""
  for point in "40 40" "$((screen_w - 40)) $((screen_h - 40))" "$screen_x 40" "$shadow_x $((screen_h - 40))"; do
    set -- $point
    actual=$(harness_pixel "$SHOT" "$1" "$2")
    colour_near "$actual" $(half_over $desk_r $desk_g $desk_b | tr , ' ') 10 && desktop="$desktop $1,$2"
  done
  check "$name: the desktop shows nowhere${desktop:+ (it does at$desktop)}" test -z "$desktop"
  check "$name: the shadow stays black" colour_near "$(harness_pixel "$SHOT" "$shadow_x" "$y")" 0 0 0
  ends_on_input "$name: a key ends the saver" xdotool key a
done

# Music alone: the desktop stays the background, and the music is heard.
harness_capture_audio "$E2E_WORK/sound.raw"
start_with "$KAGEMIRA_TEST_MEDIA/tone-long.wav"
if wait_for_pixel "$screen_x" "$y" "$(half_over $desk_r $desk_g $desk_b)" 15000; then
  pass "music: the screen at 50 % over the desktop ($PIXEL)"
else
  fail "music: the screen shows $PIXEL, expected $(half_over $desk_r $desk_g $desk_b)"
fi
ends_on_input "music: a key ends the saver" xdotool key a
harness_mute_audio
levels=$("$KAGEMIRA_TOP/tools/audio-level" "$E2E_WORK/sound.raw")
echo "music: $levels"
peak=$(echo "$levels" | awk '{print $2}')
check "music: the tone was heard (peak $peak)" awk -v p="$peak" 'BEGIN { exit !(p > 0.3) }'

# A background file that cannot be opened: the start fails and the window stays black.
start_with "$E2E_WORK/no such music.mp3"
if wait_for_pixel $((screen_w / 2)) "$y" 0,0,0 15000 0 && colour_near "$(harness_pixel "$SHOT" 5 5)" 0 0 0 0; then
  pass "missing file: the window is black"
else
  fail "missing file: the window shows $PIXEL"
fi
ends_on_input "missing file: a key still ends it" xdotool key space

clear_settings
xsetroot -solid black
finish
