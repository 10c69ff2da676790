; The Parlox installer: per user, no administrator, into %LOCALAPPDATA%\Programs\Parlox.
; scripts/build-windows passes PROGRAM_FOLDER (the program folder to install), VERSION, OUTFILE
; and FILES (an include file listing every file of the program folder, written by the script), so
; that the uninstaller removes exactly what was installed and nothing the program wrote itself:
; the chat log beside parlox.exe and the settings in the registry stay.
Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Parlox"

Name "Parlox"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Parlox"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Parlox ${VERSION}"
Icon "${ICON}"
UninstallIcon "${ICON}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "Parlox"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "Parlox ${VERSION} setup"
VIAddVersionKey /LANG=1033 "CompanyName" "Tolvane"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Tolvane"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

!include "${FILES}"

; A running parlox.exe cannot be replaced or removed: say so and stop before anything changes,
; so that no half program is left behind.
!macro StopIfRunning un
Function ${un}StopIfRunning
  IfFileExists "$INSTDIR\parlox.exe" 0 done
  ClearErrors
  FileOpen $0 "$INSTDIR\parlox.exe" a
  IfErrors 0 closed
  MessageBox MB_OK|MB_ICONSTOP "Parlox is running. Close Parlox, then try again." /SD IDOK
  SetErrorLevel 2
  Quit
closed:
  FileClose $0
done:
FunctionEnd
!macroend
!insertmacro StopIfRunning ""
!insertmacro StopIfRunning "un."

Section "Parlox"
  Call StopIfRunning
  SetOutPath "$INSTDIR"
  !insertmacro InstallFiles
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  SetShellVarContext current
  CreateShortCut "$SMPROGRAMS\Parlox.lnk" "$INSTDIR\parlox.exe" "" "$INSTDIR\parlox.exe" 0

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Parlox"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Tolvane"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\parlox.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" ${INSTALLED_KB}
SectionEnd

Section "Uninstall"
  Call un.StopIfRunning
  !insertmacro UninstallFiles
  Delete "$INSTDIR\Uninstall.exe"
  ; Only empty: the chat log may still be in it.
  RMDir "$INSTDIR"

  SetShellVarContext current
  Delete "$SMPROGRAMS\Parlox.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
