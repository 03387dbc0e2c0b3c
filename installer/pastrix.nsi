; The Windows setup program. Pastrix writes its settings ("config.cfg") and its workspaces into
; its own directory, which a standard user may not do under Program Files; so it installs for
; the current user only, into that user's own programs folder, without administrator rights.
;
; installer/CMakeLists.txt defines VERSION, VERSION_QUAD, PRODUCT, HOMEPAGE, RUN_KEY,
; START_ARGUMENTS, STAGE (the program directory to ship), OUTFILE and HAVE_PROGRAM (1 when the
; build has pastrix.exe).
;
; Command line of the setup program (besides NSIS's own /S for silent and /D=DIR, last):
;   /AUTOSTART     select "Start Pastrix when I log on"
;   /NOAUTOSTART   leave it out (the default, unless an earlier installation has it)
; Command line of Uninstall.exe (besides /S):
;   /DELETEDATA    delete the settings and the workspaces too, without asking; otherwise the
;                  uninstaller asks, and a silent uninstallation keeps them

Unicode true
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include Sections.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
; The class of the running program's tooltip window, by which it also refuses a second start.
!define WINDOW_CLASS "PASTRIX_WINDOW_CLASS_NAME"
!define PROGRAM_COMMAND '"$INSTDIR\pastrix.exe" ${START_ARGUMENTS}'

Name "${PRODUCT}"
Caption "${PRODUCT} ${VERSION} Setup"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails show
ShowUninstDetails show

Var FreshConfig      ; 1 when this run put the shipped "config.cfg" in place
Var HadAutostart     ; 1 when the start-at-logon entry was there before this run
Var DeleteData       ; uninstaller: 1 to delete the settings and workspaces too

; The program's own icon, rendered at build time, for the setup program and the uninstaller.
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_COMPONENTS
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE checkInstallDirOnLeave
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!if ${HAVE_PROGRAM} == 1
    !define MUI_FINISHPAGE_RUN "$INSTDIR\pastrix.exe"
    !define MUI_FINISHPAGE_RUN_TEXT "Start ${PRODUCT} now"
!endif
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\manual.html"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Show the manual"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${VERSION_QUAD}"
VIFileVersion "${VERSION_QUAD}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "${PRODUCT}"

; Asks the user to end a running Pastrix: its files cannot be replaced or deleted while it runs.
; Aborts when the user cancels (and always in silent mode, where nobody can end it).
!macro DEFINE_END_RUNNING_PROGRAM prefix
Function ${prefix}endRunningProgram
    check:
    FindWindow $0 "${WINDOW_CLASS}"
    ${If} $0 == 0
        Return
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
        "${PRODUCT} is running. Please end it with the Shutdown button of its window (open it from its icon in the notification area), then choose Retry." \
        /SD IDCANCEL IDRETRY check
    DetailPrint "${PRODUCT} is still running; nothing was changed."
    SetErrorLevel 3
    Abort
FunctionEnd
!macroend
!insertmacro DEFINE_END_RUNNING_PROGRAM ""
!insertmacro DEFINE_END_RUNNING_PROGRAM "un."

; Whether $INSTDIR may take Pastrix: a new or empty directory, or one that already holds it.
; The uninstaller removes every directory in it as a workspace when asked to delete the data,
; so a directory holding anything else is refused. Leaves 1 or 0 on the stack.
Function isUsableInstallDir
    ${If} ${FileExists} "$INSTDIR\config.cfg"
    ${OrIf} ${FileExists} "$INSTDIR\Uninstall.exe"
    ${OrIf} ${FileExists} "$INSTDIR\pastrix.exe"
        Push 1
        Return
    ${EndIf}
    ClearErrors
    FindFirst $0 $1 "$INSTDIR\*"
    ${DoUntil} ${Errors}
        ${If} $1 != "."
        ${AndIf} $1 != ".."
            FindClose $0
            Push 0
            Return
        ${EndIf}
        FindNext $0 $1
    ${Loop}
    FindClose $0
    Push 1
FunctionEnd

Function .onVerifyInstDir
    Call isUsableInstallDir
    Pop $0
    ${If} $0 != 1
        Abort
    ${EndIf}
FunctionEnd

Function checkInstallDirOnLeave
    Call isUsableInstallDir
    Pop $0
    ${If} $0 != 1
        MessageBox MB_OK|MB_ICONEXCLAMATION \
            "$INSTDIR holds other files. ${PRODUCT} keeps its settings and workspaces in its own directory: please choose a new or empty one." \
            /SD IDOK
        Abort
    ${EndIf}
FunctionEnd

Section "${PRODUCT}" SecProgram
    SectionIn RO
    Call endRunningProgram
    ; /D= in silent mode passes no directory page.
    Call isUsableInstallDir
    Pop $0
    ${If} $0 != 1
        MessageBox MB_OK|MB_ICONSTOP \
            "$INSTDIR holds other files. ${PRODUCT} keeps its settings and workspaces in its own directory: please choose a new or empty one." \
            /SD IDOK
        DetailPrint "Not installed: $INSTDIR holds other files."
        SetErrorLevel 4
        Abort
    ${EndIf}

    SetOutPath "$INSTDIR"
    ; Programs that had the hooks keep the hook library loaded after Pastrix ends: such a file
    ; cannot be replaced, but it can be renamed out of the way.
    Delete "$INSTDIR\clipboard.dll.old"
    Delete "$INSTDIR\clipboard.dll"
    ${If} ${FileExists} "$INSTDIR\clipboard.dll"
        Rename "$INSTDIR\clipboard.dll" "$INSTDIR\clipboard.dll.old"
    ${EndIf}
    File "${STAGE}/clipboard.dll"
!if ${HAVE_PROGRAM} == 1
    File "${STAGE}/pastrix.exe"
!endif
    File "${STAGE}/pastrixctl.exe"
    File "${STAGE}/manual.html"

    ; The settings and the workspaces are the user's: an upgrade never touches them. The
    ; starter workspace comes with the shipped settings, which name it; once the user has
    ; settings, a missing "Default" is one the user deleted.
    ${IfNot} ${FileExists} "$INSTDIR\config.cfg"
        File "${STAGE}/config.cfg"
        StrCpy $FreshConfig 1
        ${IfNot} ${FileExists} "$INSTDIR\Default\*.*"
            CreateDirectory "$INSTDIR\Default"
        ${EndIf}
    ${Else}
        DetailPrint "Kept your settings and workspaces in $INSTDIR."
    ${EndIf}

    WriteUninstaller "$INSTDIR\Uninstall.exe"
    CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\pastrix.exe" "" \
        "$INSTDIR\pastrix.exe" 0 SW_SHOWNORMAL "" "Clipboard slots and Cool Keys"

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PRODUCT}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "URLInfoAbout" "${HOMEPAGE}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\pastrix.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    SectionGetSize ${SecProgram} $0
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section /o "Start ${PRODUCT} when I log on" SecAutostart
    WriteRegStr HKCU "${RUN_KEY}" "${PRODUCT}" '${PROGRAM_COMMAND}'
    ; The System page shows the stored setting, not the registry: settings this run installed
    ; say so too. The user's own settings stay as they are.
    ${If} $FreshConfig == 1
        nsExec::ExecToLog '"$INSTDIR\pastrixctl.exe" config set "$INSTDIR\config.cfg" SYSTEM_StartAutomatically true'
        Pop $0
        ${If} $0 != 0
            DetailPrint "Could not mark start at logon in config.cfg ($0); the System page shows it unchecked."
        ${EndIf}
    ${EndIf}
