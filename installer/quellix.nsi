; The per-user setup of Quellix Vorbanix, in French, without administrator rights: quellix.exe and
; its uninstaller in the user's programs folder (where config.ini beside it can be written), the
; Start menu shortcut, the vx links for the user at once, and the entry of "Programs and Features".
; Uninstalling keeps the settings unless the user asks, and leaves another program's vx handler.
; Built by CMake: makensis -INPUTCHARSET UTF8 -DTARGET=amd64-unicode|x86-unicode -DVERSION=x.y.z
;                 -DPROGRAM=<quellix.exe> -DOUTFILE=<quellix-setup.exe> quellix.nsi

Target ${TARGET}
SetCompressor /SOLID lzma
!include MUI2.nsh

!define NAME "Quellix Vorbanix"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${NAME}"
!define VX_KEY "Software\Classes\vx"

Name "${NAME}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
BrandingText "${NAME} ${VERSION}"
ShowInstDetails show
ShowUninstDetails show
InstallDir "$LOCALAPPDATA\Programs\${NAME}"
; An upgrade goes where the first install went.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1036 "ProductName" "${NAME}"
VIAddVersionKey /LANG=1036 "CompanyName" "Vorbanix"
VIAddVersionKey /LANG=1036 "LegalCopyright" "© Vorbanix"
VIAddVersionKey /LANG=1036 "FileDescription" "Installation de ${NAME}"
VIAddVersionKey /LANG=1036 "FileVersion" "${VERSION}"

!define MUI_ICON "../res/quellix.ico"
!define MUI_UNICON "../res/quellix.ico"
!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_WELCOME
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE CheckFolder
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_NOAUTOCLOSE
!define MUI_FINISHPAGE_RUN "$INSTDIR\quellix.exe"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "French"

; Before anything changes: the folder must be writable, and a running quellix.exe (which cannot
; be replaced or deleted) closed. Otherwise the user is told, and nothing is changed.
!macro CHECK_FOLDER UN
Function ${UN}CheckFolder
    SetDetailsPrint none
    ClearErrors
    CreateDirectory "$INSTDIR"
    FileOpen $0 "$INSTDIR\quellix-write-check.tmp" w
    IfErrors 0 writable
        MessageBox MB_OK|MB_ICONSTOP "Vous ne pouvez pas écrire dans le dossier « $INSTDIR ».$\r$\nRien n'a été modifié." /SD IDOK
        Abort
    writable:
    FileClose $0
    Delete "$INSTDIR\quellix-write-check.tmp"
    retry:
    ClearErrors
    IfFileExists "$INSTDIR\quellix.exe" 0 done
    FileOpen $0 "$INSTDIR\quellix.exe" a
    IfErrors 0 closed
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${NAME} est ouvert. Fermez-le, puis cliquez sur Réessayer ; Annuler arrête sans rien modifier." /SD IDCANCEL IDRETRY retry
        Abort
    closed:
    FileClose $0
    done:
    SetDetailsPrint both
FunctionEnd
!macroend
!insertmacro CHECK_FOLDER ""
!insertmacro CHECK_FOLDER "un."

Section
    ; The vx key where the 64-bit shell reads it, from the 32-bit setup too.
    SetRegView 64
    SetShellVarContext current
    Call CheckFolder
    SetOutPath "$INSTDIR"
    File "/oname=quellix.exe" "${PROGRAM}"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "$SMPROGRAMS\${NAME}.lnk" "$INSTDIR\quellix.exe"
    ; What the launcher writes at each start, so that links work before its first start.
    WriteRegStr HKCU "${VX_KEY}" "" "URL: vx Protocol"
    WriteRegStr HKCU "${VX_KEY}" "URL Protocol" ""
    WriteRegStr HKCU "${VX_KEY}\shell\open\command" "" '"$INSTDIR\quellix.exe" %1'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${NAME}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Vorbanix"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\quellix.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    SectionGetSize 0 $0
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; --- Under Wine: the desktop's handler of vx links ----------------------------------------------
; Each start of the launcher under Wine writes a script, a desktop entry and the default of vx links
; in mimeapps.list, in the Linux user's folders. They go only while the script still starts this
; install's quellix.exe in this prefix: another copy's or another program's stay. Paths on the Unix
; side are reached through Z:, Wine's drive of the Unix root.
!include StrFunc.nsh
${UnStrRep}
${UnStrStr}

; $0: an XDG folder's variable -> that folder through Z:, or $1 when the variable holds no
; absolute path.
Function un.ThroughZ
    StrCpy $2 $0 1
    StrCmp $2 "/" 0 fallback
        ${UnStrRep} $1 $0 "/" "\"
        StrCpy $1 "Z:$1"
    fallback:
    StrCpy $0 $1
FunctionEnd

