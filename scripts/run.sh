#!/usr/bin/env bash
# Builds the project and starts it. Arguments go to the program.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

bash scripts/deps.sh run >&2
bash scripts/build.sh build >&2

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

if [[ -x build/quillery ]]; then
    if ! display_available; then
        echo "no display found; run it in a desktop session or under xvfb-run" >&2
        exit 1
    fi
    exec build/quillery "$@"
fi
exec build/quillery-names "$@"