SectionEnd

; Clearing the box on an upgrade takes back the entry the user had.
Section "-autostart cleared"
    ${IfNot} ${SectionIsSelected} ${SecAutostart}
    ${AndIf} $HadAutostart == 1
        DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
    ${EndIf}
SectionEnd

Function .onInit
    StrCpy $FreshConfig 0
    StrCpy $HadAutostart 0
    ; An upgrade offers what the user has: the entry written earlier, here or on the System page.
    ReadRegStr $0 HKCU "${RUN_KEY}" "${PRODUCT}"
    ${If} $0 != ""
        StrCpy $HadAutostart 1
        !insertmacro SelectSection ${SecAutostart}
    ${EndIf}
    ${GetParameters} $1
    ClearErrors
    ${GetOptions} $1 "/AUTOSTART" $2
    ${IfNot} ${Errors}
        !insertmacro SelectSection ${SecAutostart}
    ${EndIf}
    ClearErrors
    ${GetOptions} $1 "/NOAUTOSTART" $2
    ${IfNot} ${Errors}
        !insertmacro UnselectSection ${SecAutostart}
    ${EndIf}
FunctionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
    !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} \
        "${PRODUCT}, its hook library, the command-line companion pastrixctl and the manual. Your settings and workspaces are kept."
    !insertmacro MUI_DESCRIPTION_TEXT ${SecAutostart} \
        "Start ${PRODUCT} in the notification area each time you log on to Windows."
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Function un.onInit
    StrCpy $DeleteData 0
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/DELETEDATA" $1
    ${IfNot} ${Errors}
        StrCpy $DeleteData 1
    ${EndIf}
FunctionEnd

Section "Uninstall"
    Call un.endRunningProgram

    Delete "$INSTDIR\pastrix.exe"
    Delete "$INSTDIR\pastrixctl.exe"
    Delete "$INSTDIR\manual.html"
    Delete "$INSTDIR\clipboard.dll.old"
    Delete "$INSTDIR\clipboard.dll"
    ${If} ${FileExists} "$INSTDIR\clipboard.dll"
        DetailPrint "clipboard.dll is still in use by another program; delete it after the next logon."
    ${EndIf}
    Delete "$INSTDIR\Uninstall.exe"
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
    DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"

    ${If} $DeleteData != 1
        MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
            "Delete your ${PRODUCT} settings and all your workspaces (slots and Cool Keys) in $INSTDIR too?$\n$\nChoose No to keep them for a later installation." \
            /SD IDNO IDNO keepData
        StrCpy $DeleteData 1
    keepData:
    ${EndIf}

    ${If} $DeleteData == 1
        Delete "$INSTDIR\config.cfg"
        ; Every directory in the program directory is a workspace.
        ClearErrors
        FindFirst $0 $1 "$INSTDIR\*"
        ${DoUntil} ${Errors}
            ${If} $1 != "."
            ${AndIf} $1 != ".."
            ${AndIf} ${FileExists} "$INSTDIR\$1\*.*"
                RMDir /r "$INSTDIR\$1"
            ${EndIf}
            FindNext $0 $1
        ${Loop}
        FindClose $0
    ${Else}
        DetailPrint "Kept your settings and workspaces in $INSTDIR."
    ${EndIf}
    ; Only when nothing is left in it.
    RMDir "$INSTDIR"
SectionEnd
