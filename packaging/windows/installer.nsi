# SPDX-FileCopyrightText: 2026 The Quillery developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# The installer for the current user, without administrator rights. It lays
# the zip's files out as the system layout the programs know: bin\ for the
# programs and Qt, share\quillery\ for the roster; finding the roster there,
# the programs save into the user's Documents folder.
#
# makensis -DSTAGE=folder -DOUTFILE=setup.exe -DFILES=install.nsh
#          -DUNFILES=uninstall.nsh -DICON=quillery.ico installer.nsi
# STAGE holds the laid-out files; FILES and UNFILES are the lists made from
# it, so that the uninstaller removes exactly what the installer put there.

Target amd64-unicode
SetCompressor /SOLID lzma
# File keeps no file times, so the same files give the same setup.exe.
SetDateSave off
RequestExecutionLevel user
ManifestSupportedOS all
ManifestDPIAware true

!define VERSION "1.00"
!define PUBLISHER "The Quillery developers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillery"

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "WordFunc.nsh"

Name "Quillery"
Caption "Quillery ${VERSION} Setup"
UninstallCaption "Quillery ${VERSION} Uninstall"
BrandingText "Quillery ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Quillery"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"

VIProductVersion "1.0.0.0"
VIFileVersion "1.0.0.0"
VIAddVersionKey /LANG=1033 "CompanyName" "None"
VIAddVersionKey /LANG=1033 "ProductName" "Quillery"
VIAddVersionKey /LANG=1033 "FileDescription" "Quillery ${VERSION} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "2026 ${PUBLISHER}, GPL-3.0-or-later"
VIAddVersionKey /LANG=1033 "OriginalFilename" "Quillery-${VERSION}-win64-setup.exe"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_LICENSEPAGE_TEXT_TOP "Quillery is free software under the GNU General Public License, version 3 or later."
!define MUI_FINISHPAGE_RUN "$INSTDIR\bin\quillery.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start Quillery"

!insertmacro MUI_PAGE_LICENSE "${STAGE}/licences/GPL-3.0-or-later.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

# A running program's files can't be replaced or removed. Opening the window
# program for writing fails while it runs, so the user is asked to close it;
# a silent run gives up.
!macro WAIT_UNTIL_CLOSED UN
Function ${UN}waitUntilQuilleryIsClosed
    ${Do}
        ${IfNot} ${FileExists} "$INSTDIR\bin\quillery.exe"
            Return
        ${EndIf}
        ClearErrors
        FileOpen $0 "$INSTDIR\bin\quillery.exe" a
        ${IfNot} ${Errors}
            FileClose $0
            Return
        ${EndIf}
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
            "Quillery is running. Close it, then choose Retry." /SD IDCANCEL IDRETRY retry
        Abort "Quillery is running: close it and try again."
        retry:
    ${Loop}
FunctionEnd
!macroend
!insertmacro WAIT_UNTIL_CLOSED ""
!insertmacro WAIT_UNTIL_CLOSED "un."

Function .onInit
    SetShellVarContext current
    ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "DisplayVersion"
    ${If} $0 != ""
        ${VersionCompare} "$0" "${VERSION}" $1
        ${If} $1 == 1
            MessageBox MB_OK|MB_ICONSTOP \
                "Quillery $0 is installed, which is newer than this setup's ${VERSION}. Uninstall it first to install ${VERSION}." \
                /SD IDOK
            SetErrorLevel 2
            Quit
        ${EndIf}
    ${EndIf}
FunctionEnd

Function un.onInit
    SetShellVarContext current
FunctionEnd

Section "Quillery"
    Call waitUntilQuilleryIsClosed
    # An earlier install is replaced in place: its own uninstaller, run where
    # it is and waited for, takes away its files, and only those.
    ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 != ""
    ${AndIf} ${FileExists} "$0\uninstall.exe"
        ExecWait '"$0\uninstall.exe" /S _?=$0' $1
        ${If} $1 != 0
            Abort "The earlier Quillery in $0 could not be removed."
        ${EndIf}
        # Run in place, it could not remove itself.
        Delete "$0\uninstall.exe"
        RMDir "$0"
    ${EndIf}

    !include "${FILES}"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    SetOutPath "$INSTDIR\bin"
    CreateShortcut "$SMPROGRAMS\Quillery.lnk" "$INSTDIR\bin\quillery.exe" "" "$INSTDIR\bin\quillery.exe" 0

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Quillery"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "VersionMajor" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "VersionMinor" 0
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\bin\quillery.exe,0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    SectionGetSize 0 $0
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

# Only what the installer put there goes: the lists the user saved, in
# Documents or anywhere else, and any file the user added stay.
Section "Uninstall"
    Call un.waitUntilQuilleryIsClosed
    Delete "$SMPROGRAMS\Quillery.lnk"
    !include "${UNFILES}"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
