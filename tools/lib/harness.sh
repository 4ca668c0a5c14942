# Private virtual display and Wine prefix for running the Windows programs on Linux.
# Source this file, then:
#   harness_start <name> [--monitors 1|2] [--size WxH] [--fresh-windows]
#       starts Xvfb on a free display and gives <name> its own copy of the prepared prefix (with
#       --fresh-windows, of the one that reads media as a fresh Windows does);
#       exports DISPLAY, WINEPREFIX, WINEDEBUG, ALSA_CONFIG_PATH, HARNESS_SCREEN (WxH).
#   harness_fresh_windows_template
#       the prepared prefix made to read media as a fresh Windows does (see there); for scripts
#       that copy it into a prefix of their own.
#   harness_stop
#       ends the Wine server of that prefix and the Xvfb this shell started, nothing else.
#   harness_without_audio / harness_with_audio
#       programs started afterwards from this shell run in a second prefix whose audio drivers are
#       turned off (DirectSound finds no output device, as on a PC without speakers), or again in
#       the usual one; see below.
#   harness_capture_audio <file> / harness_mute_audio
#       what DirectSound plays in programs started afterwards from this shell goes to <file>, or
#       (the default) to a silent device; see below.
# Several harnesses may run at once from different shells; each only cleans up what it started.

HARNESS_ROOT=${HARNESS_ROOT:-"$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/build/wine"}
HARNESS_LIB="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
HARNESS_TEMPLATE_VERSION=2

harness_log() { echo "harness: $*" >&2; }

# The prepared prefix is made once and copied for each run (a copy takes about 2 s, a new prefix 15 s).
harness_template() {
  local template="$HARNESS_ROOT/template"
  mkdir -p "$HARNESS_ROOT"
  # Harnesses started together must not build one prefix at the same time: the first builds it,
  # the others wait for it.
  (
    flock 9
    [ -f "$template/.ready-$HARNESS_TEMPLATE_VERSION" ] && exit 0
    rm -rf "$template"; mkdir -p "$template"
    harness_log "preparing a Wine prefix (once per machine)"
    export WINEPREFIX="$template" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    unset DISPLAY
    wineboot -i >/dev/null 2>&1 </dev/null
    wineserver -w
    wine regedit /S "$(winepath -w "$HARNESS_LIB/wine-settings.reg" 2>/dev/null)" >/dev/null 2>&1 </dev/null
    wineserver -w
    touch "$template/.ready-$HARNESS_TEMPLATE_VERSION"
  ) 9>"$HARNESS_ROOT/template.lock"
  [ -f "$template/.ready-$HARNESS_TEMPLATE_VERSION" ] ||
    { harness_log "the Wine prefix could not be prepared in $template"; return 1; }
  echo "$template"
}

# A fresh Windows's DirectShow reads no MP4, M4A or MOV (players ask for a codec pack); Wine's reads
# every file through one generic parser. Without that parser's registration a prefix behaves like
# a fresh Windows: RenderFile fails for .mp4, .m4a and .mov and still renders .wav and .mp3, while
# Media Foundation reads them all.
HARNESS_GENERIC_PARSER='HKCR\CLSID\{F9D8D64E-A144-47DC-8EE0-F53498372C29}\InprocServer32'
harness_fresh_windows_template() { harness_template_variant fresh-windows reg delete "$HARNESS_GENERIC_PARSER" /f; }

# The prepared prefix with Wine's audio drivers turned off: DirectSound finds no output device.
harness_template_without_audio() {
  harness_template_variant without-audio reg add 'HKCU\Software\Wine\Drivers' /v Audio /t REG_SZ /d '' /f
}

# harness_template_variant <name> <wine command...>: the prepared prefix changed by one command run
# in it, made once per machine from the usual one; prints its folder.
harness_template_variant() {
  local name=$1; shift
  local usual; usual=$(harness_template) || return 1
  local template="$HARNESS_ROOT/template-$name"
  (
    flock 9
    [ -f "$template/.ready-$HARNESS_TEMPLATE_VERSION" ] && exit 0
    rm -rf "$template"
    harness_log "preparing the Wine prefix '$name' (once per machine)"
    cp -a "$usual" "$template" && rm -f "$template"/.ready-*
    export WINEPREFIX="$template" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    unset DISPLAY
    wine "$@" >/dev/null 2>&1 </dev/null || exit 1
    wineserver -w
    touch "$template/.ready-$HARNESS_TEMPLATE_VERSION"
  ) 9>"$HARNESS_ROOT/template-$name.lock"
  [ -f "$template/.ready-$HARNESS_TEMPLATE_VERSION" ] ||
    { harness_log "the Wine prefix '$name' could not be prepared in $template"; return 1; }
  echo "$template"
}

