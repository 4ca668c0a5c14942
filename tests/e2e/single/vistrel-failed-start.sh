# A preview that cannot start (no um.bin beside the program) reports why, and the main dialog
# works normally afterwards.
source "$(dirname "$0")/../vistrel-lib.sh"

prepare_host  # no animation beside it
start_host
expect_main_dialog "the main dialog opens"

# failed_start <button> <description>: the preview does not come up; the message box tells why.
failed_start() {
  press main "$1"
  local out; out=$(hostprobe window box 30000)
  echo "$out" | sed "s/^/  $2: /"
  expect_field "$2: the message names the failed window and, on a second line, the engine's text" text \
    'ウィンドウの作成に失敗しました。\nデータファイルを読み込めませんでした。' "$out"
  expect_field "$2: the message has the program's caption" title "$CAPTION" "$out"
  expect_field "$2: the message stands alone" owner none "$out"
  expect_field "$2: the message offers OK only" buttons "$BOX_OK" "$out"
  check "$2: the message is in the foreground" hostprobe foreground box 30000
  check "$2: no preview window is left" hostprobe gone preview 0
  press box $BOX_OK
  check "$2: the message closes" hostprobe gone box 30000
  expect_main_dialog "$2: the main dialog comes back"
}
failed_start $SMALL_PREVIEW "small preview without um.bin"
failed_start $FULL_PREVIEW "full-screen preview without um.bin"

# The dialog still works: with the animation in place the preview plays.
make_frame_file "$E2E_WORK/um.bin" 15 '0 if x < 256 else 255' '255 if x < 256 else 0'
press main $SMALL_PREVIEW
out=$(hostprobe window preview 30000)
read -r cx cy cw ch <<<"$(field client "$out")"
VIEW_POINTS="$((cx + cw / 4)) $((cx + cw * 3 / 4)) $((cy + ch / 2))"
expect_playing "after a failed start the next preview plays"
escape_ends_preview "preview after a failure"
expect_main_dialog "the main dialog comes back once more"

quits_with_zero "終了 ends the program with status 0"
clear_settings
finish
