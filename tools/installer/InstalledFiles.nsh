; Every file an installation holds, in one list: the installer stages and swaps them in, checks
; that none is in use, and the uninstaller removes them.

!define UNINSTALLER "uninstall.exe"

; ForEachProgramFile <macro>: inserts <macro> "<file name>" for each program file the build made.
!macro ForEachProgramFile MACRO
  !insertmacro ${MACRO} "kagemira.scr"
  !insertmacro ${MACRO} "Vistrel.exe"
  !insertmacro ${MACRO} "kagemira-settings.exe"
  !insertmacro ${MACRO} "um.bin"
  !insertmacro ${MACRO} "framepack.exe"
  !insertmacro ${MACRO} "README.txt"
!macroend

; ForEachInstalledFile <macro>: the program files and the uninstaller.
!macro ForEachInstalledFile MACRO
  !insertmacro ForEachProgramFile ${MACRO}
  !insertmacro ${MACRO} "${UNINSTALLER}"
!macroend

; $R1 := the first installed file in $INSTDIR that cannot be opened for writing (a running program
; holds it, or it is read-only), or "" when every one can be replaced or removed.
!macro CheckWritable NAME
  ${If} $R1 == ""
  ${AndIf} ${FileExists} "$INSTDIR\${NAME}"
    ClearErrors
    FileOpen $R2 "$INSTDIR\${NAME}" a
    ${If} ${Errors}
      StrCpy $R1 "${NAME}"
    ${Else}
      FileClose $R2
    ${EndIf}
  ${EndIf}
!macroend

; Asks the user (with MESSAGE) to close the programs until every file of LIST (ForEachInstalledFile
; or ForEachProgramFile) can be replaced or removed; false (error flag set) when the user cancels.
; Silent runs do not wait: they give up.
!macro DefineWaitUntilWritable PREFIX MESSAGE LIST
  Function ${PREFIX}WaitUntilWritable
    Push $R1
    Push $R2
    retry:
      StrCpy $R1 ""
      !insertmacro ${LIST} CheckWritable
      ${If} $R1 != ""
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${MESSAGE}" /SD IDCANCEL IDRETRY retry
      ${EndIf}
    ClearErrors
    ${If} $R1 != ""
      SetErrors
    ${EndIf}
    Pop $R2
    Pop $R1
  FunctionEnd
!macroend
