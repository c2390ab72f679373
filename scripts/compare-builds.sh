#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillery developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Compares two builds of one package: the .deb, the Windows zip or the
# installer. When they are the same bytes it says so and exits 0; otherwise it
# unpacks both, names the files inside that differ, shows where the archives'
# listings (names, order, modes, times) differ, and exits 1.
#   bash scripts/compare-builds.sh FIRST SECOND
set -euo pipefail

if [[ $# -ne 2 ]]; then
    echo "usage: bash scripts/compare-builds.sh FIRST SECOND" >&2
    exit 64
fi
for package in "$1" "$2"; do
    if [[ ! -f "$package" ]]; then
        echo "compare-builds: $package: no such file" >&2
        exit 2
    fi
done

if cmp -s "$1" "$2"; then
    echo "same bytes: $1 and $2 (sha256 $(sha256sum <"$1" | cut -d' ' -f1))"
    exit 0
fi
echo "DIFFERENT: $1 and $2"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Unpacks a package into a folder and lists the archive in its own order,
# with modes and times (in UTC, so the listing doesn't follow the time zone).
unpack() {
    local package=$1 into=$2
    mkdir -p "$into"
    case "$package" in
        *.deb)
            dpkg-deb -R "$package" "$into"
            { ar tv "$package"; dpkg-deb --ctrl-tarfile "$package" | TZ=UTC tar tv --full-time
              dpkg-deb --fsys-tarfile "$package" | TZ=UTC tar tv --full-time; } ;;
        *.zip)
            unzip -q "$package" -d "$into"
            TZ=UTC zipinfo -T "$package" | sed 1d ;;
        *.exe)
            # 7-Zip unpacks NSIS installers, their uninstaller included.
            7z x -y -o"$into" "$package" >/dev/null
            TZ=UTC 7z l -slt "$package" | sed -n '/^----------/,$p' | grep -E '^(Path|Size|Modified|Attributes) = ' ;;
        *)
            echo "compare-builds: $package: not a .deb, .zip or .exe" >&2
            exit 2 ;;
    esac
}
unpack "$1" "$work/first" >"$work/first.list"
unpack "$2" "$work/second" >"$work/second.list"

files=$(cd "$work" && diff -rq first second || true)
if [[ -n "$files" ]]; then
    echo "files inside that differ:"
    sed -e "s|^Files first/\(.*\) and second/.* differ$|  \1|" \
        -e "s|^Only in first\(.*\): \(.*\)$|  only in $1: .\1/\2|" \
        -e "s|^Only in second\(.*\): \(.*\)$|  only in $2: .\1/\2|" <<<"$files"
else
    echo "every file inside is the same"
fi
if ! diff "$work/first.list" "$work/second.list" >"$work/list.diff"; then
    echo "the archives' listings differ:"
    head -n 40 "$work/list.diff"
fi
echo "first differing byte of the packages: $(cmp "$1" "$2" | sed 's/.*differ: //' || true)"
exit 1
