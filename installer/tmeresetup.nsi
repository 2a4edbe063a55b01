; The Tracemere installer: viewer, updater, SQLite library and default
; settings, installed for the current user (no administrator rights).
;   makensis -DBINDIR=<folder with the programs> -DOUTFILE=<installer> tmeresetup.nsi
; -DSILENT builds an installer that asks nothing (used by tests).

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

!ifndef BINDIR
  !error "BINDIR must name the folder holding the programs"
!endif
!ifndef OUTFILE
  !define OUTFILE "tmeresetup.exe"
!endif

Name "Tracemere"
OutFile "${OUTFILE}"
Icon "${__FILEDIR__}\..\src\app\res\tracemere.ico"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Tracemere"
VIProductVersion "5.2.0.1000"
VIAddVersionKey "ProductName" "Tracemere"
VIAddVersionKey "FileDescription" "Tracemere setup"
VIAddVersionKey "FileVersion" "5.2.0.1000"
VIAddVersionKey "ProductVersion" "5.2"
VIAddVersionKey "CompanyName" "Tracemere"
VIAddVersionKey "LegalCopyright" "Tracemere"

!ifdef SILENT
  SilentInstall silent
!else
  Page directory
  Page instfiles
  UninstPage uninstConfirm
  UninstPage instfiles
!endif

Section "Tracemere"
  SetOutPath "$INSTDIR"
  File "${BINDIR}\tracemere.exe"
  File "${BINDIR}\renovo.exe"
  File "${BINDIR}\tmere3.dll"
  ; The user's settings survive an update.
  SetOverwrite off
  File "${BINDIR}\tmere.ini"
  SetOverwrite on
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Tracemere.lnk" "$INSTDIR\tracemere.exe"
  WriteRegStr HKCU "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tracemere" "DisplayName" "Tracemere"
  WriteRegStr HKCU "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tracemere" "DisplayVersion" "5.2"
  WriteRegStr HKCU "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tracemere" "UninstallString" '"$INSTDIR\uninstall.exe"'
SectionEnd

Section "Uninstall"
  Delete "$INSTDIR\tracemere.exe"
  Delete "$INSTDIR\renovo.exe"
  Delete "$INSTDIR\tmere3.dll"
  Delete "$INSTDIR\tmere.ini"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Tracemere.lnk"
  DeleteRegKey HKCU "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tracemere"
SectionEnd
