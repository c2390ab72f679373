# SPDX-FileCopyrightText: 2026 The Quillery developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# The installer for the current user, without administrator rights. It lays
# the zip's files out as the system layout the programs know: bin\ for the
# programs and Qt, share\quillery\ for the roster; finding the roster there,
# the programs save into the user's Documents folder.
#
# makensis -DSTAGE=folder -DOUTFILE=setup.exe -DFILES=install.nsh
#          -DUNFILES=uninstall.nsh -DLIST=files.nsh -DICON=quillery.ico installer.nsi
# STAGE holds the laid-out files; FILES, UNFILES and LIST are the lists made
# from it, so that the uninstaller removes exactly what the installer put
# there, and both know every file that a running Quillery may hold.

Target amd64-unicode
SetCompressor /SOLID lzma
# File keeps no file times, so the same files give the same setup.exe.
SetDateSave off
RequestExecutionLevel user
ManifestSupportedOS all
ManifestDPIAware true

!define VERSION "1.00"
# The programs' version records name the company "None", and the Installed
# apps entry's publisher is the same.
!define PUBLISHER "None"
!define COPYRIGHT "2026 The Quillery developers, GPL-3.0-or-later"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillery"

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "WordFunc.nsh"
!include "FileFunc.nsh"

Name "Quillery"
Caption "Quillery ${VERSION} Setup"
UninstallCaption "Quillery ${VERSION} Uninstall"
BrandingText "Quillery ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Quillery"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"

VIProductVersion "1.0.0.0"
VIFileVersion "1.0.0.0"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "ProductName" "Quillery"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "OriginalFilename" "Quillery-${VERSION}-win64-setup.exe"
VIAddVersionKey /LANG=1033 "FileDescription" "Quillery ${VERSION} Setup"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${COPYRIGHT}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_LICENSEPAGE_TEXT_TOP "Quillery is free software under the GNU General Public License, version 3 or later."
!define MUI_FINISHPAGE_RUN "$INSTDIR\bin\quillery.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start Quillery"

!insertmacro MUI_PAGE_LICENSE "${STAGE}/licences/GPL-3.0-or-later.txt"
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE leaveDirectoryPage
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

# A running program's files can't be replaced or removed, and a Quillery
# program holds more than its own .exe: the command holds Qt's core and the
# compiler's runtime too. So every file that setup or the uninstaller would
# touch must be free before either changes anything. Opening a file for
# writing fails while a program runs from it or has loaded it.
#
# PROGRAM_FILE is each line of the list of the files that the installer lays
# out, by their place under the folder; what it does depends on where the
# list is included.
!macro PROGRAM_FILE relative
    !insertmacro ${PROGRAM_FILE_STEP} "${relative}"
!macroend

# Leaves in $R9 the first file under folder $R8 that a program holds.
!macro FIND_HELD relative
    ${If} $R9 == ""
    ${AndIf} ${FileExists} "$R8\${relative}"
        ClearErrors
        FileOpen $R7 "$R8\${relative}" a
        ${If} ${Errors}
            StrCpy $R9 "$R8\${relative}"
        ${Else}
            FileClose $R7
        ${EndIf}
    ${EndIf}
!macroend

# Leaves in $R9 the first file under $INSTDIR that is still there.
!macro FIND_LEFT relative
    ${If} $R9 == ""
    ${AndIf} ${FileExists} "$INSTDIR\${relative}"
        StrCpy $R9 "$INSTDIR\${relative}"
    ${EndIf}
!macroend

!macro WAIT_UNTIL_FREE UN
# Waits until no program holds the files under folder $R8: the user closes it
# and chooses Retry, or Cancel ends the run with nothing changed. A silent
# run gives up at once.
Function ${UN}waitUntilFree
    ${Do}
        StrCpy $R9 ""
        !define PROGRAM_FILE_STEP FIND_HELD
        !include "${LIST}"
        # The uninstaller, run in place, holds itself.
        !if "${UN}" == ""
            !insertmacro FIND_HELD "uninstall.exe"
        !endif
        !undef PROGRAM_FILE_STEP
        ${If} $R9 == ""
            Return
        ${EndIf}
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
            "Quillery is running from $R8: $R9 is in use. Close the Quillery window and every quillery-names command, then choose Retry." \
            /SD IDCANCEL IDRETRY retry
        Abort "Quillery is running from $R8: close it and try again. Nothing was changed."
        retry:
    ${Loop}
FunctionEnd
!macroend
!insertmacro WAIT_UNTIL_FREE ""
!insertmacro WAIT_UNTIL_FREE "un."

