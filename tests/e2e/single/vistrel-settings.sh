# The test host's settings button runs dialog 2003, a new one for every opening, and comes back to
# the main dialog.
source "$(dirname "$0")/../vistrel-lib.sh"

prepare_host
start_host
expect_main_dialog "the main dialog opens"

press main $OPEN_SETTINGS
out=$(hostprobe window settings 30000)
expect_field "the settings button opens dialog 2003" title "$SETTINGS_TITLE" "$out"
check "the main dialog is gone meanwhile" hostprobe gone main 30000
press settings 2  # キャンセル
check "キャンセル closes the settings dialog" hostprobe gone settings 30000
expect_main_dialog "the main dialog comes back after キャンセル"

press main $OPEN_SETTINGS
check "the settings dialog opens a second time" shown settings
press settings 1  # OK
check "OK closes the settings dialog" hostprobe gone settings 30000
expect_main_dialog "the main dialog comes back after OK"

quits_with_zero "終了 ends the program with status 0"
clear_settings
finish
