#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillery developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Copy and save on a real X server: starts the program from a temporary folder
# beside a small roster, presses Alt+Y and reads the real clipboard, then presses
# Alt+S and checks the list file. Then turns on "No Repeated Names" in the
# list's real context menu: remembered, and 1000 asked give all 900 names once,
# less those the list file holds.
# Usage: tests/e2e/run.sh [build-dir]   (default: build)

set -u -o pipefail

build_dir=${1:-build}
program="$build_dir/quillery"
main_caption="Quillery for the Orvale"
box_caption="^Quillery\$"
names=12
roster_lines=30

for tool in xvfb-run Xvfb xdotool xclip; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "SKIPPED: end-to-end test needs xvfb-run, xdotool and xclip"
        exit 0
    fi
done
if [[ ! -x $program ]]; then
    echo "SKIPPED: end-to-end test needs the program $program; build it first"
    exit 0
fi

work=$(mktemp -d) || exit 1
xvfb_pid=""
app_pid=""
watchdog_pid=""

stop() { # pid: TERM, and KILL when it is still there after 5 seconds
    local pid=$1 tries=25
    [[ -n $pid ]] || return 0
    kill "$pid" 2>/dev/null || return 0
    while ((tries-- > 0)) && kill -0 "$pid" 2>/dev/null; do
        sleep 0.2
    done
    kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
}
cleanup() {
    stop "$watchdog_pid"
    stop "$app_pid"
    stop "$xvfb_pid"
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAILED: $1"
    if [[ -s $work/app.log ]]; then
        echo "--- program output:"
        tail -n 20 "$work/app.log"
    fi
    echo "0 passed, 1 failed"
    exit 1
}
# Every wait below has its own timeout; this bounds the whole run.
trap 'fail "stopped: the end-to-end test ran into its 120-second limit or was terminated"' TERM
(
    trap 'kill "$sleeper" 2>/dev/null' TERM
    sleep 120 &
    sleeper=$!
    wait "$sleeper" && kill -TERM $$
) </dev/null >/dev/null 2>&1 &
watchdog_pid=$!

# Polls "$@" every 0.2 s until it succeeds, for at most $seconds.
retry() {
    local seconds=$1
    shift
    local tries=$((seconds * 5))
    while ((tries-- > 0)); do
        "$@" && return 0
        sleep 0.2
    done
    return 1
}

count_bytes() { # file, character
    tr -cd "$2" <"$1" | wc -c
}

# The server writes its display number once it accepts connections.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
retry 10 grep -q '[0-9]' "$work/display" || fail "Xvfb did not start: $(tail -n 3 "$work/xvfb.log")"
DISPLAY=":$(head -n 1 "$work/display")"
export DISPLAY

mkdir "$work/app"
cp "$program" "$work/app/quillery" || fail "cannot copy $program"
for ((i = 1; i <= roster_lines; i++)); do
    printf 'Last%d,First%d,1900\r\n' "$i" "$i"
done >"$work/app/Kordane.txt"

(cd "$work/app" && exec env -u QT_QPA_PLATFORM XDG_CONFIG_HOME="$work/config" ./quillery) >"$work/app.log" 2>&1 &
app_pid=$!

program_runs() { kill -0 "$app_pid" 2>/dev/null; }
# Prints the first visible window whose caption matches, waiting up to 20 s
# while the program runs.
find_window() { # caption pattern
    local tries=100 id
    while ((tries-- > 0)) && program_runs; do
        id=$(timeout 5 xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1)
        [[ -n $id ]] && echo "$id" && return 0
        sleep 0.2
    done
    return 1
}
press() { # window, keys
    timeout 10 xdotool windowfocus --sync "$1" >/dev/null 2>&1 || fail "cannot focus window $1"
    timeout 10 xdotool key --clearmodifiers "$2" || fail "cannot press $2"
}

main_window=$(find_window "$main_caption")
program_runs || fail "the program ended at start"
[[ -n $main_window ]] || fail "no window \"$main_caption\" within 20 seconds"

