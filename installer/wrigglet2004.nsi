; The installer of the screen saver, one script for both processors. The build runs
;   makensis -DVERSION=1.0.0 -DARCH=x64|x86 -DSCR=FILE.scr -DICON=FILE.ico -DSIDE=FILE.bmp -DOUTFILE=SETUP.exe
; It puts the .scr into the system folder, registers it under installed programs, and
; (an option, on by default at a first install) makes it the current user's screen saver.
; Switches: /S silent; /NOACTIVATE leaves the current screen saver alone; /DOWNGRADE lets
; an older version replace a newer one without asking.

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

!include MUI2.nsh
!include LogicLib.nsh
!include x64.nsh
!include FileFunc.nsh
!include WordFunc.nsh

!define PRODUCT "Wrigglet2004"
!define PUBLISHER "Tolvarin"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Wrigglet2004"
!define SETTINGS_KEY "Software\Tolvarin\ScreenSavers\Wrigglet"
!define DESKTOP_KEY "Control Panel\Desktop"
!define SPI_SETSCREENSAVEACTIVE 17
!define SPIF_UPDATE_AND_SEND 3
; The full-screen saver's window class (the saver's own, see src/win32/saver_window.h).
!define SAVER_CLASS "screensaver"
!define SYNCHRONIZE_AND_QUERY 0x100400
!define SAVER_END_WAIT_MS 5000
!define SESSION_MANAGER_KEY "SYSTEM\CurrentControlSet\Control\Session Manager"
!define PENDING_RENAMES "PendingFileRenameOperations"
; Windows Installer's code for "another version of this product is already installed".
!define EXIT_NEWER_INSTALLED 1638
; The conventional code for "done, but a restart completes it".
!define EXIT_RESTART_NEEDED 3010

Name "${PRODUCT}"
OutFile "${OUTFILE}"
BrandingText "${PRODUCT} ${VERSION}"
; The saver goes to the system folder; only the uninstaller lives in the program folder.
InstallDir "${PROGRAM_FOLDER}"
RequestExecutionLevel admin
ManifestSupportedOS all
SetCompressor /SOLID lzma
; File times are not stored, so the same inputs give the same installer.
SetDateSave off
ShowInstDetails nevershow
ShowUninstDetails nevershow
; A file that cannot be written offers Retry and Cancel, never Ignore, and a silent
; install that meets one fails rather than carrying on with the old file.
AllowSkipFiles off
FileErrorText "$0 is in use." "$0 is in use: the screen saver is probably running.$\r$\n$\r$\nClose the screen saver (and its settings) and choose Retry, or Cancel to stop the installation."

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} screen saver setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "LegalCopyright" "(c) 2004 the Wrigglet team"

Var InstalledVersion
Var Parameters

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_WELCOMEFINISHPAGE_BITMAP "${SIDE}"
!define MUI_UNWELCOMEFINISHPAGE_BITMAP "${SIDE}"
!define MUI_ABORTWARNING

!define MUI_WELCOMEPAGE_TEXT "${PRODUCT} is a screen saver: small worm-like creatures, the wrigglets, crawl over a snapshot of your desktop and leave coloured trails behind them.$\r$\n$\r$\nSetup puts it into the system folder, where the screen-saver settings find it, and lists it under installed programs.$\r$\n$\r$\nClick Next to continue."
!insertmacro MUI_PAGE_WELCOME
!define MUI_PAGE_HEADER_TEXT "Options"
!define MUI_PAGE_HEADER_SUBTEXT "Choose whether ${PRODUCT} becomes your screen saver."
!define MUI_COMPONENTSPAGE_TEXT_TOP "Tick the box to make ${PRODUCT} your screen saver now; leave it clear to keep the one you have. Either way it is listed in the screen-saver settings."
!define MUI_COMPONENTSPAGE_TEXT_COMPLIST "Option:"
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "${PRODUCT} ${VERSION} is installed.$\r$\n$\r$\nClick Finish to close Setup."
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Open the screen-saver settings"
!define MUI_FINISHPAGE_RUN_FUNCTION OpenScreenSaverSettings
!define MUI_FINISHPAGE_RUN_NOTCHECKED
!define MUI_FINISHPAGE_SHOWREADME
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Preview ${PRODUCT} now"
!define MUI_FINISHPAGE_SHOWREADME_FUNCTION PreviewSaver
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!insertmacro MUI_PAGE_FINISH

!define MUI_UNCONFIRMPAGE_TEXT_TOP "This removes the screen saver $SYSDIR\${SCR_NAME},$\r$\nyour ${PRODUCT} settings (and ${PRODUCT} as your screen saver)$\r$\nand the program folder below, which holds this uninstaller."
!define MUI_UNCONFIRMPAGE_TEXT_LOCATION "Program folder:"
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!define MUI_FINISHPAGE_REBOOTLATER_DEFAULT
!define MUI_FINISHPAGE_TEXT_REBOOT "Everything is removed but the screen saver's file, which is still in use; Windows removes it when it restarts:$\r$\n$\r$\n$SYSDIR\${SCR_NAME}"
!insertmacro MUI_UNPAGE_FINISH

