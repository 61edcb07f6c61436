; The Windows installer, built by tools/package_installer.sh with makensis:
;   makensis -DVERSION=1.1.0 -DFILES=<staged files> -DOUTFILE=<setup.exe> hallmere.nsi
; FILES holds Hallmere.vst3 (the bundle with both Windows modules), x64\ and x86\ (each
; with Hallmere.dll and Hallmere.clap) and LICENSE.txt.
;
; The installer is a 64-bit program (64-bit Windows only) and puts each format where hosts
; look for it: the VST 3 bundle into Common Files\VST3 and the CLAP file into Common Files\CLAP
; of each word size, the VST 2.x DLLs into folders the user picks. The uninstaller and the
; licence go to Program Files\Hallmere, and the Uninstall key records the chosen folders so
; the uninstaller removes exactly what was installed.
;
; For administrators: setup.exe /S installs everything silently; /D=FOLDER (last on the
; line) sets the 64-bit VST 2.x folder and /VST2X86=FOLDER the 32-bit one.
; Uninstall.exe /S removes it silently.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Hallmere"
!define PUBLISHER "Tovik"

Name "Hallmere ${VERSION}"
OutFile "${OUTFILE}"
BrandingText "Hallmere ${VERSION} by ${PUBLISHER}"
; The 64-bit VST 2.x folder is $INSTDIR, so /D= sets it; an earlier install's choice is kept.
InstallDir "$PROGRAMFILES64\VSTPlugins"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "VST2Folder64"

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "Hallmere"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "Hallmere ${VERSION} setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (c) 2026 ${PUBLISHER}, MIT licence"

Var vst2Folder32
Var programFolder

!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_SMALLDESC
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${FILES}\LICENSE.txt"
!insertmacro MUI_PAGE_COMPONENTS

!define MUI_PAGE_CUSTOMFUNCTION_PRE skipVst2Folder64
!define MUI_DIRECTORYPAGE_TEXT_TOP "Setup installs the 64-bit VST 2.x plug-in Hallmere.dll into this folder. Pick the folder your 64-bit host scans for VST 2 plug-ins."
!define MUI_DIRECTORYPAGE_TEXT_DESTINATION "64-bit VST 2.x plug-in folder"
!insertmacro MUI_PAGE_DIRECTORY

!define MUI_PAGE_CUSTOMFUNCTION_PRE skipVst2Folder32
!define MUI_DIRECTORYPAGE_VARIABLE $vst2Folder32
!define MUI_DIRECTORYPAGE_TEXT_TOP "Setup installs the 32-bit VST 2.x plug-in Hallmere.dll into this folder. Pick the folder your 32-bit host scans for VST 2 plug-ins."
!define MUI_DIRECTORYPAGE_TEXT_DESTINATION "32-bit VST 2.x plug-in folder"
!insertmacro MUI_PAGE_DIRECTORY

!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

SectionGroup /e "64-bit hosts" groupX64
  Section "VST 3 (64-bit)" vst3X64
    SetOutPath "$COMMONFILES64\VST3"
    File /r "${FILES}\Hallmere.vst3"
  SectionEnd
  Section "CLAP (64-bit)" clapX64
    SetOutPath "$COMMONFILES64\CLAP"
    File "${FILES}\x64\Hallmere.clap"
  SectionEnd
  Section "VST 2.x (64-bit)" vst2X64
    SetOutPath "$INSTDIR"
    File "${FILES}\x64\Hallmere.dll"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "VST2Folder64" "$INSTDIR"
  SectionEnd
SectionGroupEnd

SectionGroup /e "32-bit hosts" groupX86
  Section "VST 3 (32-bit)" vst3X86
    SetOutPath "$COMMONFILES32\VST3"
    File /r "${FILES}\Hallmere.vst3"
  SectionEnd
  Section "CLAP (32-bit)" clapX86
    SetOutPath "$COMMONFILES32\CLAP"
    File "${FILES}\x86\Hallmere.clap"
  SectionEnd
  Section "VST 2.x (32-bit)" vst2X86
    SetOutPath "$vst2Folder32"
    File "${FILES}\x86\Hallmere.dll"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "VST2Folder32" "$vst2Folder32"
  SectionEnd
