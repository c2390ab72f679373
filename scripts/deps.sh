#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillery developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages a task needs, when any are missing.
#   bash scripts/deps.sh run        build and start the programs
#   bash scripts/deps.sh test       build and run the whole test suite
#   bash scripts/deps.sh fuzz       the clang build with the libFuzzer targets
#   bash scripts/deps.sh windows    the Windows build and its tests under Wine
# Several tasks may be named at once. Works on a minimal Debian 12 that has
# only bash and apt: as root through apt-get, otherwise through sudo, and
# failing that it prints the apt-get line to run and exits non-zero.
set -euo pipefail

# The one place that says which package serves which task.
# qt6-base-dev brings libgl-dev, which Qt6Gui's CMake package looks for.
build_packages=(cmake ninja-build g++ pkg-config qt6-base-dev libgtest-dev libbenchmark-dev)
# Sans faces, so Qt has one to substitute for the ones the windows ask for;
# the windows prefer DejaVu Sans Condensed, which fits every caption.
runtime_packages=(fonts-dejavu-core fonts-dejavu-extra)
# A real X server, keys and clipboard for the end-to-end test; the mingw
# resource compiler checks the Windows version record; the locale sources let
# a test build a German locale to prove numbers are read the same under it.
# ImageMagick takes the screenshots. The package stage of CI builds the .deb
# (dpkg-dev computes its dependencies) and judges it, its desktop files, its
# hardening (devscripts' hardening-check) and every file's licence (reuse).
# python3 remakes the roster from its source to prove the shipped one matches.
# weston's headless backend and Qt's Wayland plugin run the window on Wayland.
# FUSE and its Python binding make a slow file system to cut a save with signals.
test_packages=(xvfb xauth xdotool xclip binutils-mingw-w64-x86-64 locales imagemagick
               dpkg-dev file lintian desktop-file-utils appstream devscripts reuse python3
               weston qt6-wayland fuse3 python3-fusepy)
fuzz_packages=(clang libclang-rt-14-dev)
# The Windows build: the mingw-w64 compiler with POSIX threads, Debian's own
# Qt as the host tools for building Qt for Windows from its source package,
# GoogleTest's source for the cross-built tests, zip for the portable folder,
# NSIS for the installer, 7-Zip to unpack it when two builds are compared,
# and Wine with an X server to run it all; FUSE makes the slow, full share
# that a Ctrl+C is sent during an append to.
windows_packages=(cmake ninja-build g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 qt6-base-dev
                  qt6-base-dev-tools dpkg-dev patch perl python3 googletest zip unzip nsis p7zip-full
                  wine wine64 xvfb xauth xdotool imagemagick fuse3 python3-fusepy)

usage() {
    echo "usage: bash scripts/deps.sh run|test|fuzz|windows..." >&2
    exit 64
}

[[ $# -gt 0 ]] || usage
wanted=()
for task in "$@"; do
    case "$task" in
        run)  wanted+=("${build_packages[@]}" "${runtime_packages[@]}") ;;
        test) wanted+=("${build_packages[@]}" "${runtime_packages[@]}" "${test_packages[@]}") ;;
        fuzz) wanted+=("${build_packages[@]}" "${fuzz_packages[@]}") ;;
        windows) wanted+=("${windows_packages[@]}") ;;
        *)    usage ;;
    esac
done

missing=()
for package in "${wanted[@]}"; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
    if [[ "$status" != installed && " ${missing[*]} " != *" $package "* ]]; then
        missing+=("$package")
    fi
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

install_line="apt-get update && apt-get install -y --no-install-recommends ${missing[*]}"

if [[ $(id -u) -eq 0 ]]; then
    as_root=()
elif command -v sudo >/dev/null 2>&1; then
    as_root=(sudo)
else
    echo "Missing Debian packages: ${missing[*]}" >&2
    echo "Run this as root, then try again:" >&2
    echo "  $install_line" >&2
    exit 1
fi

echo "Installing Debian packages: ${missing[*]}"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
apt_options=(-q -o Dpkg::Lock::Timeout=600 -o Dpkg::Use-Pty=0)
if ! "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get "${apt_options[@]}" update >"$log" 2>&1 \
    || ! "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get "${apt_options[@]}" install -y \
            --no-install-recommends "${missing[@]}" >>"$log" 2>&1; then
    tail -n 40 "$log" >&2
    echo "Installing the packages failed. The command was:" >&2
    echo "  ${as_root[*]}${as_root[*]:+ }$install_line" >&2
    exit 1
fi
echo "Installed them, with what they depend on."
