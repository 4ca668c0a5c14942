; Replacing an installation as a whole. The new files are first written into a staging folder
; inside $INSTDIR (so a full disk shows before anything installed is touched); once no installed
; file is in use, each one is moved aside and its new version moved in. If a move fails, every
; file goes back to where it was: the folder holds either the old installation or the new one.

!define STAGE_FOLDER "~kagemira-setup"
Var Stage         ; the staging folder
Var MoveFailed    ; the first file that could not be moved, or ""

!macro StageProgramFile NAME
  File "/oname=${NAME}" "${PROGRAM_DIR}/${NAME}"
!macroend

; Writes the new files into $Stage; false (error flag set) when one could not be written. A macro,
; not a function: the files of a section make the space it needs.
!macro StageFiles
  StrCpy $Stage "$INSTDIR\${STAGE_FOLDER}"
  RMDir /r $Stage
  ClearErrors
  CreateDirectory "$Stage\old"
  ${IfNot} ${Errors}
    SetOutPath $Stage
    SetOverwrite try  ; a file that cannot be written sets the error flag instead of asking
    !insertmacro ForEachProgramFile StageProgramFile
    SetOverwrite on
    WriteUninstaller "$Stage\${UNINSTALLER}"
    SetOutPath $INSTDIR
  ${Else}
    SetErrors
  ${EndIf}
!macroend

!macro MoveIn NAME
  ${If} $MoveFailed == ""
    StrCpy $MoveFailed "${NAME}"  ; until both moves have worked
    ClearErrors
    ${If} ${FileExists} "$INSTDIR\${NAME}"
      Rename "$INSTDIR\${NAME}" "$Stage\old\${NAME}"
    ${EndIf}
    ${IfNot} ${Errors}
      Rename "$Stage\${NAME}" "$INSTDIR\${NAME}"
      ${IfNot} ${Errors}
        StrCpy $MoveFailed ""
      ${EndIf}
    ${EndIf}
  ${EndIf}
!macroend

!macro MoveBack NAME
  ${If} ${FileExists} "$Stage\old\${NAME}"
    Delete "$INSTDIR\${NAME}"
    Rename "$Stage\old\${NAME}" "$INSTDIR\${NAME}"
  ${ElseIfNot} ${FileExists} "$Stage\${NAME}"
    Delete "$INSTDIR\${NAME}"  ; new here, moved in before the failure
  ${EndIf}
!macroend

; Moves the staged files in; false (error flag set) when that failed and the old files are back.
Function MoveStagedFiles
  StrCpy $MoveFailed ""
  !insertmacro ForEachInstalledFile MoveIn
  ${If} $MoveFailed != ""
    !insertmacro ForEachInstalledFile MoveBack
    SetErrors
  ${EndIf}
FunctionEnd

Function RemoveStage
  ${If} $Stage != ""
    SetOutPath $TEMP  ; the staging folder cannot be removed while it is the working folder
    RMDir /r $Stage
    StrCpy $Stage ""
  ${EndIf}
FunctionEnd
