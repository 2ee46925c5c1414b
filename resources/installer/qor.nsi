; The per-user installer of Qor: %LOCALAPPDATA%\Programs\Qor, no administrator, an entry in
; "Installed apps", a Start menu shortcut and, by choice, the start-up entry. The build passes:
;   VERSION          the program's version (1.2.3)
;   STAGE            the folder with Qor.exe, the factory files and Skins\ as a user gets them
;   RESOURCES        the resources folder (the icon)
;   SKINS_UNINSTALL  a generated script that deletes the factory skins' files and folders
;   OUTFILE          the installer to write
; /S installs or uninstalls silently.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include Sections.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Qor"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define APPROVED_KEY "Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\Run"

Name "Qor"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Qor"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Qor ${VERSION}"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "Qor"
VIAddVersionKey /LANG=1033 "CompanyName" "Qor"
VIAddVersionKey /LANG=1033 "FileDescription" "Qor Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Qor"

!define MUI_ICON "${RESOURCES}/qor.ico"
!define MUI_UNICON "${RESOURCES}/qor.ico"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\Qor.exe"
!define MUI_FINISHPAGE_RUN_TEXT "$(StartNowText)"
!define MUI_PAGE_CUSTOMFUNCTION_SHOW FinishShow
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "SimpChinese"
!insertmacro MUI_LANGUAGE "TradChinese"

LangString ProgramText ${LANG_ENGLISH} "Qor (required)"
LangString ProgramText ${LANG_SIMPCHINESE} "Qor（必需）"
LangString ProgramText ${LANG_TRADCHINESE} "Qor（必要）"
LangString StartupText ${LANG_ENGLISH} "Start Qor with Windows"
LangString StartupText ${LANG_SIMPCHINESE} "开机时启动 Qor"
LangString StartupText ${LANG_TRADCHINESE} "開機時啟動 Qor"
LangString StartNowText ${LANG_ENGLISH} "Start Qor now"
LangString StartNowText ${LANG_SIMPCHINESE} "立即启动 Qor"
LangString StartNowText ${LANG_TRADCHINESE} "立即啟動 Qor"
LangString RemoveSettingsText ${LANG_ENGLISH} "Also remove my settings"
LangString RemoveSettingsText ${LANG_SIMPCHINESE} "同时删除我的设置"
LangString RemoveSettingsText ${LANG_TRADCHINESE} "同時刪除我的設定"
LangString StillRunningText ${LANG_ENGLISH} "Qor is still running. Choose Exit in its tray icon's menu, then Retry."
LangString StillRunningText ${LANG_SIMPCHINESE} "Qor 仍在运行。请在其托盘图标的菜单中选择“退出”，然后重试。"
LangString StillRunningText ${LANG_TRADCHINESE} "Qor 仍在執行。請在其系統匣圖示的選單中選擇「結束」，然後重試。"

Var WasRunning

; Asks a running Qor to end as its tray menu's Exit does, and waits for its process to end.
; $WasRunning tells whether one ran. Gives up (and ends this installer or uninstaller with
; status 2) when the user cancels, or at once when silent.
!macro CLOSE_QOR un
Function ${un}CloseQor
    StrCpy $WasRunning 0
    retry:
    FindWindow $0 "QorClass"
    ${If} $0 == 0
        Return
    ${EndIf}
    StrCpy $WasRunning 1
    System::Call 'user32::GetWindowThreadProcessId(p r0, *i .r3) i'
    System::Call 'kernel32::OpenProcess(i 0x00100000, i 0, i r3) p .r4'
    System::Call 'user32::RegisterWindowMessageW(w "QorExitRequest") i .r1'
    SendMessage $0 $1 0 0 /TIMEOUT=5000
    StrCpy $5 0
    ${If} $4 P<> 0
        System::Call 'kernel32::WaitForSingleObject(p r4, i 15000) i .r5'
        System::Call 'kernel32::CloseHandle(p r4)'
    ${EndIf}
    ${If} $5 == 0
        ; Ended, or a process this user may not wait for (an elevated Qor): then its window
        ; going away, and a moment for the process to let go of its files, tell instead.
        StrCpy $6 0
        ${Do}
            FindWindow $0 "QorClass"
            ${If} $0 == 0
                ${If} $4 P= 0
                    Sleep 1000
                ${EndIf}
                Return
            ${EndIf}
            Sleep 100
            IntOp $6 $6 + 1
        ${LoopUntil} $6 >= 100
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(StillRunningText)" /SD IDCANCEL IDRETRY retry
    SetErrorLevel 2
    Quit
