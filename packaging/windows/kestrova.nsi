; The Windows installer of Kestrova, made by scripts/cross-windows.sh (its package stage):
;   makensis -DVERSION=0.1.0 -DSOURCE=<deployed folder> -DFILES=<uninstall list> -DLICENSE=LICENSE
;            -DOUTFILE=kestrova-0.1.0-setup.exe packaging/windows/kestrova.nsi
; It installs the deployed folder for all users, with a Start-menu entry, an uninstaller and an entry
; in Windows's list of installed programs. /S installs or uninstalls without questions.

Unicode true
; A 64-bit installer for a 64-bit program: it writes the 64-bit registry and Program Files without
; redirection, and runs where only a 64-bit Windows (or Wine's 64-bit loader) is there.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include MUI2.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kestrova"

Name "Kestrova"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Kestrova"
BrandingText "Kestrova ${VERSION}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "Kestrova"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileDescription" "Kestrova ${VERSION} – instalator"
VIAddVersionKey /LANG=0 "LegalCopyright" "GNU GPL 3.0 lub nowsza"

!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_LICENSE "${LICENSE}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\kestrova.exe"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
; The program speaks Polish, and so does its installer.
!insertmacro MUI_LANGUAGE "Polish"

Function .onInit
  SetShellVarContext all
  SetRegView 64
FunctionEnd

Function un.onInit
  SetShellVarContext all
  SetRegView 64
FunctionEnd

Section "Kestrova"
  SetOutPath "$INSTDIR"
  File /r "${SOURCE}\*.*"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Kestrova.lnk" "$INSTDIR\kestrova.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Kestrova"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Kestrova"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\kestrova.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Only what the installer put there goes: a file the user saved into the folder stays, and with it
; the folder.
Section "Uninstall"
  Delete "$SMPROGRAMS\Kestrova.lnk"
  !include "${FILES}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
