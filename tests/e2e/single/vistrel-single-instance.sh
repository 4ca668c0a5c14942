# One test host at a time: a second start ends at once with 0 and brings the running one's current
# window to the front (the preview, else the settings dialog, else the main dialog).
source "$(dirname "$0")/../vistrel-lib.sh"

prepare_host with-data
start_host
program=$(harness_winpath "$E2E_WORK/Vistrel.exe")
# second_start <role>: the probe takes the foreground, starts the program again, checks both.
second_start() {
  local out; out=$(hostprobe second-start "$program" "$1" 30000)
  echo "$out" | sed "s/^/  $1: /" >&2
  grep -E '^(PASS|FAIL): ' <<<"$out" | sed "s/^\(PASS\|FAIL\): /\1: with the $1 window: /"
}

expect_main_dialog "the first start shows the main dialog"
second_start main

press main $SMALL_PREVIEW
shown preview
second_start preview
check "the preview can be minimised" hostprobe minimize preview 30000
second_start preview
escape_ends_preview "preview brought back"

expect_main_dialog "the main dialog is back"
press main $OPEN_SETTINGS
shown settings
second_start settings
press settings 2  # キャンセル
check "the settings dialog closes" hostprobe gone settings 30000
expect_main_dialog "the main dialog is back after the settings"
second_start main

quits_with_zero "終了 ends the first instance with status 0"
clear_settings
finish
