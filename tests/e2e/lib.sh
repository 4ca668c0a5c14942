# Helpers for the end-to-end scripts. wine-stream.sh has started the display and the prefix and
# exported DISPLAY, WINEPREFIX, HARNESS_SCREEN, KAGEMIRA_BIN, KAGEMIRA_TEST_BIN, KAGEMIRA_TEST_MEDIA
# (the media files of tests/media/make-test-media.sh) and KAGEMIRA_TOP. What DirectSound plays can be
# captured with harness_capture_audio and measured with tools/audio-level (tools/lib/harness.sh).
source "$KAGEMIRA_TOP/tools/lib/harness.sh"

SAVER="$KAGEMIRA_BIN/kagemira.scr"
HOST="$KAGEMIRA_BIN/Vistrel.exe"
E2E_FAILURES=0
E2E_WORK="$KAGEMIRA_TOP/build/e2e-work/$(basename "$0" .sh)-$$"
mkdir -p "$E2E_WORK"

pass() { echo "PASS: $*"; touch "$E2E_WORK/.checked"; }
fail() { echo "FAIL: $*"; E2E_FAILURES=$((E2E_FAILURES + 1)); keep_evidence; touch "$E2E_WORK/.checked"; }
check() {  # check <description> <command...>
  local what=$1; shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}
# A failed script run by hand leaves its work folder (screenshots, the programs' output) for
# reading; under tools/test the evidence of each failure is kept instead.
finish() {
  if [ "$E2E_FAILURES" = 0 ] || [ -n "${E2E_EVIDENCE:-}" ]; then rm -rf "$E2E_WORK"; else echo "work folder kept: $E2E_WORK"; fi
  exit $((E2E_FAILURES > 0))
}

