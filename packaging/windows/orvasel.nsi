; Installer of Orvasel for 64-bit Windows, built by scripts/package-windows.sh, which passes:
;   VERSION    the program's version, "1.0.0"
;   STAGE      the folder of the program as it is zipped (orvasel.exe, the DLLs, the plugins...)
;   FILES      an include file with the installing lines of every file of STAGE but Orvasel.you
;   UNFILES    an include file with the matching removing lines
;   SIZE_KB    the installed size, shown in Add/Remove Programs
;   OUTFILE    the installer to write
; It installs for every user of the machine into Program Files, where a normal user cannot write:
; the program then keeps its settings in the user's own folder (%LOCALAPPDATA%\Orvasel), and the
; Orvasel.you installed beside it is only the starting point of every user's settings.

Unicode true
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!include MUI2.nsh
!include LogicLib.nsh

!define PRODUCT "Orvasel"
!define PUBLISHER "Orvasel"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Orvasel"
!define UNINSTALLER "uninstall.exe"
!define SETTINGS "Orvasel.you"

Name "${PRODUCT}"
; NSIS's French texts write "de Orvasel": every one this installer shows is given with the elision.
Caption "Installation d'${PRODUCT}"
UninstallCaption "Désinstallation d'${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1036 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1036 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1036 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1036 "FileDescription" "Installation d'${PRODUCT} ${VERSION}"
VIAddVersionKey /LANG=1036 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1036 "LegalCopyright" "${PUBLISHER}"

!define MUI_ICON "${STAGE}/orvasel.ico"
!define MUI_UNICON "${STAGE}/orvasel.ico"
!define MUI_ABORTWARNING
!define MUI_ABORTWARNING_TEXT "Êtes-vous sûr de vouloir quitter l'installation d'${PRODUCT} ?"

!define MUI_WELCOMEPAGE_TITLE "Bienvenue dans le programme d'installation d'${PRODUCT}"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!define MUI_PAGE_HEADER_SUBTEXT "Veuillez patienter pendant l'installation d'${PRODUCT}."
!insertmacro MUI_PAGE_INSTFILES
; No "start Orvasel now" box: started from here the program would run with the installer's
; administrator rights and keep its settings beside itself instead of in the user's folder.
!define MUI_FINISHPAGE_TITLE "Fin de l'installation d'${PRODUCT}"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!define MUI_PAGE_HEADER_SUBTEXT "Veuillez patienter pendant la désinstallation d'${PRODUCT}."
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "French"

; A running program holds its files: replacing or removing them would half fail.
!macro WaitUntilClosed
  ${DoWhile} ${FileExists} "$INSTDIR\orvasel.exe"
    ClearErrors
    FileOpen $0 "$INSTDIR\orvasel.exe" a
    ${IfNot} ${Errors}
      FileClose $0
      ${Break}
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
      "${PRODUCT} est ouvert. Fermez-le, puis cliquez sur Réessayer." /SD IDCANCEL IDRETRY +2
    Abort "${PRODUCT} est ouvert : rien n'a été modifié."
  ${Loop}
!macroend

Function .onInit
  SetShellVarContext all
FunctionEnd

Section "Orvasel" Main
  SectionIn RO
  !insertmacro WaitUntilClosed

  ; An earlier version is removed first, by its own uninstaller (run in place and waited for), so
  ; that no file it had and this one has not stays behind. It keeps settings a user changed.
  ${If} ${FileExists} "$INSTDIR\${UNINSTALLER}"
    DetailPrint "Désinstallation de la version précédente..."
    ExecWait '"$INSTDIR\${UNINSTALLER}" /S _?=$INSTDIR'
    Delete "$INSTDIR\${UNINSTALLER}"
  ${EndIf}

  !include "${FILES}"

  ; Settings already there are the user's: a reinstall or an upgrade keeps them.
  SetOutPath "$INSTDIR"
  SetOverwrite off
  File "${STAGE}/${SETTINGS}"
  SetOverwrite on

  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\orvasel.exe" "" "$INSTDIR\orvasel.ico" 0 \
    SW_SHOWNORMAL "" "Notes et exports audio de vos projets Cubase"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\orvasel.ico"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Function un.onInit
  SetShellVarContext all
FunctionEnd

; $R0 is "1" when the two files hold the same bytes.
Function un.SameBytes
  Exch $R2  ; second file
  Exch
  Exch $R1  ; first file
  Push $R3
  Push $R4
  Push $R5
  Push $R6
  StrCpy $R0 0
  ClearErrors
  FileOpen $R3 $R1 r
  ${If} ${Errors}
    Goto done
  ${EndIf}
  FileOpen $R4 $R2 r
  ${If} ${Errors}
    FileClose $R3
    Goto done
  ${EndIf}
  FileSeek $R3 0 END $R5
  FileSeek $R4 0 END $R6
  ${If} $R5 = $R6
    FileSeek $R3 0 SET
    FileSeek $R4 0 SET
    StrCpy $R0 1
    ${DoUntil} $R5 = 0
      FileReadByte $R3 $R1
      FileReadByte $R4 $R2
      ${If} $R1 != $R2
        StrCpy $R0 0
        ${Break}
      ${EndIf}
      IntOp $R5 $R5 - 1
    ${Loop}
  ${EndIf}
  FileClose $R4
  FileClose $R3
done:
  Pop $R6
  Pop $R5
  Pop $R4
  Pop $R3
  Pop $R1
  Pop $R2
FunctionEnd

Section "Uninstall"
  !insertmacro WaitUntilClosed

  !include "${UNFILES}"

  ; The settings beside the program go with it while they are still the ones installed. A user
  ; who ran Orvasel with the right to write there keeps their bookmarks and paths: the file stays,
  ; and so does the folder that holds it. Each user's own settings folder is never touched.
  InitPluginsDir
  File "/oname=$PLUGINSDIR\${SETTINGS}" "${STAGE}/${SETTINGS}"
  Push "$INSTDIR\${SETTINGS}"
  Push "$PLUGINSDIR\${SETTINGS}"
  Call un.SameBytes
  ${If} $R0 == 1
    Delete "$INSTDIR\${SETTINGS}"
  ${ElseIf} ${FileExists} "$INSTDIR\${SETTINGS}"
    DetailPrint "Vos réglages sont conservés : $INSTDIR\${SETTINGS}"
  ${EndIf}

  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR"
SectionEnd