SectionGroupEnd

; Always: the licence, the uninstaller and its entry in Windows' list of programs.
Section "-Uninstaller"
  SetOutPath "$programFolder"
  File "${FILES}\LICENSE.txt"
  WriteUninstaller "$programFolder\Uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Hallmere ${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$programFolder"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$programFolder\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$programFolder\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ; An unselected VST 2.x plug-in leaves no folder for the uninstaller to look in.
  ${IfNot} ${SectionIsSelected} ${vst2X64}
    DeleteRegValue HKLM "${UNINSTALL_KEY}" "VST2Folder64"
  ${EndIf}
  ${IfNot} ${SectionIsSelected} ${vst2X86}
    DeleteRegValue HKLM "${UNINSTALL_KEY}" "VST2Folder32"
  ${EndIf}
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${groupX64} "For 64-bit hosts (most hosts today)."
  !insertmacro MUI_DESCRIPTION_TEXT ${groupX86} "For 32-bit hosts."
  !insertmacro MUI_DESCRIPTION_TEXT ${vst3X64} "Hallmere.vst3 in Common Files\VST3, where every VST 3 host looks."
  !insertmacro MUI_DESCRIPTION_TEXT ${clapX64} "Hallmere.clap in Common Files\CLAP, where every CLAP host looks."
  !insertmacro MUI_DESCRIPTION_TEXT ${vst2X64} "Hallmere.dll in a folder of your choice, for hosts without VST 3 or CLAP."
  !insertmacro MUI_DESCRIPTION_TEXT ${vst3X86} "Hallmere.vst3 in Common Files (x86)\VST3."
  !insertmacro MUI_DESCRIPTION_TEXT ${clapX86} "Hallmere.clap in Common Files (x86)\CLAP."
  !insertmacro MUI_DESCRIPTION_TEXT ${vst2X86} "The 32-bit Hallmere.dll in a folder of your choice."
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Function .onInit
  SetRegView 64
  StrCpy $programFolder "$PROGRAMFILES64\Hallmere"
  ReadRegStr $vst2Folder32 HKLM "${UNINSTALL_KEY}" "VST2Folder32"
  ${If} $vst2Folder32 == ""
    StrCpy $vst2Folder32 "$PROGRAMFILES32\VSTPlugins"
  ${EndIf}
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/VST2X86=" $1
  ${IfNot} ${Errors}
  ${AndIf} $1 != ""
    StrCpy $vst2Folder32 $1
  ${EndIf}
FunctionEnd

Function skipVst2Folder64
  ${IfNot} ${SectionIsSelected} ${vst2X64}
    Abort
  ${EndIf}
FunctionEnd

Function skipVst2Folder32
  ${IfNot} ${SectionIsSelected} ${vst2X86}
    Abort
  ${EndIf}
FunctionEnd

Function un.onInit
  SetRegView 64
FunctionEnd

; Only what the installer put there goes; a folder goes only when nothing else is left in it.
Section "Uninstall"
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "VST2Folder64"
  ${If} $0 != ""
    Delete "$0\Hallmere.dll"
    RMDir "$0"
  ${EndIf}
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "VST2Folder32"
  ${If} $0 != ""
    Delete "$0\Hallmere.dll"
    RMDir "$0"
  ${EndIf}
  RMDir /r "$COMMONFILES64\VST3\Hallmere.vst3"
  RMDir "$COMMONFILES64\VST3"
  RMDir /r "$COMMONFILES32\VST3\Hallmere.vst3"
  RMDir "$COMMONFILES32\VST3"
  Delete "$COMMONFILES64\CLAP\Hallmere.clap"
  RMDir "$COMMONFILES64\CLAP"
  Delete "$COMMONFILES32\CLAP\Hallmere.clap"
  RMDir "$COMMONFILES32\CLAP"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
