; The Qorda installer: a 64-bit program that needs no administrator rights. It installs for the user who
; runs it, under the user's profile, with the user's Start menu entries and the user's entry in Windows'
; list of installed apps. The game itself keeps the player's maps in %APPDATA%\Qorda, which it fills from
; the installed data on its first start; removing the game leaves that folder alone.
;
; makensis -DVERSION=<version> -DSTAGE=<folder with the game's files> -DICON=<qorda.ico> -DOUTFILE=<setup.exe>
Unicode true
Target amd64-unicode
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "FileFunc.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Qorda"

Name "Qorda ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Qorda"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Qorda ${VERSION}"
VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1033 "ProductName" "Qorda"
VIAddVersionKey /LANG=1033 "FileDescription" "Qorda installer"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Qorda developers"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\qorda.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Play Qorda"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; The game's files; the pictures and maps go into data\, from which the game fills the player's folder.
Section "Qorda"
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File "${STAGE}/qorda.exe"
  File "${STAGE}/qorda-map.exe"
  File "${STAGE}/README.txt"
  SetOutPath "$INSTDIR\licenses"
  File "${STAGE}/licenses/*.txt"
  SetOutPath "$INSTDIR\data"
  File "${STAGE}/tiles.png"
  File "${STAGE}/font.bmp"
  File "${STAGE}/map01.txt"
  File "${STAGE}/HelpMap.txt"

  ; The shortcuts start the game in the player's folder (the game fills it on its first start).
  CreateDirectory "$APPDATA\Qorda"
  SetOutPath "$APPDATA\Qorda"
  CreateShortCut "$SMPROGRAMS\Qorda.lnk" "$INSTDIR\qorda.exe" "" "$INSTDIR\qorda.exe" 0
  CreateShortCut "$SMPROGRAMS\Qorda (strong computer).lnk" "$INSTDIR\qorda.exe" "--opponent strong" \
    "$INSTDIR\qorda.exe" 0

  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Qorda"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Qorda developers"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\qorda.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; Everything the installer put down, and nothing of the player's folder.
Section "Uninstall"
  SetShellVarContext current
  Delete "$SMPROGRAMS\Qorda.lnk"
  Delete "$SMPROGRAMS\Qorda (strong computer).lnk"
  Delete "$INSTDIR\qorda.exe"
  Delete "$INSTDIR\qorda-map.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\licenses\*.txt"
  RMDir "$INSTDIR\licenses"
  Delete "$INSTDIR\data\tiles.png"
  Delete "$INSTDIR\data\font.bmp"
  Delete "$INSTDIR\data\map01.txt"
  Delete "$INSTDIR\data\HelpMap.txt"
  RMDir "$INSTDIR\data"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
