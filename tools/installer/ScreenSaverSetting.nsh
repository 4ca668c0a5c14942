; The current screen saver of the user: HKCU\Control Panel\Desktop, value SCRNSAVE.EXE, as the
; shell's Install verb and the system's screen-saver settings write it, and the switch
; ScreenSaveActive.

!define DESKTOP_KEY "Control Panel\Desktop"
!define SAVER_VALUE "SCRNSAVE.EXE"
!define SAVER_ACTIVE_VALUE "ScreenSaveActive"
!define SPI_SETSCREENSAVEACTIVE 17
!define SPIF_UPDATEINIFILE_SENDCHANGE 3

; SetScreenSaverActive <0|1>: stores the switch and tells running programs about the change.
!macro SetScreenSaverActive ACTIVE
  System::Call 'user32::SystemParametersInfoW(i ${SPI_SETSCREENSAVEACTIVE}, i ${ACTIVE}, p 0, i ${SPIF_UPDATEINIFILE_SENDCHANGE})'
!macroend

; Makes $INSTDIR\kagemira.scr the current screen saver. Like the Install verb it stores the short
; form of the path, which the system can start even when the folder's name has spaces.
Function SetCurrentScreenSaver
  Push $0
  GetFullPathName /SHORT $0 "$INSTDIR\kagemira.scr"
  ${If} $0 == ""
    StrCpy $0 "$INSTDIR\kagemira.scr"
  ${EndIf}
  WriteRegStr HKCU "${DESKTOP_KEY}" "${SAVER_VALUE}" $0
  !insertmacro SetScreenSaverActive 1
  Pop $0
FunctionEnd

; Defines <PREFIX>NamesSaverIn: given a folder on the stack, leaves 1 on it when SCRNSAVE.EXE names
; kagemira.scr in that folder, in its short or long form or any mix of the two, else 0. Both
; folders are compared in their long form, which only a folder that exists has: call it before
; anything is deleted. (The file name is 8.3 already: its short form is the same.)
!macro DefineNamesSaverIn PREFIX
  Function ${PREFIX}NamesSaverIn
    Exch $0  ; the folder, then the answer
    Push $1
    Push $2
    Push $3
    ReadRegStr $1 HKCU "${DESKTOP_KEY}" "${SAVER_VALUE}"
    ${GetFileName} $1 $2
    ${If} $2 == "kagemira.scr"
      ${GetParent} $1 $1
      System::Call 'kernel32::GetLongPathNameW(w r0, w .r2, i ${NSIS_MAX_STRLEN}) i .r3'
      ${If} $3 <> 0
        StrCpy $0 $2
      ${EndIf}
      System::Call 'kernel32::GetLongPathNameW(w r1, w .r2, i ${NSIS_MAX_STRLEN}) i .r3'
      ${If} $3 <> 0
        StrCpy $1 $2
      ${EndIf}
      ${If} $1 == $0  ; (case does not matter)
        StrCpy $0 1
      ${Else}
        StrCpy $0 0
      ${EndIf}
    ${Else}
      StrCpy $0 0
    ${EndIf}
    Pop $3
    Pop $2
    Pop $1
    Exch $0
  FunctionEnd
!macroend
!insertmacro DefineNamesSaverIn ""
!insertmacro DefineNamesSaverIn "un."

; Takes kagemira away as the current screen saver: the user is left with no screen saver rather
; than one that no longer exists. The uninstaller calls it when un.NamesSaverIn said so before
; the files went.
Function un.UnsetCurrentScreenSaver
  DeleteRegValue HKCU "${DESKTOP_KEY}" "${SAVER_VALUE}"
  !insertmacro SetScreenSaverActive 0
FunctionEnd

; UpgradeKeepsScreenSaver: leaves 1 on the stack when the component that makes kagemira the
; current screen saver should start unselected: over an installation (the registered one, else one
; in $INSTDIR) whose saver is not the current one, or with screen savers off. An update keeps the
; saver the user chose, or none. /SETSAVER on the command line asks for it in any case (for
; silent runs); a first installation selects it.
Function UpgradeKeepsScreenSaver
  Push $0
  Push $1
  Push $2
  StrCpy $0 0
  ClearErrors
  ${GetOptions} $CMDLINE "/SETSAVER" $1
  ${If} ${Errors}  ; not asked for
    ReadRegStr $1 HKCU "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $1 == ""
    ${AndIf} ${FileExists} "$INSTDIR\kagemira.scr"
      StrCpy $1 $INSTDIR
    ${EndIf}
    ${If} $1 != ""
      StrCpy $0 1
      ReadRegStr $2 HKCU "${DESKTOP_KEY}" "${SAVER_ACTIVE_VALUE}"
      ${If} $2 != "0"
        Push $1
        Call NamesSaverIn
        Pop $2
        ${If} $2 == 1
          StrCpy $0 0
        ${EndIf}
      ${EndIf}
    ${EndIf}
  ${EndIf}
  Pop $2
  Pop $1
  Exch $0
FunctionEnd