FunctionEnd
!macroend
!insertmacro CLOSE_QOR ""
!insertmacro CLOSE_QOR "un."

Section "$(ProgramText)" SecProgram
    SectionIn RO
    Call CloseQor
    SetOutPath "$INSTDIR"
    File "${STAGE}/Qor.exe"
    ; The user's settings stay as they are; the factory files only where there are none yet.
    SetOverwrite off
    File "${STAGE}/config.bin"
    File "${STAGE}/record.ini"
    File "${STAGE}/str.ini"
    SetOverwrite on
    SetOutPath "$INSTDIR\Skins"
    File /r "${STAGE}/Skins/*"
    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\Uninstall.exe"
    CreateShortCut "$SMPROGRAMS\Qor.lnk" "$INSTDIR\Qor.exe"

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Qor"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Qor"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Qor.exe,0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    IntFmt $0 "0x%08X" $0
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

Section "$(StartupText)" SecStartup
    ; The user's own "disabled" mark in Task Manager, if any, is left as the user set it.
    WriteRegStr HKCU "${RUN_KEY}" "Qor" '"$INSTDIR\Qor.exe"'
SectionEnd

Section "-Restart"
    ${IfNot} ${SectionIsSelected} ${SecStartup}
        DeleteRegValue HKCU "${RUN_KEY}" "Qor"
    ${EndIf}
    ${If} $WasRunning == 1
        Exec '"$INSTDIR\Qor.exe"'
    ${EndIf}
SectionEnd

Function .onInit
    ; An upgrade keeps the start-up choice the user made since; a first install starts with
    ; Windows unless the box is cleared.
    ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 != ""
        ClearErrors
        ReadRegStr $1 HKCU "${RUN_KEY}" "Qor"
        ${If} ${Errors}
            !insertmacro UnselectSection ${SecStartup}
        ${EndIf}
    ${EndIf}
FunctionEnd

Function FinishShow
    ; A Qor that ran before the upgrade runs again already.
    ${If} $WasRunning == 1
        ShowWindow $mui.FinishPage.Run 0
    ${EndIf}
FunctionEnd

Section "-un.Program"
    Call un.CloseQor
    Delete "$INSTDIR\Qor.exe"
    Delete "$INSTDIR\Uninstall.exe"
    !include "${SKINS_UNINSTALL}"
    Delete "$SMPROGRAMS\Qor.lnk"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    DeleteRegValue HKCU "${RUN_KEY}" "Qor"
    DeleteRegValue HKCU "${APPROVED_KEY}" "Qor"
SectionEnd

Section /o "un.Settings" UnSecSettings
    ; Never in silent mode: a deployment's uninstall keeps what the user set.
    ${IfNot} ${Silent}
        Delete "$INSTDIR\config.bin"
        Delete "$INSTDIR\record.ini"
        Delete "$INSTDIR\str.ini"
        RMDir /r "$INSTDIR\Profiles"
    ${EndIf}
SectionEnd

Section "-un.Folder"
    ; Only when nothing of the user's is left in it.
    RMDir "$INSTDIR"
SectionEnd

Function un.onInit
    SectionSetText ${UnSecSettings} "$(RemoveSettingsText)"
FunctionEnd
