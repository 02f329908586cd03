; The installer of the screen saver, one script for both processors. The build runs
;   makensis -DVERSION=1.0.0 -DARCH=x64|x86 -DSCR=FILE.scr -DICON=FILE.ico -DOUTFILE=SETUP.exe
; It puts the .scr into the system folder, registers it under installed programs, and
; (an option, on by default) makes it the current user's screen saver.

!if "${ARCH}" == "x64"
  Target amd64-unicode
  !define SCR_NAME "wrigglet2004.scr"
  !define PROGRAM_FOLDER "$PROGRAMFILES64\Wrigglet2004"
!else if "${ARCH}" == "x86"
  Target x86-unicode
  !define SCR_NAME "wrigglet2004-x86.scr"
  !define PROGRAM_FOLDER "$PROGRAMFILES\Wrigglet2004"
!else
  !error "ARCH must be x64 or x86"
!endif

!include LogicLib.nsh
!include x64.nsh

!define PRODUCT "Wrigglet2004"
!define PUBLISHER "Tolvarin"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Wrigglet2004"
!define SETTINGS_KEY "Software\Tolvarin\ScreenSavers\Wrigglet"
!define DESKTOP_KEY "Control Panel\Desktop"
!define SPI_SETSCREENSAVEACTIVE 17
!define SPIF_UPDATE_AND_SEND 3

Name "${PRODUCT}"
OutFile "${OUTFILE}"
; The saver goes to the system folder; only the uninstaller lives in the program folder.
InstallDir "${PROGRAM_FOLDER}"
RequestExecutionLevel admin
ManifestSupportedOS all
SetCompressor /SOLID lzma
; File times are not stored, so the same inputs give the same installer.
SetDateSave off
Icon "${ICON}"
UninstallIcon "${ICON}"
ShowInstDetails nevershow
ShowUninstDetails nevershow

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} screen saver setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "LegalCopyright" "(c) 2004 the Wrigglet team"

Page components
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Function .onInit
  !if "${ARCH}" == "x64"
    SetRegView 64
  !else
    ; A 32-bit installer on 64-bit Windows would name the redirected system folder as the
    ; screen saver's place, where the 64-bit desktop never looks.
    ${If} ${RunningX64}
      MessageBox MB_ICONSTOP "This installer is for 32-bit Windows. On 64-bit Windows, run wrigglet2004-${VERSION}-setup-x64.exe." /SD IDOK
      Abort
    ${EndIf}
  !endif
FunctionEnd

Function un.onInit
  !if "${ARCH}" == "x64"
    SetRegView 64
  !endif
FunctionEnd

Section "-${PRODUCT}" SecSaver
  ; Over an older version this replaces the file and the entry in place; the user's
  ; settings are not touched.
  SetOutPath "$SYSDIR"
  File "/oname=${SCR_NAME}" "${SCR}"
  CreateDirectory "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  SectionGetSize ${SecSaver} $0
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$SYSDIR\${SCR_NAME},0"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Make it my screen saver" SecCurrent
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$SYSDIR\${SCR_NAME}"
  WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"
  ; Tells the running desktop, which otherwise reads the setting only at the next logon.
  System::Call 'user32::SystemParametersInfo(i ${SPI_SETSCREENSAVEACTIVE}, i 1, p 0, i ${SPIF_UPDATE_AND_SEND})'
SectionEnd

; $0: the current user's screen saver. Sets $1 to 1 when it names this saver, by its long
; or its short (8.3) path, which is how the display settings write it.
Function un.NamesThisSaver
  StrCpy $1 0
  StrCmp $0 "$SYSDIR\${SCR_NAME}" 0 +3
    StrCpy $1 1
    Return
  GetFullPathName /SHORT $2 "$SYSDIR\${SCR_NAME}"
  StrCmp $2 "" +3
  StrCmp $0 $2 0 +2
    StrCpy $1 1
FunctionEnd

Section "Uninstall"
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  Call un.NamesThisSaver
  StrCmp $1 1 0 +2
    DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  Delete /REBOOTOK "$SYSDIR\${SCR_NAME}"
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "Software\Tolvarin\ScreenSavers"
  DeleteRegKey /ifempty HKCU "Software\Tolvarin"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
