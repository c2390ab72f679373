#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillery developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the programs and starts the window program. Arguments go to it.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

# Qt aborts when its platform has no display to open; say it plainly instead.
display_available() {
    [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ]] && return 0
    local platform
    IFS=';' read -ra platforms <<<"${QT_QPA_PLATFORM:-}"
    for platform in "${platforms[@]}"; do
        case "${platform%%:*}" in
            offscreen|minimal|vnc|eglfs|linuxfb|vkkhrdisplay) return 0 ;;
        esac
    done
    return 1
}

# --help and --version answer without a window. Anything else needs a display,
# which is checked before minutes of building, not after.
needs_display=1
for argument in "$@"; do
    case "$argument" in
        --help|-h|--version|-v) needs_display=0 ;;
    esac
done
if [[ $needs_display -eq 1 ]] && ! display_available; then
    echo "no display found; run it in a desktop session or under xvfb-run" >&2
    exit 1
fi

bash scripts/deps.sh run >&2
# The programs and the roster beside them; the tests and benchmarks are for test.sh.
BUILD_TARGETS="quillery quillery-names roster" bash scripts/build.sh build >&2
exec build/quillery "$@"
