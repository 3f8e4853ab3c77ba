; The per-user setup of Quellix Vorbanix, in French, without administrator rights: quellix.exe and
; its uninstaller in the user's programs folder (where config.ini beside it can be written), the
; Start menu shortcut, the vx links for the user at once, and the entry of "Programs and Features".
; Uninstalling keeps the settings unless the user asks (or /REGLAGES does), and leaves another
; program's vx handler and config.ini.
; Built by CMake: makensis -INPUTCHARSET UTF8 -DTARGET=amd64-unicode|x86-unicode -DVERSION=x.y.z
;                 -DPROGRAM=<quellix.exe> -DOUTFILE=<quellix-setup.exe> quellix.nsi

Target ${TARGET}
SetCompressor /SOLID lzma
!include MUI2.nsh
!include FileFunc.nsh

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

; Under Wine: the desktop's handler of vx links.
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

; A vx handler is this install's only when its command names its quellix.exe (StrCmp ignores
; case); another program's stays, and so does one that this user may not remove.
!macro REMOVE_OUR_VX ROOT KEY
    ReadRegStr $0 ${ROOT} "${KEY}\shell\open\command" ""
    StrCpy $0 $0 $1
    StrCmp $0 '"$INSTDIR\quellix.exe"' 0 +2
        DeleteRegKey ${ROOT} "${KEY}"
!macroend

; Each place the launcher writes its vx command at every start: the classes root (which is the
; user's or the machine's Software\Classes) and the machine's Software\vx, in both views, so
; that the 32-bit uninstaller also reaches what the shell's view holds.
!macro REMOVE_OUR_VX_IN VIEW
    SetRegView ${VIEW}
    !insertmacro REMOVE_OUR_VX HKCU "${VX_KEY}"
    !insertmacro REMOVE_OUR_VX HKLM "${VX_KEY}"
    !insertmacro REMOVE_OUR_VX HKLM "Software\vx"
!macroend

; Whether config.ini holds a setting of the launcher, in $2 (1 or 0).
!macro INI_HOLDS SECTION KEY
    ClearErrors
    ReadINIStr $0 "$INSTDIR\config.ini" "${SECTION}" "${KEY}"
    IfErrors +2
        StrCpy $2 1
!macroend

; config.ini is the launcher's when it has its General options and a game's path (the game
; sections of the launcher's catalogue); another program's file of that name is never deleted.
Function un.IsOurConfig
    StrCpy $2 0
    !insertmacro INI_HOLDS "General" "sansvalidation"
    !insertmacro INI_HOLDS "General" "acceleration"
    StrCmp $2 1 0 done
    StrCpy $2 0
    !insertmacro INI_HOLDS "dod" "Path"
    !insertmacro INI_HOLDS "shl" "Path"
    !insertmacro INI_HOLDS "scs" "Path"
    !insertmacro INI_HOLDS "stfc" "Path"
    !insertmacro INI_HOLDS "ja" "Path"
    !insertmacro INI_HOLDS "jo" "Path"
    !insertmacro INI_HOLDS "q3" "Path"
    !insertmacro INI_HOLDS "UT2003" "Path"
    !insertmacro INI_HOLDS "mohaa" "Path"
    !insertmacro INI_HOLDS "ut2k4" "Path"
    !insertmacro INI_HOLDS "ef2" "Path"
    !insertmacro INI_HOLDS "bf" "Path"
    !insertmacro INI_HOLDS "cod" "Path"
    done:
FunctionEnd

Section "Uninstall"
    SetShellVarContext current
    Call un.CheckFolder
    StrLen $1 '"$INSTDIR\quellix.exe"'
    !insertmacro REMOVE_OUR_VX_IN 32
    !insertmacro REMOVE_OUR_VX_IN 64
    Call un.ForgetDesktopHandler
    Delete "$INSTDIR\quellix.exe"
    Delete "$INSTDIR\uninstall.exe"
    Delete "$SMPROGRAMS\${NAME}.lnk"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    IfFileExists "$INSTDIR\config.ini" 0 kept
    Call un.IsOurConfig
    StrCmp $2 1 0 kept
    ; /REGLAGES answers Oui beforehand, for an uninstall without questions (/S answers Non).
    ${GetOptions} $CMDLINE "/REGLAGES" $0
    IfErrors 0 remove
        MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "Supprimer aussi vos réglages (les chemins des jeux et les options, dans config.ini) ?" /SD IDNO IDNO kept
    remove:
    Delete "$INSTDIR\config.ini"
    kept:
    RMDir "$INSTDIR"
SectionEnd
