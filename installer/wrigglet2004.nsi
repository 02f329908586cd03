; The installer of the screen saver, one script for both processors. The build runs
;   makensis -DVERSION=1.0.0 -DARCH=x64|x86 -DSCR=FILE.scr -DICON=FILE.ico -DSIDE=FILE.bmp
;            -DPROJECT_PAGE=URL -DOUTFILE=SETUP.exe [-DSIGN=scripts/sign-windows.sh]
; It puts the .scr into the system folder, registers it under installed programs, and
; (an option, on by default at a first install) makes it the current user's screen saver.
; Switches: /S silent; /NOACTIVATE leaves the current screen saver alone; /DOWNGRADE lets
; an older version replace a newer one without asking.
;
; Setup and the uninstaller start with the rights of whoever runs them and show their pages
; as that user. The part that needs an administrator (the system folder, the entry under
; installed programs) runs in a second, silent copy of the program that they start with
; /ELEVATED through the platform's elevation prompt, and wait for. What is the user's own
; (their screen saver, their settings, the finish page's offers) stays with the first copy,
; so it reaches the user who ran setup even when an administrator's password was given.

; SHELLEXECUTEINFOW differs between the two: its size, the padding that aligns its pointers
; on x64 (the System plug-in packs what it is given), and where the process handle lies.
!if "${ARCH}" == "x64"
  Target amd64-unicode
  !define SCR_NAME "wrigglet2004.scr"
  !define PROGRAM_FOLDER "$PROGRAMFILES64\Wrigglet2004"
  !define SEI_SIZE 112
  !define SEI_PAD "i 0,"
  !define SEI_PROCESS_AT 104
!else if "${ARCH}" == "x86"
  Target x86-unicode
  !define SCR_NAME "wrigglet2004-x86.scr"
  !define PROGRAM_FOLDER "$PROGRAMFILES\Wrigglet2004"
  !define SEI_SIZE 60
  !define SEI_PAD ""
  !define SEI_PROCESS_AT 56
!else
  !error "ARCH must be x64 or x86"
!endif

!include MUI2.nsh
!include LogicLib.nsh
!include x64.nsh
!include FileFunc.nsh
!include WordFunc.nsh
!include nsDialogs.nsh
!include Sections.nsh

!define PRODUCT "Wrigglet2004"
!define PUBLISHER "Tolvarin"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Wrigglet2004"
!define SETTINGS_KEY "Software\Tolvarin\ScreenSavers\Wrigglet"
!define DESKTOP_KEY "Control Panel\Desktop"
!define SPI_SETSCREENSAVEACTIVE 17
!define SPIF_UPDATE_AND_SEND 3
; The saver's window class, full screen and preview alike (src/win32/win32_loop.cpp).
!define SAVER_CLASS "screensaver"
!define SYNCHRONIZE_AND_QUERY 0x100400
!define SAVER_END_WAIT_MS 5000
; A bound on the walk over every window, should windows come and go under it.
!define WINDOW_WALK_LIMIT 100000
!define GW_HWNDNEXT 2
!define GW_CHILD 5
!define GA_PARENT 1
!define SEE_MASK_NOCLOSEPROCESS 0x40
!define MOVEFILE_DELAY_UNTIL_REBOOT 4
!define SESSION_MANAGER_KEY "SYSTEM\CurrentControlSet\Control\Session Manager"
!define PENDING_RENAMES "PendingFileRenameOperations"
; Windows Installer's code for "another version of this product is already installed".
!define EXIT_NEWER_INSTALLED 1638
; The conventional code for "done, but a restart completes it".
!define EXIT_RESTART_NEEDED 3010
; NSIS's own code for "stopped: nothing was changed", which a file in use also gives.
!define EXIT_NOT_DONE 2

Name "${PRODUCT}"
OutFile "${OUTFILE}"
BrandingText "${PRODUCT} ${VERSION}"
; The saver goes to the system folder; only the uninstaller lives in the program folder.
InstallDir "${PROGRAM_FOLDER}"
RequestExecutionLevel user
ManifestSupportedOS all
; The pages are laid out for the display's scale rather than stretched as a picture.
ManifestDPIAware true
SetCompressor /SOLID lzma
; File times are not stored, so the same inputs give the same installer.
SetDateSave off
ShowInstDetails nevershow
ShowUninstDetails nevershow
; A file that cannot be written stops the (silent) elevated part rather than carrying on
; with the old file; setup then offers Retry and Cancel.
AllowSkipFiles off
!define IN_USE_TEXT "$SYSDIR\${SCR_NAME} is in use: the screen saver is probably running.$\r$\n$\r$\nClose the screen saver (and its settings) and choose Retry, or Cancel to stop the installation."
!define NO_RIGHTS_TEXT "Changing the system folder needs an administrator's permission, which was not given. Nothing was changed."

!ifdef SIGN
  ; A signed release: the uninstaller is signed before it is packed, setup once it is made.
  !uninstfinalize '"${SIGN}" --file "%1"' = 0
  !finalize '"${SIGN}" --file "%1"' = 0
!endif

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} screen saver setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "LegalCopyright" "(c) 2004 the Wrigglet team"

