#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillery developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The portable zip as a Windows user gets it, under Wine: unpacked into a
# folder whose name is not ASCII, the command answers --version, prints names
# that match the Linux build's for the same seed in every format, and appends
# to a file with the exact bytes; the window opens on an X server.
#   bash tests/wine/smoke.sh ZIP LINUX_QUILLERY_NAMES [SCREENSHOT.png]
set -euo pipefail
zip=$(realpath "$1")
linux_names=$(realpath "$2")
screenshot=${3:-}
export LANG=C.UTF-8 WINEDEBUG=-all

work=$(mktemp -d)
# Wine's server outlives the programs and holds on to the output it was
# started with; it ends with the test.
trap 'wineserver -k 2>/dev/null || true; fusermount -u "$work/slow" 2>/dev/null || true; rm -rf "$work"' EXIT
folder="$work/Jürgen's games"
mkdir -p "$folder"
unzip -q "$zip" -d "$folder"
program_folder=$(echo "$folder"/Quillery-*-win64)
names="$program_folder/quillery-names.exe"
checks=$(dirname "$(realpath "${BASH_SOURCE[0]}")")/checks.sh
source "$checks"

# Both programs tell Windows they know its long paths (manifest text is UTF-8).
for program in quillery.exe quillery-names.exe; do
    check "$program carries its manifest" grep -q '<longPathAware[^>]*>true<' "$program_folder/$program"
done

version=$(wine "$names" --version)
check "--version prints one line" test "$version" = "quillery-names 1.00"
count=$(wine "$names" --count 5 | grep -c .)
check "--count 5 prints 5 names" test "$count" = 5

# The same seed gives the same bytes as on Linux, from the same roster.
for format in text csv json block; do
    wine "$names" --seed 42 --count 50 --from 1900 --to 1990 --format "$format" >"$work/windows.$format"
    "$linux_names" --roster "$program_folder/Kordane.txt" --seed 42 --count 50 --from 1900 --to 1990 \
        --format "$format" >"$work/linux.$format"
    check "--seed 42 --format $format matches Linux" cmp "$work/windows.$format" "$work/linux.$format"
done

# Two appends, read back byte for byte: CR LF inside each block, never doubled.
(cd "$folder" && wine "$names" --seed 7 --count 3 --append "Jürgen's list.txt" >/dev/null \
    && wine "$names" --seed 8 --count 3 --append "Jürgen's list.txt" >/dev/null)
"$linux_names" --roster "$program_folder/Kordane.txt" --seed 7 --count 3 --append "$work/linux-list.txt" >/dev/null
"$linux_names" --roster "$program_folder/Kordane.txt" --seed 8 --count 3 --append "$work/linux-list.txt" >/dev/null
check "--append writes the same bytes as on Linux" cmp "$folder/Jürgen's list.txt" "$work/linux-list.txt"
check "--append ends its lines in CR LF only" test "$(grep -c $'\r\r' "$folder/Jürgen's list.txt")" = 0

# Ctrl+C, which Wine gives a console program as SIGINT, while an append to a
# slow share that fills up after two pages is written and rolled back: Wine
# ends the program only between two writes, and then the list must still be
# as it was, not cut.
mkdir "$work/back" "$work/slow"
if /usr/bin/python3 -c 'import fusepy' 2>/dev/null && [[ -c /dev/fuse ]]; then
    /usr/bin/python3 "$(dirname "$checks")/../cli/slow_fs.py" "$work/back" "$work/slow" 8192 >/dev/null 2>&1 &
    for _ in $(seq 50); do mountpoint -q "$work/slow" && break; sleep 0.1; done
fi
if mountpoint -q "$work/slow"; then
    list=$work/back/list.txt
    printf 'earlier\r\n' >"$list"
    wine "$names" --count 1000 --append "Z:${work//\//\\}\\slow\\list.txt" </dev/null >/dev/null 2>&1 &
    program=$!
    landed() { [[ $(stat -c %s "$list") -gt 9 ]]; }
    wait_for landed && kill -INT "$program" && sent=1 || sent=0
    wait "$program" || true
    as_it_was() { [[ $sent = 1 ]] && cmp -s "$list" <(printf 'earlier\r\n'); }
    check "Ctrl+C during an append that fails on a full share leaves the list as it was" as_it_was
else
    echo "skipped: Ctrl+C during an append to a full share (FUSE cannot mount here)"
fi

# A closed standard output is found before anything is appended.
check "--append with standard output closed fails and appends nothing" \
    test "$(cd "$work" && wine "$names" --count 3 --append closed.txt >&- 2>/dev/null; echo $?)" = 1 -a ! -e "$work/closed.txt"

# The window, from the folder with the non-ASCII name, finds its roster there.
# Wine's server, started without a display by the runs above, would keep the
# window off the X server: it starts anew.
wineserver -k 2>/dev/null || true
export WINEDLLOVERRIDES="mscoree,mshtml="
xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" bash -c '
    source "$0"
    wine "$1/quillery.exe" >"$3" 2>&1 &
    if ! window=$(wait_for shown_window "^Quillery for the Orvale $"); then
        echo "the window did not appear; Wine said:"
        cat "$3"
        echo "windows shown:"
        xdotool search --name . 2>/dev/null | while read -r shown; do xdotool getwindowname "$shown"; done
        [[ -n "$2" ]] && import -window root "$2"
        exit 1
    fi
    sleep 2
    [[ -z "$2" ]] || import -window "$window" "$2"
    wineserver -k
    # Without a console, as from a shortcut, a bad argument shows in a message box.
    wine "$1/quillery.exe" --bogus </dev/null >&- 2>&- &
    wait_for shown_window "^Quillery$" >/dev/null && touch "$4"
    wineserver -k
' "$checks" "$program_folder" "$screenshot" "$work/window.log" "$work/bad-argument-shown" && window_status=0 || window_status=$?
check "the window shows \"Quillery for the Orvale \"" test "$window_status" = 0
check "a bad argument without a console is shown in a message box" test -e "$work/bad-argument-shown"

echo "$passes passed, $failures failed"
[[ $failures -eq 0 ]]
