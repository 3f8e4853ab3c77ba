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