Var InstalledVersion
Var Parameters
Var Elevated ; 1 in the copy that does the administrator's part
Var Downgrade ; 1 once the user agreed to replace a newer version
Var CurrentBox ; the options page's check box

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_WELCOMEFINISHPAGE_BITMAP "${SIDE}"
!define MUI_UNWELCOMEFINISHPAGE_BITMAP "${SIDE}"
!define MUI_ABORTWARNING

!define MUI_WELCOMEPAGE_TEXT "${PRODUCT} is a screen saver: small worm-like creatures, the wrigglets, crawl over a snapshot of your desktop and leave coloured trails behind them.$\r$\n$\r$\nSetup puts it into the system folder, where the screen-saver settings find it, and lists it under installed programs.$\r$\n$\r$\nClick Next to continue."
!insertmacro MUI_PAGE_WELCOME
Page custom OptionsPage OptionsPageLeave
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
; from the system folder keeps its file from being replaced or removed. Its windows have the
; saver's class: a full-screen one at the top level, a preview somewhere inside the window of
; the program showing it (the screen-saver settings), so the whole tree of windows is walked,
; depth first. Only windows whose program is this saver's file are asked.
!macro DEFINE_CLOSE_RUNNING_SAVER PREFIX
Function ${PREFIX}CloseRunningSaver
  Push $R0
  Push $R1
  Push $R2
  Push $R3
  Push $R4
  Push $R9
  System::Call 'user32::GetDesktopWindow() p .R9'
  System::Call 'user32::GetWindow(p R9, i ${GW_CHILD}) p .R0'
  ${For} $R4 1 ${WINDOW_WALK_LIMIT}
    ${IfThen} $R0 P= 0 ${|} ${Break} ${|}
    StrCpy $R1 $R0
    ; The next window, found before this one may go: its first child, else the next sibling
    ; of it or of its nearest ancestor below the desktop that has one.
    System::Call 'user32::GetWindow(p R1, i ${GW_CHILD}) p .R0'
    StrCpy $R2 $R1
    ${Do}
      ${IfThen} $R0 P<> 0 ${|} ${ExitDo} ${|}
      ${IfThen} $R2 P= $R9 ${|} ${ExitDo} ${|}
      ${IfThen} $R2 P= 0 ${|} ${ExitDo} ${|}
      System::Call 'user32::GetWindow(p R2, i ${GW_HWNDNEXT}) p .R0'
      System::Call 'user32::GetAncestor(p R2, i ${GA_PARENT}) p .R2'
    ${Loop}
    System::Call 'user32::GetClassNameW(p R1, w .R3, i 64)'
    ${IfThen} $R3 == "${SAVER_CLASS}" ${|} Call ${PREFIX}AskSaverToEnd ${|}
  ${Next}
  Pop $R9
  Pop $R4
  Pop $R3
  Pop $R2
  Pop $R1
  Pop $R0
FunctionEnd

; $R1: a window of the saver's class. If its program is this saver's file, asks it to close
; and waits for the program to end.
Function ${PREFIX}AskSaverToEnd
  Push $R2
  Push $R3
  Push $R5
  System::Call 'user32::GetWindowThreadProcessId(p R1, *i .R5)'
  System::Call 'kernel32::OpenProcess(i ${SYNCHRONIZE_AND_QUERY}, i 0, i R5) p .R2'
  ${If} $R2 P<> 0
    StrCpy $R3 ""
    System::Call 'psapi::GetProcessImageFileNameW(p R2, w .R3, i ${NSIS_MAX_STRLEN})'
    ${GetFileName} $R3 $R3
    ${If} $R3 == "${SCR_NAME}"
      DetailPrint "Closing the running screen saver"
      System::Call 'user32::PostMessageW(p R1, i ${WM_CLOSE}, p 0, p 0)'
      System::Call 'kernel32::WaitForSingleObject(p R2, i ${SAVER_END_WAIT_MS})'
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p R2)'
  ${EndIf}
  Pop $R5
  Pop $R3
  Pop $R2
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

