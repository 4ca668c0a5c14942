; The current screen saver of the user: HKCU\Control Panel\Desktop, value SCRNSAVE.EXE, as the
; shell's Install verb and the system's screen-saver settings write it.

!define DESKTOP_KEY "Control Panel\Desktop"
!define SAVER_VALUE "SCRNSAVE.EXE"
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

; un.LongFolder: the long form of the folder on the stack (unchanged when it does not exist).
Function un.LongFolder
  Exch $0
  Push $1
  Push $2
  System::Call 'kernel32::GetLongPathNameW(w r0, w .r1, i ${NSIS_MAX_STRLEN}) i .r2'
  ${If} $2 <> 0
    StrCpy $0 $1
  ${EndIf}
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

; Takes kagemira away as the current screen saver when the setting names this installation's
; kagemira.scr, in its short or long form, present or not: the user is left with no screen saver
; rather than one that no longer exists. Another screen saver stays.
Function un.UnsetCurrentScreenSaverIfOurs
  Push $0
  Push $1
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "${SAVER_VALUE}"
  ${GetFileName} $0 $1
  ${If} $1 == "kagemira.scr"  ; (the name is 8.3 already: its short form is the same)
    ${GetParent} $0 $0
    Push $0
    Call un.LongFolder
    Pop $0
    Push $INSTDIR
    Call un.LongFolder
    Pop $1
    ${If} $0 == $1
      DeleteRegValue HKCU "${DESKTOP_KEY}" "${SAVER_VALUE}"
      !insertmacro SetScreenSaverActive 0
    ${EndIf}
  ${EndIf}
  Pop $1
  Pop $0
FunctionEnd