Function un.ForgetDesktopHandler
    System::Call "ntdll::wine_get_version() p .r0"
    StrCmp $0 "error" done ; Windows: no such function, nothing of this was written
    ReadEnvStr $5 WINEHOMEDIR ; \??\Z:\home\joueur
    StrCpy $5 $5 "" 4
    ReadEnvStr $0 XDG_DATA_HOME
    StrCpy $1 "$5\.local\share"
    Call un.ThroughZ
    StrCpy $6 $0
    ReadEnvStr $0 XDG_CONFIG_HOME
    StrCpy $1 "$5\.config"
    Call un.ThroughZ
    StrCpy $7 $0
    ; The script names the prefix as a Unix path and this install's program, each shell-quoted.
    ReadEnvStr $0 WINECONFIGDIR ; \??\Z:\home\joueur\.wine
    StrCpy $0 $0 "" 6
    ${UnStrRep} $0 $0 "\" "/"
    ${UnStrRep} $0 $0 "'" "'\''"
    ${UnStrRep} $1 "$INSTDIR\quellix.exe" "'" "'\''"
    ; The script is UTF-8, and FileRead takes its bytes as the ANSI code page: so are these.
    System::Call "kernel32::WideCharToMultiByte(i 65001, i 0, w r0, i -1, m .r0, i ${NSIS_MAX_STRLEN}, p 0, p 0)"
    System::Call "kernel32::WideCharToMultiByte(i 65001, i 0, w r1, i -1, m .r1, i ${NSIS_MAX_STRLEN}, p 0, p 0)"
    StrCpy $2 ""
    ClearErrors
    FileOpen $3 "$6\quellix\vx-link.sh" r
    IfErrors done
    read:
        FileRead $3 $4
        StrCpy $2 "$2$4"
        IfErrors 0 read
    FileClose $3
    ${UnStrStr} $4 $2 "export WINEPREFIX='$0'$\n"
    StrCmp $4 "" done
    ${UnStrStr} $4 $2 " '$1' "
    StrCmp $4 "" done
    Delete "$6\quellix\vx-link.sh"
    RMDir "$6\quellix"
    Delete "$6\applications\quellix-vx.desktop"
    ; mimeapps.list without our default line, through a copy put in its place in one step.
    ClearErrors
    FileOpen $3 "$7\mimeapps.list" r
    IfErrors done
    FileOpen $4 "$7\mimeapps.list.quellix.tmp" w
    StrCpy $8 "" ; the section, while reading
    StrCpy $9 0  ; lines dropped
    copy:
        ClearErrors
        FileRead $3 $0
        IfErrors copied
        ${UnStrRep} $1 $0 "$\r" ""
        ${UnStrRep} $1 $1 "$\n" ""
        StrCpy $2 $1 1
        StrCmp $2 "[" 0 +2
            StrCpy $8 $1
        StrCmp "$8|$1" "[Default Applications]|x-scheme-handler/vx=quellix-vx.desktop" 0 +3
            IntOp $9 $9 + 1
            Goto copy
        FileWrite $4 $0
        Goto copy
    copied:
    FileClose $3
    FileClose $4
    IntCmp $9 0 0 +3 +3
        Delete "$7\mimeapps.list.quellix.tmp"
        Goto done
    StrCpy $1 "$7\mimeapps.list.quellix.tmp"
    StrCpy $2 "$7\mimeapps.list"
    System::Call "kernel32::MoveFileExW(w r1, w r2, i 1) i .r0" ; replacing it
    StrCmp $0 0 0 done
        Delete "$7\mimeapps.list.quellix.tmp"
    done:
FunctionEnd
; --- end of the desktop's handler ----------------------------------------------------------------

Section "Uninstall"
    SetRegView 64
    SetShellVarContext current
    Call un.CheckFolder
    ; The vx links are this install's only when their command names its quellix.exe (StrCmp
    ; ignores case); another program's handler stays.
    ReadRegStr $0 HKCU "${VX_KEY}\shell\open\command" ""
    StrLen $1 '"$INSTDIR\quellix.exe"'
    StrCpy $0 $0 $1
    StrCmp $0 '"$INSTDIR\quellix.exe"' 0 +2
        DeleteRegKey HKCU "${VX_KEY}"
    Call un.ForgetDesktopHandler
    Delete "$INSTDIR\quellix.exe"
    Delete "$INSTDIR\uninstall.exe"
    Delete "$SMPROGRAMS\${NAME}.lnk"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    IfFileExists "$INSTDIR\config.ini" 0 kept
        MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "Supprimer aussi vos réglages (les chemins des jeux et les options, dans config.ini) ?" /SD IDNO IDNO kept
        Delete "$INSTDIR\config.ini"
    kept:
    RMDir "$INSTDIR"
SectionEnd