; Runs this program again, with $0 as its parameters and an administrator's rights (the
; platform asks for them, unless this copy has them already), and waits for it. $1: its exit
; code, or "" when it did not start (the permission was refused). It starts in the system
; folder, so no copy of the program keeps the program folder in use.
!macro DEFINE_RUN_ELEVATED PREFIX
Function ${PREFIX}RunElevated
  Push $2
  Push $3
  System::Call '*(i ${SEI_SIZE}, i ${SEE_MASK_NOCLOSEPROCESS}, p $HWNDPARENT, w "runas", w "$EXEPATH", w r0, w "$SYSDIR", i ${SW_SHOWNORMAL}, ${SEI_PAD} p 0, p 0, p 0, p 0, i 0, ${SEI_PAD} p 0, p 0) p .r2'
  System::Call 'shell32::ShellExecuteExW(p r2) i .r1'
  ${If} $1 = 0
    StrCpy $1 ""
  ${Else}
    IntPtrOp $3 $2 + ${SEI_PROCESS_AT}
    System::Call '*$3(p .r3)'
    System::Call 'kernel32::WaitForSingleObject(p r3, i -1)'
    System::Call 'kernel32::GetExitCodeProcess(p r3, *i .r1)'
    System::Call 'kernel32::CloseHandle(p r3)'
  ${EndIf}
  System::Free $2
  Pop $3
  Pop $2
FunctionEnd
!macroend
!insertmacro DEFINE_RUN_ELEVATED ""
!insertmacro DEFINE_RUN_ELEVATED "un."

; $0: the parameters. Sets $Elevated to 1 when they say this is the administrator's part,
; which then runs silently.
!macro DEFINE_READ_ELEVATED PREFIX
Function ${PREFIX}ReadElevated
  ClearErrors
  ${GetOptions} $0 "/ELEVATED" $1
  ${IfNot} ${Errors}
    StrCpy $Elevated 1
    SetSilent silent
  ${EndIf}
FunctionEnd
!macroend
!insertmacro DEFINE_READ_ELEVATED ""
!insertmacro DEFINE_READ_ELEVATED "un."

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
  ${If} $Elevated <> 1
    Call InstallAsTheUser
    Return
  ${EndIf}
  ; The administrator's part: replaces the file and the entry in place over an older version
  ; (the user's settings are not touched); nothing is registered unless the file was written.
  Call CancelPendingDelete
  SetOutPath "$SYSDIR"
  File "/oname=${SCR_NAME}" "${SCR}"
  CreateDirectory "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  SectionGetSize ${SecSaver} $0
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "URLInfoAbout" "${PROJECT_PAGE}"
  ; The uninstaller carries the icon in every size the list may show.
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\uninstall.exe,0"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Only ever in the user's own copy of setup (the elevated one clears it).
Section "Make it my screen saver" SecCurrent
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$SYSDIR\${SCR_NAME}"
  WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"
  ; Tells the running desktop, which otherwise reads the setting only at the next logon.
  System::Call 'user32::SystemParametersInfo(i ${SPI_SETSCREENSAVEACTIVE}, i 1, p 0, i ${SPIF_UPDATE_AND_SEND})'
SectionEnd

; The one option, as a check box of the platform's own, which grows with the display's scale
; (the components page draws its boxes from a bitmap of a fixed size); it starts as
; ChooseCurrentDefault left the section.
Function OptionsPage
  !insertmacro MUI_HEADER_TEXT "Options" "Choose whether ${PRODUCT} becomes your screen saver."
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 24u "Tick the box to make ${PRODUCT} your screen saver now; leave it clear to keep the one you have. Either way it is listed in the screen-saver settings."
  Pop $0
  ${NSD_CreateCheckbox} 0 36u 100% 12u "&Make it my screen saver"
  Pop $CurrentBox
  ${IfThen} ${SectionIsSelected} ${SecCurrent} ${|} ${NSD_Check} $CurrentBox ${|}
  nsDialogs::Show
FunctionEnd

Function OptionsPageLeave
  ${NSD_GetState} $CurrentBox $0
  ${If} $0 = ${BST_CHECKED}
    !insertmacro SelectSection ${SecCurrent}
  ${Else}
    !insertmacro UnselectSection ${SecCurrent}
  ${EndIf}
FunctionEnd

; The user's part of the install: ends a running saver (the user's own programs are theirs to
; close), then has the administrator's part done, offering Retry while the file is in use.
Function InstallAsTheUser
  StrCpy $0 "/ELEVATED"
  ${IfThen} $Downgrade = 1 ${|} StrCpy $0 "$0 /DOWNGRADE" ${|}
  ${Do}
    Call CloseRunningSaver
    Call RunElevated
    ${If} $1 == ""
      MessageBox MB_ICONSTOP "${NO_RIGHTS_TEXT}" /SD IDOK
      StrCpy $1 ${EXIT_NOT_DONE}
    ${ElseIf} $1 = ${EXIT_NOT_DONE}
    ${AndIf} ${Cmd} `MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${IN_USE_TEXT}" /SD IDCANCEL IDRETRY`
      ${Continue}
    ${EndIf}
    ${ExitDo}
  ${Loop}
  ${If} $1 <> 0
    SetErrorLevel $1
    Abort
  ${EndIf}
