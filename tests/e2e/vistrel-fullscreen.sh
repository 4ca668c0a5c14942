# Shared by the one- and two-monitor runs: the test host's full-screen preview covers the virtual
# screen, plays on every monitor, and ends on Escape only.
source "$(dirname "$0")/vistrel-lib.sh"
screen_w=${HARNESS_SCREEN%x*}; screen_h=${HARNESS_SCREEN#*x}
monitors=${1:-1}
monitor_w=$((screen_w / monitors))

prepare_host with-data
start_host
expect_main_dialog "the main dialog opens"
press main $FULL_PREVIEW
out=$(hostprobe window preview 30000)
echo "$out" | sed 's/^/  full-screen preview: /'
expect_field "the full-screen preview is a popup without caption" style popup "$out"
expect_field "it covers the virtual screen" rect "0 0 $screen_w $screen_h" "$out"
expect_field "it is not topmost" topmost 0 "$out"
# Mode 3 on each 1280x1024 monitor: the picture is 1365 wide, centred; its middle is the monitor's.
VIEW_POINTS=""
for ((m = 0; m < monitors; m++)); do
  VIEW_POINTS+="$((m * monitor_w + monitor_w / 4)) $((m * monitor_w + monitor_w * 3 / 4)) $((screen_h / 2))"$'\n'
done
VIEW_POINTS=${VIEW_POINTS%$'\n'}
expect_playing "the full-screen preview plays on every monitor ($monitors)"
escape_ends_preview "full-screen preview"
expect_main_dialog "the main dialog comes back after the full-screen preview"
quits_with_zero "終了 ends the program with status 0"
clear_settings
finish
