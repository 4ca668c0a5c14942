# The Windows installer, silent, in a fresh prefix: folders it cannot use; an installation for the
# current user that plays, is the current screen saver and is registered; installations over it
# (settings kept, a running program, a folder deleted by hand); the uninstaller leaving nothing
# behind, and refusing a second run; a folder whose long name differs from its short one; an
# update that keeps the screen saver the user chose. The programs it installs are the package's,
# without symbols.
source "$(dirname "$0")/../lib.sh"
setup=$(ls "$KAGEMIRA_TOP"/build/win/package/kagemira-*-setup.exe) || { fail "the installer is built"; finish; }
version=$(basename "$setup" -setup.exe); version=${version#kagemira-}

export WINEPREFIX="$E2E_WORK/prefix"
cp -a "$(harness_template)" "$WINEPREFIX"
end_prefix() { wineserver -k >/dev/null 2>&1; }
trap end_prefix EXIT

uninstall_key='HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Uninstall\kagemira'
desktop_key='HKEY_CURRENT_USER\Control Panel\Desktop'
unix_folder() { winepath -u "$(wine cmd /c echo "%$1%" | tr -d '\r')" 2>/dev/null; }
folder="$(unix_folder LOCALAPPDATA)/Programs/kagemira"
start_menu="$(unix_folder APPDATA)/Microsoft/Windows/Start Menu/Programs/kagemira"
settings=$(settings_file)
programs=(kagemira.scr Vistrel.exe kagemira-settings.exe um.bin framepack.exe README.txt)
packaged="$KAGEMIRA_TOP/build/win/package/programs"

# registry_value <key> <name>: the text of a string value, dword:xxxxxxxx for a number, nothing
# when there is no such value (regedit keeps Japanese text intact, reg.exe does not).
registry_value() {
  local file="$E2E_WORK/key.reg"
  rm -f "$file"
  wine regedit /E "$(winepath -w "$file")" "$1" >/dev/null 2>&1
  [ -f "$file" ] || return 0
  iconv -f UTF-16 -t UTF-8 "$file" | tr -d '\r' | sed -n "s/^\"$2\"=//p" | head -n 1 |
    sed 's/^"\(.*\)"$/\1/; s/\\\(.\)/\1/g'
}
current_saver() { registry_value "$desktop_key" SCRNSAVE.EXE; }
saver_active() { registry_value "$desktop_key" ScreenSaveActive; }
current_saver_is() { test "$(winepath -u "$(current_saver)" 2>/dev/null)" -ef "$1"; }  # <Linux path>
install() { wine "$setup" /S "$@" >/dev/null 2>&1; }
nothing_installed() {
  [ ! -e "$folder" ] && [ ! -e "$start_menu" ] && [ -z "$(registry_value "$uninstall_key" DisplayName)" ] &&
    [ -z "$(current_saver)" ]
}
installed_as_built() {
  local file
  for file in "${programs[@]}"; do cmp -s "$folder/$file" "$packaged/$file" || return 1; done
  [ -s "$folder/uninstall.exe" ]
}

# Folders that cannot be used: one below a file (NSIS itself would fall back to the default folder),
# one that cannot be made and one that cannot be written (drive R: is /proc).
echo "a file" >"$WINEPREFIX/drive_c/a-file"
ln -s /proc "$WINEPREFIX/dosdevices/r:"
for target in 'C:\a-file\kagemira' 'R:\kagemira' 'R:\sys'; do
  install "/D=$target"
  check "a folder it cannot use ($target) ends with 2" test $? = 2
done
check "and nothing was installed, registered or set" nothing_installed

install
check "the silent installation ends with 0" test $? = 0
check "it holds the files just packed and the uninstaller" installed_as_built
saver_plays "$folder/kagemira.scr" "the installed saver: "
echo "SCRNSAVE.EXE=$(current_saver)"
check "it is the current screen saver" current_saver_is "$folder/kagemira.scr"
check "the screen saver is switched on" test "$(saver_active)" = 1
registry_value "$uninstall_key" DisplayName >"$E2E_WORK/name"
check "it is registered under its title" grep -qxF "【Kiriha】Umbrane　ＰＶ【影絵】" "$E2E_WORK/name"
check "with its version" test "$(registry_value "$uninstall_key" DisplayVersion)" = "$version"
uninstaller=$(registry_value "$uninstall_key" UninstallString); uninstaller=${uninstaller//\"/}
check "with its uninstaller" test "$(winepath -u "$uninstaller" 2>/dev/null)" -ef "$folder/uninstall.exe"
size=$(registry_value "$uninstall_key" EstimatedSize)
difference=$(( 16#${size#dword:} - $(cat "$folder"/* | wc -c) / 1024 ))
check "with its size in KB" test "${difference#-}" -le 1
check "the Start menu starts Vistrel" test -s "$start_menu/Vistrel.lnk"
check "and the settings dialog's launcher" \
  bash -c 'strings -el "$1" | grep -q "kagemira-settings\.exe$"' - "$start_menu/スクリーンセーバーの設定.lnk"

# Over it: a program of the installation running is reported and nothing is replaced; then the
# installation replaces every file and keeps the user's settings.
write_settings MagType=1 foregroundAlpha=60
cp "$settings" "$E2E_WORK/settings.ini"
echo "changed by the user" >>"$folder/README.txt"
start_saver "$folder/kagemira-settings.exe"
probe wait-window '#32770' 30000 >/dev/null
check "the settings launcher opens the saver's settings dialog" test $? = 0
install
check "over a running settings dialog it ends with 2" test $? = 2
check "and replaces nothing" grep -q "changed by the user" "$folder/README.txt"
stop_saver; end_prefix  # the dialog runs in the saver the launcher started
install
check "over the installation it ends with 0" test $? = 0
check "it replaces the files" installed_as_built
check "and keeps the settings" cmp -s "$settings" "$E2E_WORK/settings.ini"
rm -rf "$folder"
install
check "with the folder deleted by hand it installs again" installed_as_built
windows_folder=$(winepath -w "$folder")

# The uninstaller starts a copy of itself and ends at once. This prefix's server, unlike the
# stream's, is not kept running: it ends once the copy has.
cp "$folder/uninstall.exe" "$E2E_WORK/uninstall.exe"
wine "$folder/uninstall.exe" /S >/dev/null 2>&1
timeout 120 wineserver -w
check "the silent uninstaller removes files, Start menu, registration and current saver" nothing_installed
check "and keeps the settings file" cmp -s "$settings" "$E2E_WORK/settings.ini"
wine "$E2E_WORK/uninstall.exe" /S "_?=$windows_folder" >/dev/null 2>&1
check "a second run ends with 2" test $? = 2
check "and removes nothing more" test ! -e "$folder" -a -f "$settings"

# A folder typed as a user would, with a long Japanese name and a space: the setting holds its
# short form, which the uninstaller still knows for this installation's.
cp "$setup" "$WINEPREFIX/drive_c/setup.exe"
long_folder="$WINEPREFIX/drive_c/長い フォルダー/kagemira"
wine cmd /c 'C:\setup.exe /S /D=C:\長い フォルダー\kagemira' >/dev/null 2>&1
check "into a long Japanese folder with a space it installs" test -s "$long_folder/kagemira.scr"
echo "SCRNSAVE.EXE=$(current_saver)"
check "and is the current screen saver" current_saver_is "$long_folder/kagemira.scr"
wine "$long_folder/uninstall.exe" /S >/dev/null 2>&1
timeout 120 wineserver -w
check "its uninstaller takes the screen saver away" test -z "$(current_saver)"
check "leaves screen savers off" test "$(saver_active)" = 0
check "and removes the folder" test ! -e "$long_folder"

# An update after the user chose another screen saver, or none, keeps that choice; /SETSAVER asks
# for kagemira again. The uninstaller leaves another saver alone.
other='C:\windows\system32\scrnsave.scr'
install
wine reg add 'HKCU\Control Panel\Desktop' /v SCRNSAVE.EXE /d "$other" /f >/dev/null 2>&1
install
check "an update keeps the screen saver the user chose" test "$(current_saver)" = "$other"
check "and leaves screen savers on" test "$(saver_active)" = 1
install /SETSAVER
check "an update with /SETSAVER makes kagemira the current screen saver" current_saver_is "$folder/kagemira.scr"
wine reg add 'HKCU\Control Panel\Desktop' /v ScreenSaveActive /d 0 /f >/dev/null 2>&1
install
check "an update leaves screen savers off when the user turned them off" test "$(saver_active)" = 0
wine reg add 'HKCU\Control Panel\Desktop' /v SCRNSAVE.EXE /d "$other" /f >/dev/null 2>&1
wine "$folder/uninstall.exe" /S >/dev/null 2>&1
timeout 120 wineserver -w
check "the uninstaller leaves another screen saver as it is" test "$(current_saver)" = "$other"
end_prefix
finish