harness_start() {
  local name=$1; shift
  local monitors=1 size="" fresh=0
  while [ $# -gt 0 ]; do
    case "$1" in
      --monitors) monitors=$2; shift 2;;
      --size) size=$2; shift 2;;
      --fresh-windows) fresh=1; shift;;
      *) harness_log "unknown option $1"; return 2;;
    esac
  done
  [ -n "$size" ] || { [ "$monitors" = 2 ] && size=2560x1024 || size=1280x1024; }

  local template
  if [ $fresh = 1 ]; then template=$(harness_fresh_windows_template) || return 1
  else template=$(harness_template) || return 1
  fi

  # Xvfb picks a free display itself and names it once it accepts clients: two harnesses started
  # at the same moment can never end up on one display.
  mkdir -p "$HARNESS_ROOT"
  local displayfile; displayfile=$(mktemp "$HARNESS_ROOT/display.XXXXXX")
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset 3>"$displayfile" >/dev/null 2>&1 &
  HARNESS_XVFB_PID=$!
  local i display=""
  for i in $(seq 1 200); do
    display=$(tr -dc 0-9 <"$displayfile")
    [ -n "$display" ] && break
    kill -0 "$HARNESS_XVFB_PID" 2>/dev/null || break
    sleep 0.05
  done
  rm -f "$displayfile"
  [ -n "$display" ] || { harness_log "Xvfb did not start"; return 1; }
  export DISPLAY=":$display"
  xsetroot -solid black >/dev/null 2>&1
  if [ "$monitors" = 2 ]; then
    local w=${size%x*} h=${size#*x}; local half=$((w / 2))
    # A display that did not split would turn every two-monitor test into a one-monitor one.
    if ! xrandr --setmonitor M1 "$half/338x$h/270+0+0" screen >"$HARNESS_ROOT/xrandr-$name.log" 2>&1 ||
       ! xrandr --setmonitor M2 "$((w - half))/338x$h/270+$half+0" none >>"$HARNESS_ROOT/xrandr-$name.log" 2>&1 ||
       [ "$(xrandr --listmonitors 2>>"$HARNESS_ROOT/xrandr-$name.log" | sed -n 's/^Monitors: //p')" != 2 ]; then
      harness_log "the display could not be split into two monitors:"
      cat "$HARNESS_ROOT/xrandr-$name.log" >&2
      harness_stop
      return 1
    fi
  fi

  HARNESS_PREFIX="$HARNESS_ROOT/run-$name"
  rm -rf "$HARNESS_PREFIX"
  cp -a "$template" "$HARNESS_PREFIX"
  export WINEPREFIX="$HARNESS_PREFIX" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  export HARNESS_SCREEN="$size"

  # DirectSound needs an ALSA device: a null one plays silently.
  export ALSA_CONFIG_PATH="$HARNESS_ROOT/asound-null.conf"
  if [ ! -f "$ALSA_CONFIG_PATH" ]; then
    printf '</usr/share/alsa/alsa.conf>\npcm.!default { type null }\nctl.!default { type hw card 0 }\n' >"$ALSA_CONFIG_PATH"
  fi
  # Start the server and Wine's own services now, with nothing of ours as their output: services
  # started by a test program would inherit its pipes and keep "$(...)" or "| tail" waiting.
  wineserver -p 5 >/dev/null 2>&1 </dev/null || true
  wine cmd /c exit >/dev/null 2>&1 </dev/null || true
  harness_log "display $DISPLAY ($size, $monitors monitor(s)), prefix $WINEPREFIX"
}

