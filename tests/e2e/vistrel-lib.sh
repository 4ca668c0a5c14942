# Helpers of the test host's scripts, on top of lib.sh.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

CAPTION="【Kiriha】Umbrane　ＰＶ【影絵】"
SETTINGS_TITLE="${CAPTION}スクリーンセーバー"
# Controls of the main dialog.
SMALL_PREVIEW=1001 FULL_PREVIEW=1002 OPEN_SETTINGS=1003 CONFIRM_BEFORE_START=1005 QUIT=2
# Buttons of a message box.
BOX_OK=1 BOX_CANCEL=2

# A copy of the test host in the work folder. With "with-data" an animation lies beside it that
# shows picture A (left half shadow, right half screen) for half a second, then its mirror B.
# The settings make the screen opaque white and the shadow opaque black, filling each view.
prepare_host() {
  cp "$HOST" "$E2E_WORK/Vistrel.exe"
  [ "${1:-}" = with-data ] && make_frame_file "$E2E_WORK/um.bin" 15 '0 if x < 256 else 255' '255 if x < 256 else 0'
  write_settings MagType=3 foregroundAlpha=100 backgroundAlpha=100 frameEnabled=0 confineBgFilterToShadowGraph=0
}

start_host() { start_saver "$E2E_WORK/Vistrel.exe"; }

# expect_field <description> <key> <expected value> <hostprobe window output>
expect_field() {
  local value; value=$(field "$2" "$4")
  if [ "$value" = "$3" ]; then pass "$1"; else fail "$1 ($2 is '$value', expected '$3')"; fi
}

# expect_main_dialog <description> [expected confirm state]: the main dialog is shown and ready.
expect_main_dialog() {
  local out; out=$(hostprobe window main 30000)
  if [ -z "$out" ] || [ "$(field status "$out")" != Ready ]; then fail "$1 (status '$(field status "$out")')"; return; fi
  if [ -n "${2:-}" ] && [ "$(field confirm "$out")" != "$2" ]; then fail "$1 (check box $(field confirm "$out"), expected $2)"; return; fi
  pass "$1"
}

press() { hostprobe press "$@" 30000; }
shown() { hostprobe window "$1" 30000 >/dev/null; }
not() { ! "$@"; }

# shows_picture <A|B> <x> <y> <file>: the pixel at (x, y) of a view whose picture area spans
# [x - quarter, x + 3 quarters): with picture A the left point is shadow and the right one screen.
# For screenshot_until; points are given as "left right y" lists, one per view, in VIEW_POINTS.
shows_picture() {
  local picture=$1 file=${!#} left right y
  local shadow=0,0,0 screen=255,255,255
  [ "$picture" = B ] && { shadow=255,255,255; screen=0,0,0; }
  while read -r left right y; do
    pixel_is "$left" "$y" "$shadow" "$file" && pixel_is "$right" "$y" "$screen" "$file" || return 1
  done <<<"$VIEW_POINTS"
}

# shows_nothing <file>: every point of VIEW_POINTS is still the black window background.
shows_nothing() {
  local file=$1 left right y
  while read -r left right y; do
    pixel_is "$left" "$y" 0,0,0 "$file" && pixel_is "$right" "$y" 0,0,0 "$file" || return 1
  done <<<"$VIEW_POINTS"
}

# expect_playing <description>: every view of VIEW_POINTS shows picture A and later picture B:
# frames are drawn and the animation moves on.
expect_playing() {
  if screenshot_until "$E2E_WORK/a.png" 30000 shows_picture A && screenshot_until "$E2E_WORK/b.png" 30000 shows_picture B; then
    pass "$1"
  else
    fail "$1"
  fi
}

# escape_ends_preview <description>: the preview has the keyboard; other keys and mouse movement
# leave it up, Escape ends it.
escape_ends_preview() {
  check "$1: the preview window gets the keyboard" hostprobe foreground preview 30000
  xdotool key a key Return mousemove_relative 40 40 mousemove_relative -- -40 -40
  # Only a pause can show that nothing happens; on a busy machine it may pass too early, never fail.
  sleep 1
  check "$1: other keys and mouse movement leave the preview up" not hostprobe gone preview 0
  xdotool key Escape
  check "$1: Escape ends the preview" hostprobe gone preview 30000
}

# quits_with_zero <description>: 終了 ends the program with status 0.
quits_with_zero() {
  press main $QUIT
  wait_exit_status 30000
  if [ "$EXIT_STATUS" = 0 ]; then pass "$1"; else fail "$1 (status '${EXIT_STATUS:-still running}')"; stop_saver; fi
}
