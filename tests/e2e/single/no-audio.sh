# On a PC without any audio output device (no speakers, a disabled device, a remote session that
# plays no sound) the animation plays all the same, with or without music set, and the settings
# dialog opens without an error box; its audition says that no sound device was found.
source "$(dirname "$0")/../lib.sh"
trap harness_with_audio EXIT
harness_without_audio || { fail "a Wine prefix without audio drivers"; finish; }

clear_settings
saver_plays "$SAVER" "no device, no music: "
write_settings bgmEnabled=1 "bgmPath=$(harness_winpath "$KAGEMIRA_TEST_MEDIA/tone.wav")"
saver_plays "$SAVER" "no device, a WAV as music: "
write_settings bgmEnabled=1 "bgmPath=$(harness_winpath "$KAGEMIRA_TEST_MEDIA/testsrc-raw.avi")"
saver_plays "$SAVER" "no device, a video with sound as background: "

# The dialog: both audition buttons usable; a click says why nothing plays.
write_settings bgmEnabled=1 "bgmPath=$(harness_winpath "$KAGEMIRA_TEST_MEDIA/tone.wav")"
no_device='音声を再生できる装置が見つかりませんでした。'
dialog_probe "$SAVER" /c enabled 1014 1 press 1014 box ERROR "$no_device" ok click 2 end 2 | tr -d '\r' |
  sed 's/^\(PASS\|FAIL\): /\1: no device, the dialog: /' | tee "$E2E_WORK/dialog.log"
no_failure() { ! grep -q "^FAIL" "$E2E_WORK/dialog.log"; }
check "the dialog ran without a failure" no_failure
finish
