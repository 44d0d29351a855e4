; The Windows installer: a per-user installation (no administrator needed) into
; %LOCALAPPDATA%\Programs\Tsukio, a Start menu entry, an uninstaller listed in Apps &
; features, and start at login as a choice. /S installs or uninstalls silently.
; makensis -DVERSION=... -DBUILD_DIR=... -DOUTFILE=... tsukio.nsi
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!include "MUI2.nsh"
!include "x64.nsh"
!include "WinVer.nsh"

!define PRODUCT "Tsukio"
!define PUBLISHER "Quorv"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tsukio"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define TOO_OLD_WINDOWS "Tsukio には Windows 10 バージョン 1607 以降が必要です。$\r$\nこのコンピューターには何もインストールせずに終了します。"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Tsukio"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1041 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1041 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1041 "FileDescription" "Tsukio installer"
VIAddVersionKey /LANG=1041 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "LegalCopyright" "© 2026 Quorv"

!define MUI_ICON "${BUILD_DIR}\resources\tsukio.ico"
!define MUI_UNICON "${BUILD_DIR}\resources\tsukio.ico"
!define MUI_FINISHPAGE_RUN "$INSTDIR\tsukio.exe"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

; A running copy holds its files: it is asked to quit as 終了 would, through its hidden window.
!macro CloseRunningCopy
  StrCpy $1 0
  loop:
    FindWindow $0 "Tsukio.MessageWindow"
    StrCmp $0 0 done
    SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
    Sleep 200
    IntOp $1 $1 + 1
    IntCmp $1 25 done loop done
  done:
!macroend

; Both refusals come before any page, so nothing is written; /S skips the message and exits
; with code 2.
Function .onInit
  ${IfNot} ${RunningX64}
    MessageBox MB_OK|MB_ICONSTOP "Tsukio は 64 ビット版の Windows が必要です。" /SD IDOK
    Abort
  ${EndIf}
  ; tsukio.exe uses calls that Windows 10 has from version 1607 (build 14393) on.
  ${IfNot} ${AtLeastWin10}
  ${OrIfNot} ${AtLeastBuild} 14393
    MessageBox MB_OK|MB_ICONSTOP "${TOO_OLD_WINDOWS}" /SD IDOK
    Abort
  ${EndIf}
FunctionEnd

Section "Tsukio" SecMain
  SectionIn RO
  !insertmacro CloseRunningCopy
  SetOutPath "$INSTDIR"
  File "${BUILD_DIR}\app\tsukio\tsukio.exe"
  File "${BUILD_DIR}\app\tsukio-cal\tsukio-cal.exe"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Tsukio.lnk" "$INSTDIR\tsukio.exe" "" "$INSTDIR\tsukio.exe" 0

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tsukio.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" 4096
SectionEnd

; The same value the options panel's ログイン時に起動 writes and removes.
Section /o "ログイン時に起動" SecLogin
  WriteRegStr HKCU "${RUN_KEY}" "Tsukio" '"$INSTDIR\tsukio.exe"'
SectionEnd

Section "Uninstall"
  !insertmacro CloseRunningCopy
  Delete "$INSTDIR\tsukio.exe"
  Delete "$INSTDIR\tsukio-cal.exe"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Tsukio.lnk"
  ; Only our own login entry: one that starts another copy is left alone.
  ReadRegStr $0 HKCU "${RUN_KEY}" "Tsukio"
  StrCmp $0 '"$INSTDIR\tsukio.exe"' 0 +2
    DeleteRegValue HKCU "${RUN_KEY}" "Tsukio"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ; The settings file in %APPDATA%\Quorv\Tsukio stays: it is the user's.
SectionEnd