FunctionEnd

; Refuses an older version over a newer one unless the user agrees or /DOWNGRADE says so.
Function CheckNotNewerInstalled
  ${IfThen} $InstalledVersion == "" ${|} Return ${|}
  ${VersionCompare} $InstalledVersion "${VERSION}" $0
  ${IfThen} $0 != 1 ${|} Return ${|}
  StrCpy $Downgrade 1
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
  StrCpy $0 $Parameters
  Call ReadElevated
  ReadRegStr $InstalledVersion HKLM "${UNINSTALL_KEY}" "DisplayVersion"
  Call CheckNotNewerInstalled
  ${If} $Elevated = 1
    SectionSetFlags ${SecCurrent} 0
  ${Else}
    Call ChooseCurrentDefault
  ${EndIf}
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
  ${GetParameters} $0
  Call un.ReadElevated
FunctionEnd

; The uninstaller's file cannot go while a copy of the uninstaller runs from it (an
; in-place run, _?=FOLDER, which holds it open): it and the folder are then removed at the
; next restart, which the rest does not need, so the exit code does not ask for one.
Function un.RemoveUninstaller
  SetOutPath "$SYSDIR"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  ${If} ${FileExists} "$INSTDIR\uninstall.exe"
    System::Call 'kernel32::MoveFileExW(w "$INSTDIR\uninstall.exe", p 0, i ${MOVEFILE_DELAY_UNTIL_REBOOT})'
    System::Call 'kernel32::MoveFileExW(w "$INSTDIR", p 0, i ${MOVEFILE_DELAY_UNTIL_REBOOT})'
  ${EndIf}
FunctionEnd

; The administrator's part: the saver's file (at the restart if it is in use), the entry
; under installed programs and the program folder.
Function un.RemoveFromTheMachine
  Delete /REBOOTOK "$SYSDIR\${SCR_NAME}"
  ${If} ${RebootFlag}
    SetErrorLevel ${EXIT_RESTART_NEEDED}
  ${EndIf}
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  Call un.RemoveUninstaller
FunctionEnd

; The user's part: this saver stops being their screen saver, and their settings go.
Function un.RemoveForTheUser
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  Call un.NamesThisSaver
  StrCmp $1 1 0 +2
    DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "Software\Tolvarin\ScreenSavers"
  DeleteRegKey /ifempty HKCU "Software\Tolvarin"
FunctionEnd

Section "Uninstall"
  ${If} $Elevated = 1
    Call un.RemoveFromTheMachine
    Return
  ${EndIf}
  Call un.CloseRunningSaver
  SetOutPath "$SYSDIR"
  StrCpy $0 "/ELEVATED _?=$INSTDIR"
  Call un.RunElevated
  ${If} $1 == ""
    MessageBox MB_ICONSTOP "${NO_RIGHTS_TEXT}" /SD IDOK
    StrCpy $1 ${EXIT_NOT_DONE}
  ${EndIf}
  ${If} $1 = ${EXIT_RESTART_NEEDED}
    DetailPrint "$SYSDIR\${SCR_NAME} is in use: it is removed when Windows restarts"
    SetRebootFlag true
  ${ElseIf} $1 <> 0
    SetErrorLevel $1
    Abort
  ${EndIf}
  SetErrorLevel $1
  Call un.RemoveForTheUser
SectionEnd
