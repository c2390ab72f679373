# SPDX-FileCopyrightText: 2026 The Quillery developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The Wine tests' checks, one line each, and their waits.
passes=0
failures=0
check() { # name, then a command that must succeed
    local name=$1
    shift
    if "$@"; then
        echo "ok: $name"
        passes=$((passes + 1))
    else
        echo "FAILED: $name"
        failures=$((failures + 1))
    fi
}
wait_for() { # a command, run again until it succeeds, for 60 s at most
    local _
    for _ in $(seq 600); do "$@" && return 0; sleep 0.1; done
    return 1
}
# The id of a window whose name matches the pattern, if one is shown.
shown_window() { xdotool search --name "$1" 2>/dev/null | head -n 1 | grep .; }