# harness_without_audio: a copy of the prefix without audio drivers beside this harness's own, with
# a Wine server of its own, becomes WINEPREFIX; harness_with_audio ends that server and goes back.
harness_without_audio() {
  [ -n "${WINEPREFIX:-}" ] || { harness_log "harness_without_audio outside a harness"; return 1; }
  local template; template=$(harness_template_without_audio) || return 1
  HARNESS_AUDIO_PREFIX="$WINEPREFIX"
  HARNESS_SILENT_PREFIX="$WINEPREFIX-without-audio"
  rm -rf "$HARNESS_SILENT_PREFIX"
  cp -a "$template" "$HARNESS_SILENT_PREFIX"
  export WINEPREFIX="$HARNESS_SILENT_PREFIX"
  wineserver -p 5 >/dev/null 2>&1 </dev/null || true
  wine cmd /c exit >/dev/null 2>&1 </dev/null || true
}

harness_with_audio() {
  [ -n "${HARNESS_SILENT_PREFIX:-}" ] || return 0
  WINEPREFIX="$HARNESS_SILENT_PREFIX" wineserver -k >/dev/null 2>&1 || true
  rm -rf "$HARNESS_SILENT_PREFIX"
  export WINEPREFIX="$HARNESS_AUDIO_PREFIX"
  HARNESS_SILENT_PREFIX=""
}

# What DirectSound plays goes to ALSA's default device. harness_capture_audio points that device at
# ALSA's file plugin for the programs started afterwards from this shell: every sample goes, as raw
# interleaved 32-bit float, 2 channels, 48000 Hz (Wine's mix format), to <file>, and each time a
# program opens the device again (every DirectSound renderer does) to a new <file>.0001, .0002, ...
# The device is not paced by a clock, so Wine plays into it faster than real time and fills gaps
# with silence: the levels of what sounds (peak, RMS of the sounding samples) are faithful,
# durations are not. Windows programs find the Windows path of <file> in KAGEMIRA_AUDIO_CAPTURE
# (tests/wine/support/AudioCapture.h reads it); scripts read the files with tools/audio-level.
harness_capture_audio() {
  local file=$1
  mkdir -p "$(dirname "$file")"
  harness_discard_audio "$file"
  local config="$file.alsa.conf"
  printf '</usr/share/alsa/alsa.conf>\npcm.!default { type file slave.pcm "null" file "%s" format "raw" truncate false }\nctl.!default { type hw card 0 }\n' \
    "$file" >"$config"
  export ALSA_CONFIG_PATH="$config"
  export KAGEMIRA_AUDIO_CAPTURE; KAGEMIRA_AUDIO_CAPTURE=$(winepath -w "$file" 2>/dev/null)
}

# harness_discard_audio <file>: deletes a capture and its configuration.
harness_discard_audio() {
  rm -f "$1" "$1".[0-9][0-9][0-9][0-9] "$1.alsa.conf"
}

harness_mute_audio() {
  export ALSA_CONFIG_PATH="$HARNESS_ROOT/asound-null.conf"
  unset KAGEMIRA_AUDIO_CAPTURE
}

harness_stop() {
  harness_with_audio
  if [ -n "${HARNESS_PREFIX:-}" ]; then
    WINEPREFIX="$HARNESS_PREFIX" wineserver -k >/dev/null 2>&1 || true
  fi
  if [ -n "${HARNESS_XVFB_PID:-}" ]; then
    kill "$HARNESS_XVFB_PID" 2>/dev/null || true
    wait "$HARNESS_XVFB_PID" 2>/dev/null || true
  fi
  if [ "${HARNESS_DISCARD:-0}" = 1 ] && [ -n "${HARNESS_PREFIX:-}" ]; then rm -rf "$HARNESS_PREFIX"; fi
  HARNESS_XVFB_PID=""; HARNESS_PREFIX=""
}

# harness_use_build <repository>: exports where the e2e scripts find the built programs, the test
# programs and the test media (tests/media/make-test-media.sh).
harness_use_build() {
  export KAGEMIRA_TOP="$1" KAGEMIRA_BIN="$1/build/win/bin" KAGEMIRA_TEST_BIN="$1/build/win/tests/bin"
  export KAGEMIRA_TEST_MEDIA="$1/build/win/tests/media"
}

# Windows path of a Linux file, for command lines given to Windows programs.
harness_winpath() { winepath -w "$1" 2>/dev/null; }

# Screenshot of the whole virtual screen as PNG.
harness_screenshot() { xwd -root -silent | /usr/bin/convert xwd:- "png:$1"; }

# Colour of one pixel of a PNG as "r,g,b".
harness_pixel() {
  /usr/bin/convert "$1" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info:
}
