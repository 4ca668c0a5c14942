# The preview pane run and the settings run.
source "$(dirname "$0")/../lib.sh"

out=$(probe preview-host "$(harness_winpath "$SAVER")" 152 112 space | tr -d '\r'); echo "$out" | sed "s/^/  probe: /" >&2
echo "$out" | grep -E '^(PASS|FAIL): ' | sed 's/^\(PASS\|FAIL\): /\1: \/p <hwnd>: /'
out=$(probe preview-host "$(harness_winpath "$SAVER")" 200 150 colon | tr -d '\r'); echo "$out" | sed "s/^/  probe: /" >&2
echo "$out" | grep -E '^(PASS|FAIL): ' | sed 's/^\(PASS\|FAIL\): /\1: \/p:<hwnd>: /'

expected_title="【Kiriha】Umbrane　ＰＶ【影絵】スクリーンセーバー"
out=$(probe settings "$(harness_winpath "$SAVER")" /c cancel | tr -d '\r'); echo "$out" | sed "s/^/  probe: /" >&2
check "/c shows dialog 2003 with its title" grep -qxF "title: $expected_title" <<<"$out"
check "キャンセル ends the settings run with 2" grep -qx "exit status 2" <<<"$out"
out=$(probe settings "$(harness_winpath "$SAVER")" "" ok | tr -d '\r'); echo "$out" | sed "s/^/  probe: /" >&2
check "no argument shows the settings dialog too" grep -qxF "title: $expected_title" <<<"$out"
check "OK ends the settings run with 1" grep -qx "exit status 1" <<<"$out"

# A shadow movie without video makes the start-up show its warning; the pane going away while the
# box is open must end the saver cleanly, not delete its engine under the start-up.
write_settings shadowMovieEnabled=1 "shadowMoviePath=$(harness_winpath "$KAGEMIRA_TEST_MEDIA/tone.wav")" VideoRenderer=1
out=$(probe pane-gone-during-warning "$(harness_winpath "$SAVER")" | tr -d '\r'); echo "$out" | sed "s/^/  probe: /" >&2
echo "$out" | grep -E '^(PASS|FAIL): ' | sed 's/^\(PASS\|FAIL\): /\1: pane gone during the warning: /'
clear_settings
finish