!insertmacro MUI_LANGUAGE "English"

; Asks every running copy of this saver to end and waits briefly for each: a saver running
; from the system folder keeps its file from being replaced or removed. Only full-screen
; windows of this saver's class whose program is this saver's file are asked.
!macro DEFINE_CLOSE_RUNNING_SAVER PREFIX
Function ${PREFIX}CloseRunningSaver
  Push $R0
  Push $R1
  Push $R2
  Push $R3
  StrCpy $R0 0
  ${Do}
    System::Call 'user32::FindWindowExW(p 0, p R0, w "${SAVER_CLASS}", p 0) p .R0'
    ${IfThen} $R0 P= 0 ${|} ${ExitDo} ${|}
    System::Call 'user32::GetWindowThreadProcessId(p R0, *i .R1)'
    System::Call 'kernel32::OpenProcess(i ${SYNCHRONIZE_AND_QUERY}, i 0, i R1) p .R2'
    ${If} $R2 P<> 0
      StrCpy $R3 ""
      System::Call 'psapi::GetProcessImageFileNameW(p R2, w .R3, i ${NSIS_MAX_STRLEN})'
      ${GetFileName} $R3 $R3
      ${If} $R3 == "${SCR_NAME}"
        DetailPrint "Closing the running screen saver"
        System::Call 'user32::PostMessageW(p R0, i ${WM_CLOSE}, p 0, p 0)'
        System::Call 'kernel32::WaitForSingleObject(p R2, i ${SAVER_END_WAIT_MS})'
      ${EndIf}
      System::Call 'kernel32::CloseHandle(p R2)'
    ${EndIf}
  ${Loop}
  Pop $R3
  Pop $R2
  Pop $R1
  Pop $R0
FunctionEnd
!macroend
!insertmacro DEFINE_CLOSE_RUNNING_SAVER ""
!insertmacro DEFINE_CLOSE_RUNNING_SAVER "un."

; $0: the current user's screen saver. Sets $1 to 1 when it names this saver, by its long
; or its short (8.3) path, which is how the display settings write it.
!macro DEFINE_NAMES_THIS_SAVER PREFIX
Function ${PREFIX}NamesThisSaver
  StrCpy $1 0
  StrCmp $0 "$SYSDIR\${SCR_NAME}" 0 +3
    StrCpy $1 1
    Return
  GetFullPathName /SHORT $2 "$SYSDIR\${SCR_NAME}"
  StrCmp $2 "" +3
  StrCmp $0 $2 0 +2
    StrCpy $1 1
FunctionEnd
!macroend
!insertmacro DEFINE_NAMES_THIS_SAVER ""
!insertmacro DEFINE_NAMES_THIS_SAVER "un."

; An uninstall that met a running saver left its file to be deleted at the next restart;
; that delete would take the file installed now with it, so it is taken off the list of
; pending operations (pairs of a source and a target, the source an NT path).
Function CancelPendingDelete
  System::Call 'advapi32::RegOpenKeyExW(p 0x80000002, w "${SESSION_MANAGER_KEY}", i 0, i 3, *p .r0) i .r1'
  ${IfThen} $1 <> 0 ${|} Return ${|}
  System::Call 'advapi32::RegQueryValueExW(p r0, w "${PENDING_RENAMES}", p 0, *i .r2, p 0, *i .r3) i .r1'
  ${If} $1 = 0
  ${AndIf} $2 = 7 ; REG_MULTI_SZ
  ${AndIf} $3 > 0
    ; Both buffers get room for a terminator the stored value may lack (Alloc zero-fills).
    IntOp $5 $3 + 4
    System::Alloc $5
    Pop $4
    System::Alloc $5
    Pop $5
    System::Call 'advapi32::RegQueryValueExW(p r0, w "${PENDING_RENAMES}", p 0, p 0, p r4, *i r3) i .r1'
    IntPtrOp $6 $4 + $3 ; the end
    StrCpy $7 $4        ; the pair read
    StrCpy $8 $5        ; where the kept pairs go
    StrCpy $9 0         ; 1 once a pair is dropped
    ${Do}
      ${IfThen} $7 P>= $6 ${|} ${ExitDo} ${|}
      System::Call 'kernel32::lstrlenW(p r7) i .R0'
      ${IfThen} $R0 = 0 ${|} ${ExitDo} ${|}
      IntOp $R0 $R0 + 1
      IntOp $R0 $R0 * 2
      IntPtrOp $R1 $7 + $R0
      System::Call 'kernel32::lstrlenW(p R1) i .R2'
      IntOp $R2 $R2 + 1
      IntOp $R2 $R2 * 2
      IntOp $R2 $R0 + $R2 ; the pair's bytes
      System::Call 'kernel32::lstrcmpiW(p r7, w "\??\$SYSDIR\${SCR_NAME}") i .R3'
      ${If} $R3 = 0
        StrCpy $9 1
      ${Else}
        System::Call 'kernel32::RtlMoveMemory(p r8, p r7, p R2)'
        IntPtrOp $8 $8 + $R2
      ${EndIf}
      IntPtrOp $7 $7 + $R2
    ${Loop}
    ${If} $9 = 1
      IntPtrOp $R0 $8 - $5
      ${If} $R0 = 0
        System::Call 'advapi32::RegDeleteValueW(p r0, w "${PENDING_RENAMES}")'
      ${Else}
        System::Call '*$8(&i2 0)'
        IntOp $R0 $R0 + 2
        System::Call 'advapi32::RegSetValueExW(p r0, w "${PENDING_RENAMES}", i 0, i 7, p r5, i R0)'
      ${EndIf}
      DetailPrint "Cancelled the removal of $SYSDIR\${SCR_NAME} at the next restart"
    ${EndIf}
    System::Free $4
    System::Free $5
  ${EndIf}
  System::Call 'advapi32::RegCloseKey(p r0)'
