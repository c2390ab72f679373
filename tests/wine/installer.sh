#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillery developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The installer, silent, as a new user meets it under Wine; the README's
# Windows section lists what it checks.
#   bash tests/wine/installer.sh SETUP.exe STAGED_FOLDER (the files as laid out)
set -euo pipefail
setup=$(realpath "$1")
staged=$(realpath "$2")
work=$(mktemp -d)
# A new user: a prefix of its own, and a home, which Wine links Documents to.
export HOME="$work/home" WINEPREFIX="$work/prefix" LANG=C.UTF-8 WINEDEBUG=-all
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree,mshtml="
unset XDG_CONFIG_HOME XDG_DATA_HOME
mkdir -p "$HOME"
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
wineboot -i </dev/null >/dev/null 2>&1
wineserver -k 2>/dev/null || true # it would hold on to this script's output

checks=$(dirname "$(realpath "${BASH_SOURCE[0]}")")/checks.sh
source "$checks"
unix_path() { winepath -u "$1" 2>/dev/null | tr -d '\r'; }
windows_variable() { wine cmd /c "echo %$1%" 2>/dev/null | tr -d '\r'; }
gone() { [[ ! -e "$1" ]]; }
not() { ! "$@"; }
file_list() { (cd "$1" && find . -type f -printf '%P %s\n' | LC_ALL=C sort); }

# NSIS takes /D= unquoted, and Wine quotes an argument with blanks: no blanks.
target='C:\Spiele\Jürgen\Quillery'
installed=$(unix_path "$target")
menu=$(unix_path "$(windows_variable APPDATA)")/Microsoft/Windows/Start\ Menu/Programs
documents=$(unix_path "$(windows_variable USERPROFILE)\\Documents")
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillery'
# reg query prints names in a code page of its own; an export is UTF-16.
key_values() {
    rm -f "$work/key.reg"
    wine reg export "$key" "$work/key.reg" >/dev/null 2>&1 && iconv -f UTF-16 -t UTF-8 "$work/key.reg" | tr -d '\r'
}

check "setup.exe carries its version record" grep -q '^Quillery 1.00 Setup$' <(strings -el "$setup")
check "the silent install succeeds" wine "$setup" /S "/D=$target"
{ file_list "$staged"; echo "uninstall.exe $(stat -c %s "$installed/uninstall.exe" 2>/dev/null)"; } | LC_ALL=C sort >"$work/expected"
check "the folder holds the staged files and the uninstaller" diff "$work/expected" <(file_list "$installed")
check "the Start-menu shortcut starts bin\\quillery.exe" \
    grep -q 'Quillery\\bin\\quillery.exe' <(strings -el "$menu/Quillery.lnk" 2>/dev/null)

