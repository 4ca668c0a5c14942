# The user's own media as a fresh Windows reads it: in a prefix whose DirectShow reads no MP4, M4A
# or MOV (tools/lib/harness.sh, harness_fresh_windows_template), an M4A song is heard as background
# music at its volume and again after it restarts; an MP4 plays as background video, picture and
# sound, with either renderer setting; an MP4 shadow movie is drawn and loops; the dialog auditions
# an M4A. Files that cannot be read leave the black window, which still ends on input at once, and
# the process exits cleanly; without Media Foundation everything DirectShow reads plays as before.
source "$(dirname "$0")/../lib.sh"
screen_w=${HARNESS_SCREEN%x*}; screen_h=${HARNESS_SCREEN#*x}

export WINEPREFIX="$E2E_WORK/prefix"
cp -a "$(harness_fresh_windows_template)" "$WINEPREFIX" || { fail "the fresh-Windows prefix"; finish; }
end_prefix() { wineserver -k >/dev/null 2>&1; restore_dlls kagemira.scr; }
trap end_prefix EXIT
wineserver -p 5 >/dev/null 2>&1 </dev/null || true
wine cmd /c exit >/dev/null 2>&1 </dev/null || true

# The player's fallback, in this prefix (the source filter's own tests need no particular prefix).
inprocess_status=0
KAGEMIRA_FRESH_WINDOWS=1 wine "$KAGEMIRA_TEST_BIN/media_wine_tests.exe" --gtest_filter='FreshWindows*' \
  >"$E2E_WORK/inprocess.log" 2>&1 || inprocess_status=$?
check "in-process: the graph falls back to Media Foundation only for what DirectShow cannot read ($(grep -c '^\[       OK' "$E2E_WORK/inprocess.log") passed, status $inprocess_status)" \
  test $inprocess_status = 0
grep -A12 'Failure' "$E2E_WORK/inprocess.log"

desk_r=51 desk_g=102 desk_b=153
xsetroot -solid '#336699'
cp "$SAVER" "$E2E_WORK/kagemira.scr"
make_frame_file "$E2E_WORK/um.bin" 30 '0 if x < 256 else 255'
screen_x=$((screen_w * 3 / 4)) y=$((screen_h / 2))
SHOT="$E2E_WORK/shot.png"
half_over() { echo "$(( (255 * 127 + $1 * 128) / 255 )),$(( (255 * 127 + $2 * 128) / 255 )),$(( (255 * 127 + $3 * 128) / 255 ))"; }

# start_with <background file> <settings...>: the saver with that background, white screen at 50 %.
start_with() {
  local file=$1; shift
  write_settings MagType=3 foregroundAlpha=100 backgroundAlpha=50 frameEnabled=0 \
    bgmEnabled=1 "bgmPath=$(harness_winpath "$file")" "$@"
  xdotool mousemove $((screen_w / 2)) $((screen_h / 2))
  start_saver "$E2E_WORK/kagemira.scr" /s
  expect_fullscreen_window "0 0 $screen_w $screen_h 1 1" >/dev/null
}
end_saver() { wait_saver_foreground; ends_on_input "$1: a key ends the saver" xdotool key a; }
sound="$E2E_WORK/sound.raw"
level() { "$KAGEMIRA_TOP/tools/audio-level" "$sound" | awk -v f="$1" '{ for (i = 1; i < NF; i++) if ($i == f) print $(i + 1) }'; }
between() { awk -v v="$1" -v lo="$2" -v hi="$3" 'BEGIN { exit !(v >= lo && v <= hi) }'; }

# An M4A song (1.5 s, 72000 sounding samples per play) at volume 80 (-20 dB: a peak near 0.06),
# heard until more than one play has sounded: it restarted.
harness_capture_audio "$sound"
start_with "$KAGEMIRA_TEST_MEDIA/tone.m4a" bgmVolume=80
played_twice() { [ -f "$sound" ] && [ "$(level sounding)" -gt 110000 ]; }
wait_until 30000 played_twice
end_saver "m4a music"
harness_mute_audio
peak=$(level peak) sounding=$(level sounding)
check "m4a music: heard at volume 80 (peak $peak)" between "$peak" 0.03 0.1
check "m4a music: heard again after it restarted ($sounding sounding samples, one play is 72000)" test "$sounding" -gt 110000

# An MP4 background video with sound, through either renderer setting (VMR-7 cannot be built under
# Wine: the player falls back to the VMR-9, as for any file).
video_r=200 video_g=40 video_b=120
for renderer in 0 1; do
  harness_capture_audio "$sound"
  start_with "$KAGEMIRA_TEST_MEDIA/colour-h264.mp4" VideoRenderer=$renderer
  expected=$(half_over $video_r $video_g $video_b)
  screenshot_until "$SHOT" 30000 pixel_near "$screen_x" "$y" "$expected" 8
  pixel=$(harness_pixel "$SHOT" "$screen_x" "$y")
  check "mp4 video (renderer $renderer): the screen at 50 % over the video's colour ($pixel, expected $expected)" \
    colour_near "$pixel" ${expected//,/ } 8
  end_saver "mp4 video (renderer $renderer)"
  harness_mute_audio
  peak=$(level peak)
  check "mp4 video (renderer $renderer): its sound was heard (peak $peak)" between "$peak" 0.3 1
done

# An MP4 shadow movie of one second whose halves swap at half time: drawn through the effect and
# seen swapping several times, so it loops.
left_x=$((screen_w / 4)) right_x=$((screen_w * 3 / 4))
write_settings MagType=1 frameEnabled=0 foregroundAlpha=100 backgroundAlpha=0 VideoRenderer=1 shadowMovieEnabled=1 \
  "shadowMoviePath=$(harness_winpath "$KAGEMIRA_TEST_MEDIA/halves-swap-h264.mp4")"
start_saver "$E2E_WORK/kagemira.scr" /s
expect_fullscreen_window "0 0 $screen_w $screen_h 1 1" >/dev/null
count_halves_swaps $left_x $right_x $y
swaps=$HALVES_SWAPS
check "mp4 shadow movie: drawn and looping, its halves swapped $swaps times of 3" test $swaps = 3
end_saver "mp4 shadow movie"

# The dialog's audition of an M4A song: 試聴 plays it until it is heard, then Escape closes the dialog.
write_settings bgmEnabled=1 "bgmPath=$(harness_winpath "$KAGEMIRA_TEST_MEDIA/tone.m4a")" bgmVolume=100
harness_capture_audio "$sound"
dialog_probe "$E2E_WORK/kagemira.scr" /c click 1014 end 2 >"$E2E_WORK/dialog.log" 2>&1 &
dialog_pid=$!
heard() { [ -f "$sound" ] && awk -v p="$(level peak)" 'BEGIN { exit !(p > 0.3) }'; }
wait_until 30000 heard
xdotool key Escape
dialog_status=0
wait $dialog_pid || dialog_status=$?
harness_mute_audio
peak=$(level peak)
check "audition: the m4a song was heard (peak $peak)" between "$peak" 0.3 1
check "audition: the dialog closed on Escape (probe status $dialog_status)" test $dialog_status = 0

# Files that cannot be read: the start fails, the window stays black and a key still ends it.
for broken in empty.mp4 not-media.m4a truncated.mp4; do
  start_with "$KAGEMIRA_TEST_MEDIA/$broken"
  screenshot_until "$SHOT" 30000 pixel_near $((screen_w / 2)) "$y" 0,0,0 0
  check "$broken: the window is black" test "$(harness_pixel "$SHOT" $((screen_w / 2)) "$y")" = 0,0,0
  end_saver "$broken"
  exit_status=0
  wait "$SAVER_PID" || exit_status=$?
  check "$broken: the saver exited cleanly (status $exit_status)" test $exit_status = 0
done

# Without Media Foundation (a Windows N without the media feature pack): an M4A is as unplayable
# as any file DirectShow cannot read, and a WAV still plays and is heard.
disable_dll kagemira.scr mfplat
start_with "$KAGEMIRA_TEST_MEDIA/tone.m4a"
screenshot_until "$SHOT" 30000 pixel_near $((screen_w / 2)) "$y" 0,0,0 0
check "no Media Foundation, m4a: the window is black" test "$(harness_pixel "$SHOT" $((screen_w / 2)) "$y")" = 0,0,0
end_saver "no Media Foundation, m4a"
harness_capture_audio "$sound"
start_with "$KAGEMIRA_TEST_MEDIA/tone-long.wav"
expected=$(half_over $desk_r $desk_g $desk_b)
screenshot_until "$SHOT" 30000 pixel_is "$screen_x" "$y" "$expected"
end_saver "no Media Foundation, wav"
harness_mute_audio
peak=$(level peak)
check "no Media Foundation, wav: heard (peak $peak)" between "$peak" 0.3 1
restore_dlls kagemira.scr

clear_settings
xsetroot -solid black
finish