FunctionEnd

Section "-${PRODUCT}" SecSaver
  ; Over an older version this replaces the file and the entry in place; the user's
  ; settings are not touched. Nothing is registered unless the file was written.
  Call CloseRunningSaver
  Call CancelPendingDelete
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

; Refuses an older version over a newer one unless the user agrees or /DOWNGRADE says so.
Function CheckNotNewerInstalled
  ${IfThen} $InstalledVersion == "" ${|} Return ${|}
  ${VersionCompare} $InstalledVersion "${VERSION}" $0
  ${IfThen} $0 != 1 ${|} Return ${|}
  ClearErrors
  ${GetOptions} $Parameters "/DOWNGRADE" $0
  ${IfNotThen} ${Errors} ${|} Return ${|}
  MessageBox MB_YESNO|MB_ICONEXCLAMATION|MB_DEFBUTTON2 "${PRODUCT} $InstalledVersion is installed, which is newer than this version, ${VERSION}.$\r$\n$\r$\nReplace it with the older version?" /SD IDNO IDYES +3
    SetErrorLevel ${EXIT_NEWER_INSTALLED}
    Quit
FunctionEnd

; A first install makes the saver the current one unless /NOACTIVATE says not to; an upgrade
; keeps what the user has: the option starts ticked only if the saver is already their
; active one, where applying it changes nothing.
Function ChooseCurrentDefault
  ClearErrors
  ${GetOptions} $Parameters "/NOACTIVATE" $0
  ${If} ${Errors}
    ${IfThen} $InstalledVersion == "" ${|} Return ${|}
    ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    Call NamesThisSaver
    ReadRegStr $0 HKCU "${DESKTOP_KEY}" "ScreenSaveActive"
    ${If} $1 = 1
    ${AndIf} $0 == "1"
      Return
    ${EndIf}
  ${EndIf}
  SectionSetFlags ${SecCurrent} 0
FunctionEnd

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
  ${GetParameters} $Parameters
  ReadRegStr $InstalledVersion HKLM "${UNINSTALL_KEY}" "DisplayVersion"
  Call CheckNotNewerInstalled
  Call ChooseCurrentDefault
FunctionEnd

; The finish page's offers.
Function OpenScreenSaverSettings
  Exec '"$SYSDIR\rundll32.exe" desk.cpl,InstallScreenSaver $SYSDIR\${SCR_NAME}'
FunctionEnd

Function PreviewSaver
  ; The saver shows a snapshot of the desktop, which should not hold this window.
  HideWindow
  Exec '"$SYSDIR\${SCR_NAME}" /s'
FunctionEnd

Function un.onInit
  !if "${ARCH}" == "x64"
    SetRegView 64
  !endif
FunctionEnd

Section "Uninstall"
  Call un.CloseRunningSaver
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  Call un.NamesThisSaver
  StrCmp $1 1 0 +2
    DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  Delete /REBOOTOK "$SYSDIR\${SCR_NAME}"
  ${If} ${RebootFlag}
    DetailPrint "$SYSDIR\${SCR_NAME} is in use: it is removed when Windows restarts"
    SetErrorLevel ${EXIT_RESTART_NEEDED}
  ${EndIf}
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "Software\Tolvarin\ScreenSavers"
  DeleteRegKey /ifempty HKCU "Software\Tolvarin"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
