#!/bin/sh
# SPDX-FileCopyrightText: 2026 The Quillery developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Takes a screenshot of the main window, or with "help" of the help window that
# F1 opens, under a virtual X display (96 dpi) and writes it as a PNG.
# Usage: scripts/screenshot.sh [OUTPUT.png] [PROGRAM] [main|help]
# Needs xvfb-run, xdotool and ImageMagick's import.
set -eu
out=$(realpath -m "${1:-build/quillery-window.png}")
program=$(realpath "${2:-build/quillery}")
which=${3:-main}
case $which in
    main | help) ;;
    *) echo "screenshot: the window is main or help, not $which" >&2; exit 2 ;;
esac

xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" sh -c '
    find_window() { # caption pattern; waits up to 5 seconds
        for _ in $(seq 50); do
            found=$(xdotool search --name "$1" 2>/dev/null | head -n 1) && [ -n "$found" ] && echo "$found" && return 0
            sleep 0.1
        done
        return 1
    }
    "$1" &
    pid=$!
    if ! window=$(find_window "^Quillery for the Orvale"); then
        echo "screenshot: the window did not appear" >&2
        kill "$pid" 2>/dev/null
        exit 1
    fi
    sleep 0.5
    if [ "$3" = help ]; then
        xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
        xdotool key F1
        if ! window=$(find_window "^Help!\$"); then
            echo "screenshot: F1 opened no help window" >&2
            kill "$pid" 2>/dev/null
            exit 1
        fi
        sleep 0.5
    fi
    import -window "$window" "$2"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
' screenshot "$program" "$out" "$which"
echo "$out"