# Under load the first export has been seen to come back empty: read the key
# once it holds the value the installer writes last.
key_complete() { key_values | grep -q '^"EstimatedSize"='; }
wait_for key_complete || true
values=$(key_values || true)
escaped=${target//\\/\\\\}
for expected in '"DisplayName"="Quillery"' '"DisplayVersion"="1.00"' '"Publisher"="None"' \
                "\"DisplayIcon\"=\"$escaped\\\\bin\\\\quillery.exe,0\"" "\"InstallLocation\"=\"$escaped\"" \
                "\"UninstallString\"=\"\\\"$escaped\\\\uninstall.exe\\\"\"" \
                "\"QuietUninstallString\"=\"\\\"$escaped\\\\uninstall.exe\\\" /S _?=$escaped\""; do
    check "the Installed apps entry has $expected" grep -qxF "$expected" <<<"$values"
done
size=$(sed -n 's/^"EstimatedSize"=dword:\([0-9a-f]*\)$/\1/p' <<<"$values")
staged_kib=$(find "$staged" -type f -printf '%s\n' | awk '{ sum += $1 } END { print int(sum / 1024) }')
check "the estimated size, $((16#${size:-0})) KiB, is that of the files ($staged_kib KiB)" \
    test $((16#${size:-0} * 10)) -ge $((staged_kib * 9)) -a $((16#${size:-0} * 10)) -le $((staged_kib * 11))

check "the installed quillery-names.exe --version prints its version" \
    test "$(wine "$installed/bin/quillery-names.exe" --version | tr -d '\r')" = "quillery-names 1.00"
check "the installed command reads its roster from share\\quillery" \
    test "$(cd "$work" && wine "$installed/bin/quillery-names.exe" --count 3 | grep -c .)" = 3

# The window: Save to File (Alt+S) appends to Documents\RandomNames.txt. While
# it runs, installing again must not replace its files. The server, started
# without a display, would keep the window off the X server: it starts anew.
wineserver -k 2>/dev/null || true
xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" bash -c '
    source "$0"
    wine "$1/bin/quillery.exe" >"$3/window.log" 2>&1 &
    window=$(wait_for shown_window "^Quillery for the Orvale $") \
        || { echo "the window did not appear"; cat "$3/window.log"; exit 1; }
    sleep 1
    xdotool windowfocus --sync "$window" key alt+s
    wait_for test -s "$2/RandomNames.txt"
    status=0
    wine "$4" /S "/D=$5" >/dev/null 2>&1 || status=$?
    echo "$status" >"$3/reinstall-while-running"
    wineserver -k
' "$checks" "$installed" "$documents" "$work" "$setup" "$target" && window_status=0 || window_status=$?
check "the window opens and saves" test "$window_status" = 0
check "the save lands in Documents\\RandomNames.txt" grep -q '^1871 , 2000' "$documents/RandomNames.txt"
check "an install while Quillery runs gives up" test "$(cat "$work/reinstall-while-running" 2>/dev/null)" = 2
check "and leaves the installed files as they were" diff "$work/expected" <(file_list "$installed")

# Installing the same version again replaces it in place.
check "installing again succeeds" wine "$setup" /S
check "installing again goes to the same folder, with the same files" diff "$work/expected" <(file_list "$installed")

# The command, blocked on a one-page pipe that nobody reads, holds its .exe
# and Qt's core, but not quillery.exe: an upgrade and an uninstall find it,
# change nothing and say so in their status.
coproc holder { python3 -c '
import fcntl, os, subprocess, sys
read, write = os.pipe()
fcntl.fcntl(write, 1031, 4096)  # F_SETPIPE_SZ
command = subprocess.Popen(["wine", sys.argv[1], "--count", "1000"], stdout=write)
os.close(write)
os.read(read, 1)
print("running", flush=True)
command.wait()' "$installed/bin/quillery-names.exe"; }
holder_pid=$holder_PID
read -r -t 120 -u "${holder[0]}" _ || true
while_held() { # what is tried, then its command
    local name=$1 status=0
    shift
    "$@" >/dev/null 2>&1 || status=$?
    check "$name while quillery-names.exe runs fails ($status)" test "$status" != 0
    check "and leaves the files" diff "$work/expected" <(file_list "$installed")
    check "and the Installed apps entry" key_complete
}
while_held "an upgrade" wine "$setup" /S
while_held "the quiet uninstall" wine "$installed/uninstall.exe" /S "_?=$target"
wineserver -k 2>/dev/null || true
wait "$holder_pid" 2>/dev/null || true

# A folder of the user's own is not setup's to write in.
mine=$(unix_path 'C:\Spiele\Notizen')
mkdir -p "$mine/licences"
for file in README.txt NOTICE.txt licences/GPL-3.0-or-later.txt; do printf 'mine\r\n' >"$mine/$file"; done
mine_files() { (cd "$mine" && find . -printf '%P %s %T@\n' | LC_ALL=C sort); }
mine_files >"$work/mine-before"
check "an install into a folder of the user's files fails" not wine "$setup" /S '/D=C:\Spiele\Notizen'
check "and leaves them as they were" diff "$work/mine-before" <(mine_files)

# A list the user saved beside the programs is the user's.
printf 'mine\r\n' >"$installed/RandomNames.txt"
cp "$documents/RandomNames.txt" "$work/saved-list" 2>/dev/null || true
# The quiet uninstall command waits and gives the real status; the copy it
# leaves behind takes the uninstaller away once it has ended.
check "the quiet uninstall succeeds" wine "$installed/uninstall.exe" /S "_?=$target"
check "the silent uninstall removes the uninstaller" wait_for gone "$installed/uninstall.exe"
wineserver -w
check "the user's folder is still as it was" diff "$work/mine-before" <(mine_files)
check "no program file is left, only the user's file, untouched" \
    test "$(cd "$installed" && find . -mindepth 1 -printf '%P\n' && cat RandomNames.txt)" = $'RandomNames.txt\nmine\r'
check "the shortcut is gone" gone "$menu/Quillery.lnk"
check "the Installed apps entry is gone" test -z "$(key_values || true)"
check "Documents\\RandomNames.txt is untouched" cmp "$documents/RandomNames.txt" "$work/saved-list"

echo "$passes passed, $failures failed"
[[ $failures -eq 0 ]]
