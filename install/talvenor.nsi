; Talvenor setup: installs the game and its library side by side for the current user, gives the
; player the default button assignments unless the player already has some, and registers an
; uninstaller that leaves scores and options alone unless asked to remove them.
;
; Built by CMake, which defines VERSION, VERSION_QUAD, TARGET, OUT_FILE, TALVEX_EXE, VELCORE_DLL,
; KEYS_NSH (the key map writes, generated from keys.reg) and ICON.
;
; Command line: /S silent, /D=folder (last, unquoted) the installation folder.
; Uninstaller: /S silent, /REMOVEDATA also removes scores, options and button assignments.

Unicode true
Target ${TARGET}
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include nsDialogs.nsh
!include "${KEYS_NSH}"

!define PRODUCT "Talvenor"
!define PUBLISHER "Velmora"
!define GAME_KEY "Software\Velmora\Gravlin"
!define KEYS_KEY "${GAME_KEY}\Keys"
!define MAKER_KEY "Software\Velmora"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Talvenor"
!define FRAME_CLASS "GravlinCE"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT}.lnk"

Name "${PRODUCT}"
OutFile "${OUT_FILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
; An upgrade goes where the last installation went.
InstallDirRegKey HKCU "${UNINST_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails nevershow
ShowUninstDetails nevershow

VIProductVersion "${VERSION_QUAD}"
VIFileVersion "${VERSION_QUAD}"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=0 "LegalCopyright" "${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\Talvex.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start ${PRODUCT}"
!insertmacro MUI_PAGE_FINISH

UninstPage custom un.DataPageShow un.DataPageLeave
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; Files of a running game cannot be replaced or removed, and a half-replaced pair would not start:
; wait for the player to close it, or give up (exit code 2 in silent mode).
!macro WaitForGameClosed
  ${Do}
    FindWindow $0 "${FRAME_CLASS}"
    ${If} $0 == 0
      ${Break}
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
      "${PRODUCT} is running. Close it, then choose Retry." /SD IDCANCEL IDRETRY +2
    Abort "${PRODUCT} is running."
  ${Loop}
!macroend

Section "-Game" SecGame
  !insertmacro WaitForGameClosed
  SetOutPath "$INSTDIR"
  File "/oname=Talvex.exe" "${TALVEX_EXE}"
  File "/oname=velcore.dll" "${VELCORE_DLL}"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  ; The player's own assignments survive a reinstall or an upgrade. An empty Keys key counts as
  ; none: the library would load no actions from it and the game could not be steered.
  ClearErrors
  EnumRegKey $0 HKCU "${KEYS_KEY}" 0
  ${If} ${Errors}
  ${OrIf} $0 == ""
    !insertmacro WriteKeyMapDefaults
  ${EndIf}

  CreateDirectory "$SMPROGRAMS"
  CreateShortCut "${SHORTCUT}" "$INSTDIR\Talvex.exe" "" "$INSTDIR\Talvex.exe" 0

  WriteRegStr HKCU "${UNINST_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINST_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\Talvex.exe,0"
  WriteRegStr HKCU "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINST_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoRepair" 1
  SectionGetSize ${SecGame} $0
  WriteRegDWORD HKCU "${UNINST_KEY}" "EstimatedSize" $0
SectionEnd

; Uninstaller

Var RemoveData
Var RemoveDataBox

Function un.onInit
  StrCpy $RemoveData 0
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/REMOVEDATA" $R1
  ${IfNot} ${Errors}
    StrCpy $RemoveData 1
  ${EndIf}
FunctionEnd

Function un.DataPageShow
  !insertmacro MUI_HEADER_TEXT "Uninstall ${PRODUCT}" "Remove ${PRODUCT} from your computer."
  nsDialogs::Create 1018
  Pop $0
  ${If} $0 == error
    Abort
  ${EndIf}
  ${NSD_CreateLabel} 0 0 100% 24u "${PRODUCT} will be removed from $INSTDIR."
  Pop $0
  ${NSD_CreateCheckbox} 0 32u 100% 12u "&Also remove my scores, options and button assignments"
  Pop $RemoveDataBox
  ${If} $RemoveData == 1
    ${NSD_Check} $RemoveDataBox
  ${EndIf}
  GetDlgItem $0 $HWNDPARENT 1
  SendMessage $0 ${WM_SETTEXT} 0 "STR:$(^UninstallBtn)"
  nsDialogs::Show
FunctionEnd

Function un.DataPageLeave
  ${NSD_GetState} $RemoveDataBox $0
  ${If} $0 == ${BST_CHECKED}
    StrCpy $RemoveData 1
  ${Else}
    StrCpy $RemoveData 0
  ${EndIf}
FunctionEnd

Section "Uninstall"
  !insertmacro WaitForGameClosed
  ; Only our own files: the folder may be one the player chose and shares with other things.
  Delete "$INSTDIR\Talvex.exe"
  Delete "$INSTDIR\velcore.dll"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"

  ; The shortcut and the programs-list entry may by now belong to a later installation elsewhere.
  ReadRegStr $0 HKCU "${UNINST_KEY}" "InstallLocation"
  ${If} $0 == ""
  ${OrIf} $0 == $INSTDIR
    Delete "${SHORTCUT}"
    DeleteRegKey HKCU "${UNINST_KEY}"
  ${EndIf}

  ${If} $RemoveData == 1
    DeleteRegKey HKCU "${GAME_KEY}\Options"
    DeleteRegKey HKCU "${GAME_KEY}\Score"
    DeleteRegKey HKCU "${KEYS_KEY}"
    ; The maker's other games keep their keys.
    DeleteRegKey /ifempty HKCU "${GAME_KEY}"
    DeleteRegKey /ifempty HKCU "${MAKER_KEY}"
  ${EndIf}
SectionEnd