# keep_evidence: what was on the screen when a check failed, as now and in the newest screenshot
# the script took since the check before, and the programs' output so far, go into E2E_EVIDENCE
# (tools/test names a folder beside the script's log), each file named after the failure's number.
keep_evidence() {
  [ -n "${E2E_EVIDENCE:-}" ] || return 0
  local prefix="$E2E_EVIDENCE/$E2E_FAILURES" newest
  mkdir -p "$E2E_EVIDENCE"
  harness_screenshot "$prefix-screen.png" 2>/dev/null
  newest=$(ls -t "$E2E_WORK"/*.png 2>/dev/null | head -n 1)
  [ -z "$newest" ] || [ "$newest" -ot "$E2E_WORK/.checked" ] || cp "$newest" "$prefix-last-$(basename "$newest")"
  local output
  for output in "$E2E_WORK"/*.log; do [ ! -f "$output" ] || cp "$output" "$prefix-$(basename "$output")"; done
  if [ -n "${SAVER_PID:-}" ]; then
    { saver_running && echo "the program started last still runs" || echo "the program started last has ended"; } >"$prefix-program.txt"
  fi
  echo "evidence: $prefix-*"
}

probe() { wine "$KAGEMIRA_TEST_BIN/saverprobe.exe" "$@"; }
# hostprobe <command...>: the test host's probe (tests/e2e/probe/HostProbe.cpp), without carriage returns.
hostprobe() { wine "$KAGEMIRA_TEST_BIN/hostprobe.exe" "$@" | tr -d '\r'; return "${PIPESTATUS[0]}"; }
# field <key> <hostprobe window output>: the value of one "key=value" line.
field() { sed -n "s/^$1=//p" <<<"$2" | head -n 1; }

now_ms() { date +%s%3N; }

# wait_until <ceiling ms> <condition command...>: polls until the condition holds; false when the
# ceiling passed first.
wait_until() {
  local limit=$1 start; shift; start=$(now_ms)
  until "$@"; do [ $(( $(now_ms) - start )) -gt "$limit" ] && return 1; sleep 0.2; done
}

# start_saver <program> <arguments...>: runs it in the background; SAVER_PID is its process.
start_saver() {
  local program=$1; shift
  wine "$program" "$@" >"$E2E_WORK/saver.log" 2>&1 &
  SAVER_PID=$!
}

saver_running() { kill -0 "$SAVER_PID" 2>/dev/null; }

# wait_saver_exit <timeout ms>: prints how long the saver took to end; false if it did not.
wait_saver_exit() {
  local limit=$1 start; start=$(now_ms)
  while saver_running; do
    if [ $(( $(now_ms) - start )) -gt "$limit" ]; then return 1; fi
    sleep 0.01
  done
  echo $(( $(now_ms) - start ))
}

# wait_exit_status <ceiling ms>: EXIT_STATUS := the exit status of the program started last, once
# it ended; false when it still runs at the ceiling. Not in a subshell: it waits for our child.
wait_exit_status() {
  EXIT_STATUS=""
  wait_saver_exit "$1" >/dev/null || return 1
  EXIT_STATUS=0
  wait "$SAVER_PID" || EXIT_STATUS=$?
}

stop_saver() {
  if saver_running; then kill "$SAVER_PID" 2>/dev/null; wait "$SAVER_PID" 2>/dev/null; fi
  return 0
}

# expect_fullscreen_window <expected "x y w h visible topmost">
expect_fullscreen_window() {
  local geometry; geometry=$(probe wait-window WindowsScreenSaverClass 30000 | tr -d '\r')
  echo "saver window: $geometry"
  [ "$geometry" = "$1" ]
}

# expect_fullscreen_window <expected geometry> is above; this waits until the saver window has the
# keyboard, so that input sent next reaches it.
wait_saver_foreground() { probe wait-foreground WindowsScreenSaverClass 30000; }

# ends_on_input <description> <input command...>: the saver must end after it. It normally takes
# tens of milliseconds (printed); the ceiling only tells a saver that ignores input from a busy machine.
ends_on_input() {
  local what=$1; shift
  "$@"
  local took
  if took=$(wait_saver_exit 10000); then pass "$what (ended after $took ms)"; else fail "$what (still running after 10 s)"; stop_saver; fi
}

# screenshot_until <file> <ceiling ms> <condition command...>: takes screenshots into the file until
# the condition (run with the file as its last argument) holds. False when the ceiling passed first.
# E2E_SCREENSHOT names the command that takes them (default harness_screenshot).
screenshot_until() {
  local file=$1 limit=$2; shift 2
  local start; start=$(now_ms)
  while :; do
    "${E2E_SCREENSHOT:-harness_screenshot}" "$file"
    "$@" "$file" && return 0
    [ $(( $(now_ms) - start )) -gt "$limit" ] && return 1
    sleep 0.2
  done
}

# count_halves_swaps <left x> <right x> <y>: of three rounds, in how many a movie whose halves swap
# showed black first at the left point and then at the right one (a looping movie swaps on and on).
# Sets HALVES_SWAPS; screenshots go to $SHOT.
count_halves_swaps() {
  local round
  HALVES_SWAPS=0
  for round in 1 2 3; do
    screenshot_until "$SHOT" 30000 pixel_is "$1" "$3" 0,0,0 && screenshot_until "$SHOT" 30000 pixel_is "$2" "$3" 0,0,0 &&
      HALVES_SWAPS=$((HALVES_SWAPS + 1))
  done
}

# E2E_PICTURE_CEILING_MS: how long a saver may take from its start to its first picture before a
# check calls the picture missing. On the two-monitor display of a loaded two-core machine it took
# up to 21 s (median 10 s; a cold shader cache adds about 2 s), so the ceiling only tells a saver
# that never draws.
E2E_PICTURE_CEILING_MS=120000

# wait_for_picture <file> <condition command...>: screenshot_until with that ceiling, given up as
# soon as the saver started last has ended (it draws nothing more); true when the condition held
# with the saver running.
wait_for_picture() {
  local file=$1; shift
  screenshot_until "$file" "$E2E_PICTURE_CEILING_MS" picture_or_saver_ended "$@" && saver_running
}
picture_or_saver_ended() { ! saver_running || "$@"; }

# pixel_is <x> <y> <r,g,b> <file> (within 3 per channel), pixel_is_not, pixel_near <x> <y> <r,g,b>
# <tolerance> <file>: conditions for screenshot_until.
pixel_near() { local file=${!#}; colour_near "$(harness_pixel "$file" "$1" "$2")" ${3//,/ } "$4"; }
pixel_is() { pixel_near "$1" "$2" "$3" 3 "${!#}"; }
pixel_is_not() { ! pixel_is "$@"; }

# saver_plays <saver> <prefix of the case names>: with the settings it finds, the saver plays the
# default animation over a grey desktop (shadows cover part of it and the picture moves) and ends on
# a key press.
saver_plays() {
  local saver=$1 what=$2
  local screen_w=${HARNESS_SCREEN%x*} screen_h=${HARNESS_SCREEN#*x}
  xsetroot -solid '#808080'
  xdotool mousemove $((screen_w / 2)) $((screen_h / 2))
  start_saver "$saver" /s
  expect_fullscreen_window "0 0 $screen_w $screen_h 1 1" >/dev/null
  # Playing: some of the grey desktop is covered by near-black shadows, not all of it as by the
  # black window before the first frame.
  wait_for_picture "$E2E_WORK/first.png" has_shadows
  check "${what}the picture moves" screenshot_until "$E2E_WORK/second.png" 10000 differs_from_first
  echo "mean difference (millionths): $(difference_from_first "$E2E_WORK/second.png")"
  echo "share of near-black pixels (thousandths): $(dark_share "$E2E_WORK/second.png")"
  check "${what}shadows are on the screen" has_shadows "$E2E_WORK/second.png"
  wait_saver_foreground
  ends_on_input "${what}a key press ends the playing saver" xdotool key a
  xsetroot -solid black
}
dark_share() { /usr/bin/convert "$1" -colorspace gray -threshold 10% -negate -format '%[fx:int(mean*1000)]' info:; }
has_shadows() { local d; d=$(dark_share "$1"); [ "$d" -gt 5 ] && [ "$d" -lt 900 ]; }
difference_from_first() {
  /usr/bin/convert "$E2E_WORK/first.png" "$1" -compose difference -composite -colorspace gray \
    -format '%[fx:int(mean*1000000)]' info:
}
differs_from_first() { [ "$(difference_from_first "$1")" -gt 0 ]; }

# The settings file the programs read in this prefix.
settings_file() {
  local appdata; appdata=$(wine cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')
  echo "$(winepath -u "$appdata" 2>/dev/null)/Sorahane/kagemira.ini"
}

# write_settings key=value ...: a fresh settings file with just these keys.
write_settings() {
  local file; file=$(settings_file)
  mkdir -p "$(dirname "$file")"
  { echo "[config]"; printf '%s\n' "$@"; } | sed 's/$/\r/' >"$file"
}

clear_settings() { rm -f "$(settings_file)"; }

# make_frame_file <output> <frames of each picture> <expression>...: a 512x384 animation packed
# with the project's own framepack, showing each picture for that many frames, in order. Each
# expression is Python in x, y (y counted from the top) giving the grey of a pixel.
make_frame_file() {
  local output=$1 frames=$2; shift 2
  local pictures="" expression
  for expression in "$@"; do pictures+="lambda x, y: $expression,"; done
  python3 -c "
import sys
w, h = 512, 384
for grey in ($pictures):
    frame = b''.join(bytes(int(grey(x, y)) & 255 for x in range(w)) for y in range(h))
    sys.stdout.buffer.write(frame * $frames)
" | "$KAGEMIRA_TOP/build/host/tools/bin/framepack" pack --size 512x384 -o "$output" >/dev/null
}

# colour_near <"r,g,b"> <r> <g> <b> [tolerance]: true when each channel is within the tolerance.
colour_near() {
  local IFS=,; set -- $1 "$2" "$3" "$4" "${5:-3}"
  local d
  for d in $(( $1 - $4 )) $(( $2 - $5 )) $(( $3 - $6 )); do
    [ "${d#-}" -le "$7" ] || return 1
  done
}

# dialog_probe <program> <arguments> <step>...: drives the settings dialog from a second process
# (steps in tests/e2e/probe/DialogProbe.cpp). A UTF-8 locale carries Japanese texts intact.
dialog_probe() { LANG=C.UTF-8 wine "$KAGEMIRA_TEST_BIN/dialogprobe.exe" "$@"; }

# disable_dll <program file name> <dll>: this prefix no longer loads the library into that program
# (a DLL override); restore_dlls <program file name> takes every such override away again.
disable_dll() { wine reg add "HKCU\\Software\\Wine\\AppDefaults\\$1\\DllOverrides" /v "$2" /d "" /f >/dev/null 2>&1; }
restore_dlls() { wine reg delete "HKCU\\Software\\Wine\\AppDefaults\\$1\\DllOverrides" /f >/dev/null 2>&1; true; }

# no_pixel_shaders <program file name>: Direct3D in this prefix offers that program no pixel
# shaders, as a display adapter without them would; restore_pixel_shaders <program file name>
# gives them back.
no_pixel_shaders() {
  wine reg add "HKCU\\Software\\Wine\\AppDefaults\\$1\\Direct3D" /v MaxShaderModelPS /t REG_DWORD /d 0 /f >/dev/null 2>&1
}
restore_pixel_shaders() { wine reg delete "HKCU\\Software\\Wine\\AppDefaults\\$1\\Direct3D" /f >/dev/null 2>&1; true; }

# wait_for_file <file> <timeout ms>: true once the file exists and is not empty.
wait_for_file() {
  local start; start=$(now_ms)
  until [ -s "$1" ]; do
    [ $(( $(now_ms) - start )) -gt "$2" ] && return 1
    sleep 0.05
  done
}

# A compositor, so that a layered window shows blended with what lies under it (without one the X
# screen shows its premultiplied colours). The desktop becomes the given colour; stop_compositor
# ends the compositor this script started and makes the desktop black again.
start_compositor() {  # start_compositor <#rrggbb>
  hsetroot -solid "$1" >/dev/null 2>&1
  xcompmgr -n >/dev/null 2>&1 &
  COMPOSITOR_PID=$!
}
stop_compositor() {
  if [ -n "${COMPOSITOR_PID:-}" ]; then kill "$COMPOSITOR_PID" 2>/dev/null; wait "$COMPOSITOR_PID" 2>/dev/null; fi
  COMPOSITOR_PID=""
  hsetroot -solid black >/dev/null 2>&1
  xsetroot -solid black
}

# The screen as the compositor shows it (xwd would show the windows unblended).
composited_screenshot() { import -window root "png:$1"; }

# A window of a known colour on the desktop, from another program (a piece of the live desktop).
show_colour_window() {  # show_colour_window <x> <y> <width> <height> <rrggbb>
  wine "$KAGEMIRA_TEST_BIN/saverprobe.exe" colour-window "$@" >/dev/null 2>&1 &
  COLOUR_WINDOW_PID=$!
}
move_colour_window() { probe move-window "$1" "$2"; }
stop_colour_window() {
  if [ -n "${COLOUR_WINDOW_PID:-}" ]; then kill "$COLOUR_WINDOW_PID" 2>/dev/null; wait "$COLOUR_WINDOW_PID" 2>/dev/null; fi
  COLOUR_WINDOW_PID=""
}
