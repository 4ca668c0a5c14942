# With background music on, the test host's small preview is silent and its full-screen preview
# plays the music: sound captured from the real audio path (tools/audio-level reads it).
source "$(dirname "$0")/../vistrel-lib.sh"
screen_w=${HARNESS_SCREEN%x*}; screen_h=${HARNESS_SCREEN#*x}

prepare_host with-data
write_settings MagType=3 foregroundAlpha=100 backgroundAlpha=100 frameEnabled=0 \
  bgmEnabled=1 "bgmPath=$(harness_winpath "$KAGEMIRA_TEST_MEDIA/tone-long.wav")" bgmVolume=100
capture="$E2E_WORK/sound.raw"
harness_capture_audio "$capture"
start_host
harness_mute_audio  # only the test host's sound is captured
expect_main_dialog "the main dialog opens"

# peak_of <capture>: the largest sample in it (the first capture: in all of them).
peak_of() { "$KAGEMIRA_TOP/tools/audio-level" "$1" | awk '{print $2}'; }
captures() { ls "$capture" "$capture".[0-9][0-9][0-9][0-9] 2>/dev/null; }
# new_captures_sound <threshold> <files before>: some capture made since is louder than that.
new_captures_sound() {
  local threshold=$1 before=$2 file
  for file in $(captures); do
    grep -qxF "$file" <<<"$before" && continue
    awk -v p="$(peak_of "$file")" -v t="$threshold" 'BEGIN { exit !(p > t) }' && return 0
  done
  return 1
}

# The small preview plays with the music muted.
press main $SMALL_PREVIEW
out=$(hostprobe window preview 30000)
read -r cx cy cw ch <<<"$(field client "$out")"
VIEW_POINTS="$((cx + cw / 4)) $((cx + cw * 3 / 4)) $((cy + ch / 2))"
expect_playing "the small preview plays with background music on"
check "the small preview opened the sound device" wait_until 30000 test -n "$(captures)"
escape_ends_preview "small preview with music"
expect_main_dialog "the main dialog comes back"
small_captures=$(captures)
small_peak=$(peak_of "$capture")
echo "small preview: peak $small_peak in $(echo $small_captures | wc -w) capture(s)"
check "the small preview is silent (peak $small_peak)" awk -v p="$small_peak" 'BEGIN { exit !(p < 0.0001) }'

# The full-screen preview plays the music at its volume (the tone's peak is 0.5).
press main $FULL_PREVIEW
VIEW_POINTS="$((screen_w / 4)) $((screen_w * 3 / 4)) $((screen_h / 2))"
expect_playing "the full-screen preview plays with background music on"
check "the full-screen preview plays the music" wait_until 30000 new_captures_sound 0.3 "$small_captures"
escape_ends_preview "full-screen preview with music"
expect_main_dialog "the main dialog comes back after the full-screen preview"

quits_with_zero "終了 ends the program with status 0"
clear_settings
finish
