; The Windows installer of kagemira, in Japanese like the programs. It installs for the current
; user without administrator rights, makes kagemira the current screen saver (over an installation
; only when it is the current one already, or with /SETSAVER), adds Start-menu
; entries and registers an uninstaller that takes all of it away again (the settings file only
; when the user says so).
; cmake/KagemiraPackage.cmake builds it with makensis -INPUTCHARSET UTF8 and these defines:
;   PRODUCT_VERSION  x.y.z            PROGRAM_DIR  the folder of the built programs
;   SOURCE_DIR       the repository   OUTPUT_FILE  the installer to write
; Silent runs (/S, /D=<folder>; the uninstaller's /S) end with exit code 0 when done and 2 when
; they stopped because of a problem, having changed nothing.

Unicode true
Target amd64-unicode  ; 64-bit, like the programs
RequestExecutionLevel user
ManifestDPIAware true
SetCompressor zlib  ; lzma: a tenth smaller (um.bin is compressed already) but six times slower

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "Sections.nsh"

; The name is the programs' own title, string 1 of their resources.
!searchparse /file "${SOURCE_DIR}/resources/kagemira.rc" `IDS_TITLE "` PRODUCT_TITLE `"`
!define PUBLISHER "kagemira プロジェクト"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\kagemira"
!define START_MENU_FOLDER "$SMPROGRAMS\kagemira"
!define HOST_SHORTCUT "${START_MENU_FOLDER}\Vistrel.lnk"
!define SETTINGS_SHORTCUT "${START_MENU_FOLDER}\スクリーンセーバーの設定.lnk"
!define SETTINGS_FOLDER "$APPDATA\Sorahane"
!define SETTINGS_FILE "${SETTINGS_FOLDER}\kagemira.ini"

!include "Messages.nsh"
!include "InstalledFiles.nsh"
!include "Replacement.nsh"
!include "ScreenSaverSetting.nsh"

Name "${PRODUCT_TITLE}"
OutFile "${OUTPUT_FILE}"
InstallDir "$LOCALAPPDATA\Programs\kagemira"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "kagemira ${PRODUCT_VERSION}"

!define MUI_ICON "${SOURCE_DIR}/resources/kagemira.ico"
!define MUI_UNICON "${SOURCE_DIR}/resources/kagemira.ico"
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"
; The programs' dialog font: each Windows maps it to a face of its own that has Japanese glyphs.
SetFont /LANG=${LANG_JAPANESE} "MS Shell Dlg" 9

!pragma warning disable 9100  ; the version resource has no copyright line
VIProductVersion "${PRODUCT_VERSION}.0"
VIAddVersionKey /LANG=${LANG_JAPANESE} "ProductName" "${PRODUCT_TITLE}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "ProductVersion" "${PRODUCT_VERSION}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "FileVersion" "${PRODUCT_VERSION}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "FileDescription" "${PRODUCT_TITLE} セットアップ"
VIAddVersionKey /LANG=${LANG_JAPANESE} "CompanyName" "${PUBLISHER}"

!insertmacro DefineWaitUntilWritable "" "${MSG_FILE_IN_USE}" ForEachInstalledFile
; (The uninstaller itself runs in place when it is given _?=.)
!insertmacro DefineWaitUntilWritable "un." "${MSG_FILE_IN_USE_UNINSTALL}" ForEachProgramFile

Var FolderMade  ; 1 when this run made $INSTDIR
Var SaverWasOurs  ; 1 when the uninstaller found this installation's saver the current one

; Fail <message>: tells the user (a silent run nobody) and stops with exit code 2; the failure
; callback tidies up.
!macro Fail MESSAGE
  MessageBox MB_OK|MB_ICONSTOP "${MESSAGE}" /SD IDOK
  Abort
!macroend

!macro RemoveStartMenuEntries
  Delete "${HOST_SHORTCUT}"
  Delete "${SETTINGS_SHORTCUT}"
  RMDir "${START_MENU_FOLDER}"
!macroend

Section "プログラム（必須）" SecPrograms
  SectionIn RO
  ${IfNot} ${FileExists} "$INSTDIR\*.*"
    ClearErrors
    CreateDirectory $INSTDIR
    ${If} ${Errors}
      !insertmacro Fail "${MSG_CANNOT_CREATE_FOLDER}"
    ${EndIf}
    StrCpy $FolderMade 1
  ${EndIf}
  !insertmacro StageFiles
  ${If} ${Errors}
    !insertmacro Fail "${MSG_CANNOT_WRITE}"
  ${EndIf}
  Call WaitUntilWritable
  ${If} ${Errors}
    !insertmacro Fail "${MSG_INSTALL_CANCELLED}"
  ${EndIf}
  ${GetSize} $Stage "/S=0K /G=0" $0 $1 $2
  Call MoveStagedFiles
  ${If} ${Errors}
    !insertmacro Fail "${MSG_CANNOT_REPLACE}"
  ${EndIf}
  Call RemoveStage

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT_TITLE}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${PRODUCT_VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\kagemira.scr,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "スクリーンセーバーに設定する" SecScreenSaver
  Call SetCurrentScreenSaver
SectionEnd

Section "スタートメニューに登録する" SecStartMenu
  SetOutPath $INSTDIR  ; the entries' working folder
  CreateDirectory "${START_MENU_FOLDER}"
  CreateShortcut "${HOST_SHORTCUT}" "$INSTDIR\Vistrel.exe"
  ; Through the launcher: the shell would open kagemira.scr itself with "/S", not "/c".
  CreateShortcut "${SETTINGS_SHORTCUT}" "$INSTDIR\kagemira-settings.exe" "" "$INSTDIR\kagemira.scr" 0
SectionEnd

; An installation over an older one without Start-menu entries takes the old entries away.
Section "-StartMenuDeselected"
  ${IfNot} ${SectionIsSelected} ${SecStartMenu}
    !insertmacro RemoveStartMenuEntries
  ${EndIf}
SectionEnd

; A folder given with /D= that cannot be one (a file in its path, a drive that does not exist)
; makes NSIS take the default folder without a word: refuse it instead.
Function .onInit
  System::Call 'kernel32::GetCommandLineW() w .r0'  ; $CMDLINE has lost its /D= already
  StrLen $1 $0
  StrCpy $2 0
  ${DoWhile} $2 < $1
    StrCpy $3 $0 4 $2
    ${If} $3 S== " /D="
      IntOp $2 $2 + 4
      StrCpy $3 $0 "" $2
      ${If} $3 != $INSTDIR
      ${AndIf} $3 != "$INSTDIR\"
        MessageBox MB_OK|MB_ICONSTOP "${MSG_UNUSABLE_FOLDER}" /SD IDOK
        SetErrorLevel 2
        Quit
      ${EndIf}
      ${Break}
    ${EndIf}
    IntOp $2 $2 + 1
  ${Loop}

  Call UpgradeKeepsScreenSaver
  Pop $0
  ${If} $0 == 1
    !insertmacro UnselectSection ${SecScreenSaver}
  ${EndIf}
FunctionEnd

Function .onInstFailed
  Call RemoveStage
  ${If} $FolderMade == 1
    RMDir $INSTDIR  ; only when it is empty
  ${EndIf}
FunctionEnd

; The uninstaller refuses a folder that holds no installation: a second run, or a copy elsewhere.
Function un.onInit
  StrCpy $0 $INSTDIR "" -1
  ${If} $0 == "\"  ; the copy in the temporary folder is given the folder with a backslash
    StrCpy $INSTDIR $INSTDIR -1
  ${EndIf}
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${IfNot} ${FileExists} "$INSTDIR\kagemira.scr"
  ${AndIf} $0 != $INSTDIR
    MessageBox MB_OK|MB_ICONINFORMATION "${MSG_NOTHING_TO_UNINSTALL}" /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
FunctionEnd

!macro DeleteInstalledFile NAME
  Delete "$INSTDIR\${NAME}"
!macroend

Section "Uninstall"
  Call un.WaitUntilWritable
  ${If} ${Errors}
    !insertmacro Fail "${MSG_UNINSTALL_CANCELLED}"
  ${EndIf}
  ; Decided while the folder is there: its short and long names match only while it exists.
  Push $INSTDIR
  Call un.NamesSaverIn
  Pop $SaverWasOurs
  ClearErrors
  !insertmacro ForEachProgramFile DeleteInstalledFile
  ${If} ${Errors}
    !insertmacro Fail "${MSG_CANNOT_DELETE}"  ; the registration stays: the uninstaller can run again
  ${EndIf}
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir /r "$INSTDIR\${STAGE_FOLDER}"  ; left by an installation that was cut off
  RMDir $INSTDIR  ; only when it is empty: the user may have put files of their own there

  ${If} $SaverWasOurs == 1
    Call un.UnsetCurrentScreenSaver
  ${EndIf}
  ; The Start-menu entries and the registration belong to the installation registered last.
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 == ""
  ${OrIf} $0 == $INSTDIR
    !insertmacro RemoveStartMenuEntries
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ${EndIf}

  ${If} ${FileExists} "${SETTINGS_FILE}"
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "${MSG_DELETE_SETTINGS}" /SD IDNO IDNO keepSettings
      Delete "${SETTINGS_FILE}"
      RMDir "${SETTINGS_FOLDER}"  ; only when it is empty
    keepSettings:
  ${EndIf}
SectionEnd