press "$main_window" alt+y
clip="$work/clipboard.txt"
clipboard_holds_list() {
    timeout 5 xclip -o -selection clipboard >"$clip" 2>/dev/null &&
        (($(count_bytes "$clip" '\n') >= names))
}
retry 10 clipboard_holds_list || fail "the clipboard does not hold $names lines after Alt+Y: $(head -c 200 "$clip" | od -c | head -n 3)"

(($(count_bytes "$clip" '\n') == names)) || fail "the clipboard holds $(count_bytes "$clip" '\n') lines, not $names"
if (($(count_bytes "$clip" '\r') != names)) || (($(grep -c $'\r$' "$clip") != names)) ||
    [[ $(tail -c 1 "$clip" | od -An -tx1) != " 0a" ]]; then
    fail "the clipboard's lines do not all end in CR LF"
fi

# Each "First Last" clipboard line becomes "Last,First" in the file, in order.
expected="$work/expected.txt"
printf '1871 , 2000\r\n' >"$expected"
line_number=0
while IFS= read -r line; do
    ((line_number++))
    if [[ $line =~ ^First([0-9]+)\ Last([0-9]+)$'\r'$ ]] &&
        ((BASH_REMATCH[1] >= 1 && BASH_REMATCH[1] <= roster_lines &&
          BASH_REMATCH[2] >= 1 && BASH_REMATCH[2] <= roster_lines)); then
        printf 'Last%d,First%d\r\n' "${BASH_REMATCH[2]}" "${BASH_REMATCH[1]}" >>"$expected"
    else
        fail "clipboard line $line_number is not a name from the roster: ${line%$'\r'}"
    fi
done <"$clip"
printf '\r\n\r\n' >>"$expected"

press "$main_window" alt+s
box=$(find_window "$box_caption")
program_runs || fail "the program ended after Alt+S"
[[ -n $box ]] || fail "no message box \"Quillery\" within 20 seconds of Alt+S"
press "$box" Return
box_closed() { [[ -z $(xdotool search --onlyvisible --name "$box_caption" 2>/dev/null) ]]; }
retry 10 box_closed || fail "the message box did not close on Return"

list_file="$work/app/RandomNames.txt"
[[ -f $list_file ]] || fail "no RandomNames.txt beside the program"
if ! cmp -s "$expected" "$list_file"; then
    echo "--- expected:"
    od -c "$expected" | head -n 20
    echo "--- RandomNames.txt:"
    od -c "$list_file" | head -n 20
    fail "RandomNames.txt does not hold the header, the $names copied names and two empty lines"
fi

# The list's context menu: a right-click on the list, then the entry's access key.
timeout 10 xdotool windowfocus --sync "$main_window" mousemove --window "$main_window" 400 150 click 3 sleep 0.5 key n ||
    fail "cannot turn the entry on in the list's context menu"
settings="$work/config/Quillery/Quillery.ini"
retry 10 grep -q '^NoRepeatedNames=true' "$settings" 2>/dev/null ||
    fail "\"No Repeated Names\" was not remembered in $settings"

# 30 first and 30 last names make 900. The entry also leaves out the names
# already saved in the list file, so the list holds all the others; a message
# says so.
saved=$(sed -n 's/^Last\([0-9]*\),First\([0-9]*\)\r$/First\2 Last\1/p' "$list_file" | sort -u)
left=$((900 - $(grep -c . <<<"$saved")))
timeout 10 xdotool mousemove --window "$main_window" 160 74 click 1 key ctrl+a type 1000 && xdotool key Return ||
    fail "cannot ask for 1000 names"
box=$(find_window "$box_caption")
[[ -n $box ]] || fail "no message box about the $left names left"
press "$box" Return
retry 10 box_closed || fail "the message box did not close on Return"
press "$main_window" alt+y
clipboard_holds_all() {
    timeout 5 xclip -o -selection clipboard >"$clip" 2>/dev/null && (($(count_bytes "$clip" '\n') == left))
}
retry 10 clipboard_holds_all || fail "the list does not hold the $left names left: $(count_bytes "$clip" '\n') lines"
(($(sort -u "$clip" | wc -l) == left)) || fail "the list of $left repeats a name"
[[ -z $(comm -12 <(tr -d '\r' <"$clip" | sort -u) <(echo "$saved")) ]] || fail "the list repeats a name of the list file"

echo "1 passed, 0 failed"