# Setup writes only into an empty or new folder, or over an earlier Quillery,
# so it never overwrites a file of the user's, and the uninstaller, which
# removes exactly what setup wrote, never deletes one. The folder page adds
# "\Quillery" to a folder chosen with Browse; /D= is taken as it stands.
# Sets $R9 to "ok" when $INSTDIR is such a folder.
Function judgeFolder
    StrCpy $R9 "ok"
    ${If} ${FileExists} "$INSTDIR\uninstall.exe"
    ${AndIf} ${FileExists} "$INSTDIR\bin\quillery.exe"
        Return
    ${EndIf}
    ClearErrors
    FindFirst $R7 $R6 "$INSTDIR\*"
    ${DoUntil} ${Errors}
        ${If} $R6 != "."
        ${AndIf} $R6 != ".."
            StrCpy $R9 ""
        ${EndIf}
        FindNext $R7 $R6
    ${Loop}
    FindClose $R7
    # A file in place of the folder.
    ${If} ${FileExists} "$INSTDIR"
    ${AndIfNot} ${FileExists} "$INSTDIR\*.*"
        StrCpy $R9 ""
    ${EndIf}
FunctionEnd

!define FOLDER_NOT_EMPTY \
    "$INSTDIR already holds files that are not an earlier Quillery. Choose an empty or new folder: setup does not write among files of yours."

Function leaveDirectoryPage
    Call judgeFolder
    ${If} $R9 != "ok"
        MessageBox MB_OK|MB_ICONEXCLAMATION "${FOLDER_NOT_EMPTY}"
        Abort
    ${EndIf}
FunctionEnd

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

# Run with _?= (as the quiet uninstall command does, so that whoever runs it
# gets its real status), the uninstaller runs from the folder it empties and
# can't delete itself. A copy of it in %TEMP%, started with /CLEANUP, waits
# until it has ended and takes it and the folder away.
Function un.onInit
    SetShellVarContext current
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/CLEANUP" $1
    ${IfNot} ${Errors}
        ${For} $1 1 600
            Delete "$INSTDIR\uninstall.exe"
            ${IfNot} ${FileExists} "$INSTDIR\uninstall.exe"
                ${Break}
            ${EndIf}
            Sleep 100
        ${Next}
        RMDir "$INSTDIR"
        Quit
    ${EndIf}
FunctionEnd

Section "Quillery"
    Call judgeFolder
    ${If} $R9 != "ok"
        MessageBox MB_OK|MB_ICONEXCLAMATION "${FOLDER_NOT_EMPTY}" /SD IDOK
        Abort "${FOLDER_NOT_EMPTY}"
    ${EndIf}
    StrCpy $R8 "$INSTDIR"
    Call waitUntilFree
    ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 != ""
    ${AndIf} $0 != "$INSTDIR"
    ${AndIf} ${FileExists} "$0\uninstall.exe"
        StrCpy $R8 "$0"
        Call waitUntilFree
    ${Else}
        StrCpy $0 ""
    ${EndIf}

    # Over an earlier copy in the same folder, each file is replaced in
    # place, the uninstaller and the entry first: should a file fail part
    # way, the folder still holds a whole program, its uninstaller and its
    # entry, and a first install that fails can be uninstalled.
    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    ${If} $0 == ""
        Call writeEntry
    ${EndIf}
    ClearErrors
    !include "${FILES}"
    ${If} ${Errors}
        Abort "Some of the files in $INSTDIR could not be replaced: close every Quillery program and run setup again."
    ${EndIf}

    # An earlier copy elsewhere goes once this one is whole: its own
    # uninstaller, run where it is and waited for, takes away its files and
    # its entry, and only those.
    ${If} $0 != ""
        ExecWait '"$0\uninstall.exe" /S _?=$0' $1
        ${If} $1 != 0
            Abort "The earlier Quillery in $0 could not be removed."
        ${EndIf}
        Delete "$0\uninstall.exe"
        RMDir "$0"
    ${EndIf}

    SetOutPath "$INSTDIR\bin"
    CreateShortcut "$SMPROGRAMS\Quillery.lnk" "$INSTDIR\bin\quillery.exe" "" "$INSTDIR\bin\quillery.exe" 0
    Call writeEntry
SectionEnd

Function writeEntry
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Quillery"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "VersionMajor" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "VersionMinor" 0
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\bin\quillery.exe,0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S _?=$INSTDIR'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    SectionGetSize 0 $1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $1
FunctionEnd

# Only what the installer put there goes: the lists the user saved, in
# Documents or anywhere else, and any file the user added stay. The entry
# goes last, once the files have gone, so that a failed uninstall can be run
# again.
Section "Uninstall"
    StrCpy $R8 "$INSTDIR"
    Call un.waitUntilFree
    !include "${UNFILES}"
    StrCpy $R9 ""
    !define PROGRAM_FILE_STEP FIND_LEFT
    !include "${LIST}"
    !undef PROGRAM_FILE_STEP
    ${If} $R9 != ""
        MessageBox MB_OK|MB_ICONSTOP "$R9 could not be removed. Close what uses it, then uninstall Quillery again." /SD IDOK
        Abort "$R9 could not be removed: Quillery stays listed, to be uninstalled again."
    ${EndIf}
    Delete "$SMPROGRAMS\Quillery.lnk"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    ${If} ${FileExists} "$INSTDIR\uninstall.exe"
        GetTempFileName $0
        CopyFiles /SILENT "$EXEPATH" "$0"
        Exec '"$0" /S /CLEANUP _?=$INSTDIR'
    ${EndIf}
SectionEnd
