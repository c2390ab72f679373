#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillery developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The window on Wayland: a headless weston, Qt's Wayland plugin, and the
# protocol log (WAYLAND_DEBUG=1) showing the window's title and app id.
# Usage: tests/e2e/wayland.sh PROGRAM

set -u -o pipefail
program=$1
if ! command -v weston >/dev/null 2>&1; then
    echo "SKIPPED: the Wayland test needs weston"
    exit 0
fi
work=$(mktemp -d) || exit 1
weston_pid="" app_pid=""
cleanup() {
    [[ -n $app_pid ]] && kill "$app_pid" 2>/dev/null
    [[ -n $weston_pid ]] && kill "$weston_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAILED: $1"
    tail -n 20 "$work/$2" 2>/dev/null
    exit 1
}
wait_for() { # seconds, command...: polls every 0.2 s
    local tries=$(($1 * 5))
    shift
    until "$@"; do
        ((tries-- > 0)) || return 1
        sleep 0.2
    done
}

export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
weston --backend=headless-backend.so --socket=quillery-test --no-config --idle-time=0 >"$work/weston.log" 2>&1 &
weston_pid=$!
wait_for 20 test -S "$XDG_RUNTIME_DIR/quillery-test" || fail "weston did not start" weston.log

env -u DISPLAY QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=quillery-test WAYLAND_DEBUG=1 \
    XDG_CONFIG_HOME="$work/config" "$program" >"$work/app.log" 2>&1 &
app_pid=$!
shown() { grep -q 'xdg_toplevel@[0-9]*\.set_app_id("org\.quillery\.Quillery")' "$work/app.log"; }
wait_for 30 shown || fail "no window with the app id org.quillery.Quillery" app.log
grep -q 'xdg_toplevel@[0-9]*\.set_title("Quillery for the Orvale ")' "$work/app.log" ||
    fail "the window's title is not \"Quillery for the Orvale \"" app.log
# Still running once the compositor has seen the first frame.
wait_for 10 grep -q 'wl_surface@[0-9]*\.commit()' "$work/app.log" && sleep 0.5
kill -0 "$app_pid" 2>/dev/null || fail "the program ended" app.log
echo "1 passed, 0 failed"
