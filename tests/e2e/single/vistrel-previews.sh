# The test host's main dialog and its small preview: geometry, playback, ending, the confirmation.
source "$(dirname "$0")/../vistrel-lib.sh"
screen_w=${HARNESS_SCREEN%x*}; screen_h=${HARNESS_SCREEN#*x}

prepare_host with-data
start_host
out=$(hostprobe window main 30000)
expect_field "the main dialog is titled Vistrel" title Vistrel "$out"
expect_field "the status line reads Ready" status Ready "$out"
expect_field "the confirmation starts unchecked" confirm 0 "$out"

# The small preview: a captioned window whose client area is half the primary screen, centred.
press main $SMALL_PREVIEW
out=$(hostprobe window preview 30000)
echo "$out" | sed 's/^/  small preview: /'
check "the main dialog is gone while the preview runs" hostprobe gone main 30000
expect_field "the small preview has a caption" style caption "$out"
expect_field "the small preview is captioned with string 1" title "$CAPTION" "$out"
read -r cx cy cw ch <<<"$(field client "$out")"
read -r wx wy ww wh <<<"$(field rect "$out")"
check "its client area is half the screen (${cw}x${ch})" test "$cw $ch" = "$((screen_w / 2)) $((screen_h / 2))"
check "the window is centred on the screen ($wx,$wy ${ww}x${wh})" \
  test "$wx $wy" = "$(((screen_w - ww) / 2)) $(((screen_h - wh) / 2))"
# Mode 3 on a 4:5 client: the picture is ch * 4 / 3 wide, centred; its middle is the client's.
VIEW_POINTS="$((cx + cw / 4)) $((cx + cw * 3 / 4)) $((cy + ch / 2))"
expect_playing "the small preview plays the animation"
escape_ends_preview "small preview"
expect_main_dialog "the main dialog comes back after the small preview" 0

# Its close command ends it too.
press main $SMALL_PREVIEW
check "the close command ends the small preview" hostprobe close preview 30000
expect_main_dialog "the main dialog comes back after closing the preview" 0

# With the confirmation checked: Cancel ends the preview before playback, OK plays.
press main $CONFIRM_BEFORE_START
expect_main_dialog "the confirmation can be checked" 1
press main $SMALL_PREVIEW
out=$(hostprobe window box 30000)
echo "$out" | sed 's/^/  confirmation: /'
expect_field "the confirmation asks プレビューを開始します。" text "プレビューを開始します。" "$out"
expect_field "the confirmation has the program's caption" title "$CAPTION" "$out"
expect_field "the confirmation belongs to the preview window" owner preview "$out"
expect_field "the confirmation offers OK and Cancel" buttons "$BOX_OK,$BOX_CANCEL" "$out"
harness_screenshot "$E2E_WORK/confirming.png"
check "nothing plays while the confirmation is up" shows_nothing "$E2E_WORK/confirming.png"
press box $BOX_CANCEL
check "Cancel ends the preview" hostprobe gone preview 30000
expect_main_dialog "the main dialog comes back after Cancel, the check box still checked" 1
press main $SMALL_PREVIEW
press box $BOX_OK
expect_playing "after OK the preview plays"
escape_ends_preview "confirmed preview"
expect_main_dialog "the check box keeps its state across previews" 1
press main $CONFIRM_BEFORE_START
expect_main_dialog "the confirmation can be unchecked again" 0

quits_with_zero "終了 ends the program with status 0"
clear_settings
finish
