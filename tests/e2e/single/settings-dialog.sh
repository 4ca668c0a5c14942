# The settings dialog of `kagemira.scr /c`, driven from a second process: what it saves is what
# the next `/s` plays; the D3DX notice (only where the shadow movie's effect can be made neither
# way) and its link; the dialog without DirectShow.
source "$(dirname "$0")/../lib.sh"
cp "$SAVER" "$E2E_WORK/kagemira.scr"
saver=$(harness_winpath "$E2E_WORK/kagemira.scr")
trap 'restore_dlls kagemira.scr; restore_pixel_shaders kagemira.scr' EXIT

report() { tr -d '\r' | tee -a "$E2E_WORK/probe.log" | grep -E '^(PASS|FAIL): ' | sed "s/^\(PASS\|FAIL\): /\1: $1: /"; }

# 1. Settings chosen in the dialog, read back from the file, then seen on the screen.
write_settings MagType=0 foregroundAlpha=30 backgroundAlpha=0 frameEnabled=0
dialog_probe "$saver" /c \
  choose 1003 1 slider 1007 50 slider 1018 100 click 1006 checked 1006 1 enabled 1005 1 \
  click 1 end 1 | report "settings run"
file=$(settings_file)
value() { tr -d '\r\0' <"$file" | sed -n "s/^$1=//p"; }
check "the dialog saved MagType 2 (fit)" [ "$(value MagType)" = 2 ]
check "the dialog saved backgroundAlpha 50" [ "$(value backgroundAlpha)" = 50 ]
check "the dialog saved foregroundAlpha 100" [ "$(value foregroundAlpha)" = 100 ]
check "the dialog saved frameEnabled 1" [ "$(value frameEnabled)" = 1 ]

# Mode 2 of a 512x384 picture on 1280x1024: 1280x960 at y = 32 between black bars; the left half
# of the picture is shadow, the right half the screen, white at 50 % over the desktop.
xsetroot -solid '#336699'
make_frame_file "$E2E_WORK/um.bin" 30 '0 if x < 256 else 255'
xdotool mousemove 640 512
start_saver "$E2E_WORK/kagemira.scr" /s
screen_half="$(( (255 * 127 + 51 * 128) / 255 )),$(( (255 * 127 + 102 * 128) / 255 )),$(( (255 * 127 + 153 * 128) / 255 ))"
shows_saved_look() { pixel_is 640 10 0,0,0 "$1" && pixel_is 960 512 "$screen_half" "$1" && pixel_is 320 512 0,0,0 "$1"; }
screenshot_until "$E2E_WORK/shot.png" 30000 shows_saved_look
check "the next /s plays the saved look: fit with black bars, the screen at 50 % (top bar $(harness_pixel "$E2E_WORK/shot.png" 640 10), screen $(harness_pixel "$E2E_WORK/shot.png" 960 512))" \
  shows_saved_look "$E2E_WORK/shot.png"
xdotool key a
wait_saver_exit 5000 >/dev/null || stop_saver
xsetroot -solid black

# 2. The D3DX notice: nothing while D3DX9_42 loads, nor without it while the device can make the
# effect's own shaders; without pixel shaders as well, the notice and its link, which the shell
# opens (a stand-in browser records the address).
clear_settings
dialog_probe "$saver" /c blank 1031 1 click 2 end 2 | report "with D3DX"
disable_dll kagemira.scr d3dx9_42
dialog_probe "$saver" /c blank 1031 1 click 2 end 2 | report "without D3DX"
cat >"$E2E_WORK/browser.sh" <<EOS
#!/bin/sh
echo "\$1" >>"$E2E_WORK/opened"
EOS
chmod +x "$E2E_WORK/browser.sh"
wine reg add 'HKCU\Software\Wine\WineBrowser' /v Browsers /d "$E2E_WORK/browser.sh" /f >/dev/null 2>&1
no_pixel_shaders kagemira.scr
dialog_probe "$saver" /c blank 1031 0 link 1031 click 2 end 2 | report "without D3DX and pixel shaders"
wait_for_file "$E2E_WORK/opened" 20000
check "the link opens the DirectX end-user runtime page ($(cat "$E2E_WORK/opened" 2>/dev/null))" \
  grep -qx 'https://www.microsoft.com/ja-jp/download/details.aspx?id=35' "$E2E_WORK/opened"
wine reg delete 'HKCU\Software\Wine\WineBrowser' /v Browsers /f >/dev/null 2>&1
restore_pixel_shaders kagemira.scr
restore_dlls kagemira.scr

# 3. Without DirectShow: the message, no audition buttons; then the groups' check boxes and the
# 試聴/停止 pairs enable exactly their controls (an audition without a graph plays nothing).
disable_dll kagemira.scr quartz
dialog_probe "$saver" /c \
  box "えらー" "DirectXの初期化に失敗しました。" ok \
  enabled 1014 0 enabled 1029 0 enabled 1016 0 enabled 1030 0 enabled 1013 0 enabled 1024 0 \
  click 1012 \
  enabled 1013 1 enabled 1011 1 enabled 1015 1 enabled 1010 1 enabled 1008 1 enabled 1014 1 enabled 1016 1 \
  enabled 1024 0 enabled 1025 0 enabled 1028 1 enabled 1005 1 \
  click 1012 \
  enabled 1013 0 enabled 1011 0 enabled 1015 0 enabled 1010 0 enabled 1008 0 enabled 1014 0 enabled 1016 0 \
  click 1012 click 1023 \
  enabled 1024 1 enabled 1025 1 enabled 1026 1 enabled 1027 1 enabled 1028 1 enabled 1029 1 enabled 1030 1 \
  click 1014 \
  enabled 1014 0 enabled 1016 1 defstyle 1016 1 defstyle 1014 0 \
  enabled 1013 0 enabled 1011 0 enabled 1024 0 enabled 1025 0 enabled 1028 0 enabled 1008 1 \
  click 1016 \
  enabled 1014 1 enabled 1016 0 defstyle 1014 1 enabled 1013 1 enabled 1011 1 \
  enabled 1024 1 enabled 1025 1 enabled 1026 1 enabled 1027 1 enabled 1028 1 \
  click 1029 \
  enabled 1029 0 enabled 1030 1 defstyle 1030 1 \
  enabled 1013 0 enabled 1011 0 enabled 1008 0 enabled 1024 0 enabled 1025 0 enabled 1028 1 \
  click 1030 \
  enabled 1029 1 enabled 1030 0 enabled 1013 1 enabled 1011 1 enabled 1015 1 enabled 1010 1 enabled 1008 1 \
  enabled 1024 1 enabled 1025 1 \
  click 2 end 2 | report "without DirectShow"
restore_dlls kagemira.scr
clear_settings
finish
