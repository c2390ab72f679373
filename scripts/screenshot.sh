#!/bin/sh
# Takes a screenshot of the main window under a virtual X display (96 dpi) and
# writes it as a PNG. Usage: scripts/screenshot.sh [OUTPUT.png] [PROGRAM]
# Needs xvfb-run, xdotool and ImageMagick's import.
set -eu
out=$(realpath -m "${1:-build/quillery-window.png}")
program=$(realpath "${2:-build/quillery}")

xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" sh -c '
    "$1" &
    pid=$!
    window=""
    for _ in $(seq 50); do
        window=$(xdotool search --name "^Quillery for the Orvale" 2>/dev/null | head -n 1) && [ -n "$window" ] && break
        sleep 0.1
    done
    if [ -z "$window" ]; then
        echo "screenshot: the window did not appear" >&2
        kill "$pid" 2>/dev/null
        exit 1
    fi
    sleep 0.5
    import -window "$window" "$2"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
' screenshot "$program" "$out"
echo "$out"
