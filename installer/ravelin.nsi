; The Windows installer: copies the screensaver for the system's architecture into the Windows
; folder as ravelin.scr, makes it the current user's screensaver, and registers an uninstaller
; that takes all of it away again (the file, the selection when it is still ours, the user's
; settings and its own entry).
;   makensis -DX86_SCR=<ravelin-x86.scr> -DX64_SCR=<ravelin-x64.scr> -DOUTFILE=<setup.exe>
;            [-DTARGET=x86-unicode|amd64-unicode] ravelin.nsi   (scripts/build-windows.sh does it)
; The installer to ship is 32-bit (it runs on both); the 64-bit one exists because only 64-bit
; programs can be run where the tests run.
Unicode true
!ifdef TARGET
  Target ${TARGET}
!endif
!include "LogicLib.nsh"
!include "x64.nsh"

!define PRODUCT "Ravelin"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Ravelin"
!define SETTINGS_KEY "Software\BRIMLOW Studio\Ravelin"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\${PRODUCT}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
ShowInstDetails show

Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; The system folder that a program of the system's own architecture sees as System32.
!macro UseNativeSystemFolder
  ${If} ${RunningX64}
    ${DisableX64FSRedirection}
  ${EndIf}
!macroend

Section "Ravelin"
  !insertmacro UseNativeSystemFolder
  SetOutPath "$WINDIR\System32"
  ${If} ${RunningX64}
    File "/oname=ravelin.scr" "${X64_SCR}"
  ${Else}
    File "/oname=ravelin.scr" "${X86_SCR}"
  ${EndIf}
  WriteRegStr HKCU "Control Panel\Desktop" "SCRNSAVE.EXE" "$WINDIR\System32\ravelin.scr"
  WriteRegStr HKCU "Control Panel\Desktop" "ScreenSaveActive" "1"

  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} screensaver"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "BRIMLOW Studio"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  !insertmacro UseNativeSystemFolder
  ; Another screensaver chosen since is the user's choice: only our own selection is undone.
  ReadRegStr $0 HKCU "Control Panel\Desktop" "SCRNSAVE.EXE"
  ${If} $0 == "$WINDIR\System32\ravelin.scr"
    DeleteRegValue HKCU "Control Panel\Desktop" "SCRNSAVE.EXE"
  ${EndIf}
  Delete "$WINDIR\System32\ravelin.scr"
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "Software\BRIMLOW Studio"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
