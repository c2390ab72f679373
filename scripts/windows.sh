#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillery developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Quillery for 64-bit Windows on Debian 12 and makes the portable zip
# build-windows/Quillery-1.00-win64.zip: one folder holding both programs, the
# roster, the notices and licences, and the DLLs they need. Unpack it anywhere
# and run quillery.exe.
#   bash scripts/windows.sh          build the zip
#   bash scripts/windows.sh --test   build it, then run the core's tests and a
#                                    smoke test of the zip under Wine
# The first run on a machine also builds Qt for Windows from Debian's source
# package (about 30 minutes on 2 cores); later runs reuse it.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
project=$PWD

run_tests=0
case "${1:-}" in
    "") ;;
    --test) run_tests=1 ;;
    *) echo "usage: bash scripts/windows.sh [--test]" >&2; exit 64 ;;
esac

bash scripts/deps.sh windows
qt_prefix=$(bash scripts/windows-qt.sh)
echo "Qt for Windows: $qt_prefix"

build=build-windows
cmake -S . -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$project/packaging/windows/mingw-toolchain.cmake" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_PREFIX_PATH="$qt_prefix" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DQUILLERY_TESTS="$([[ $run_tests -eq 1 ]] && echo ON || echo OFF)" -DQUILLERY_BENCH=OFF
cmake --build "$build" -j "$(nproc)"

# ---- The folder and the zip ----
name=Quillery-1.00-win64
stage=$build/zip
folder=$stage/$name
rm -rf "$stage" "$build/$name.zip"
mkdir -p "$folder/platforms" "$folder/styles" "$folder/imageformats" "$folder/licences"

gcc_runtime=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")
runtime_dlls=("$qt_prefix/bin/Qt6Core.dll" "$qt_prefix/bin/Qt6Gui.dll" "$qt_prefix/bin/Qt6Widgets.dll"
              "$gcc_runtime/libstdc++-6.dll" "$gcc_runtime/libgcc_s_seh-1.dll"
              /usr/x86_64-w64-mingw32/lib/libwinpthread-1.dll)
cp "$build/quillery.exe" "$build/quillery-names.exe" "${runtime_dlls[@]}" "$folder/"
cp "$qt_prefix/plugins/platforms/qwindows.dll" "$folder/platforms/"
cp "$qt_prefix"/plugins/styles/*.dll "$folder/styles/"
# The window's baseball is a GIF.
cp "$qt_prefix/plugins/imageformats/qgif.dll" "$folder/imageformats/"
x86_64-w64-mingw32-strip --strip-unneeded "$folder"/*.exe "$folder"/*.dll "$folder"/*/*.dll

# The roster and the texts a Windows user opens with Notepad, with its line ends.
cp data/Kordane.txt "$folder/"
to_crlf() { sed 's/\r$//; s/$/\r/' "$1" >"$2"; }
to_crlf packaging/windows/README.txt "$folder/README.txt"
for notice in data/NOTICE*; do
    to_crlf "$notice" "$folder/$(basename "$notice").txt"
done
for licence in LICENSES/*.txt; do
    [[ -f "$licence" ]] && to_crlf "$licence" "$folder/licences/$(basename "$licence")"
done
# Qt is under the LGPL: the zip carries its licences, those of the libraries
# it bundles, and where its source is. The compiler's runtime carries its own.
mkdir -p "$folder/licences/Qt"
cp -R "$qt_prefix/licences/." "$folder/licences/Qt/"
cp packaging/windows/qtbase-windows-features.patch "$folder/licences/Qt/"
cp /usr/share/doc/gcc-mingw-w64-base/copyright "$folder/licences/GCC-runtime.txt"
cp /usr/share/doc/mingw-w64-x86-64-dev/copyright "$folder/licences/mingw-w64-runtime.txt"

(cd "$stage" && TZ=UTC find "$name" -exec touch -d @0 {} + && zip -qrX "../$name.zip" "$name")
echo "Made $build/$name.zip ($(du -k "$build/$name.zip" | cut -f1) KiB)"

[[ $run_tests -eq 1 ]] || exit 0

# ---- Tests under Wine ----
export WINEPREFIX=${WINEPREFIX:-${QUILLERY_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/quillery}/wine}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"
# The first start makes the prefix, which takes a while; its server must not
# hold on to this script's output.
wineboot -i </dev/null >/dev/null 2>&1 || true
wineserver -k 2>/dev/null || true

# The test binaries find the runtime DLLs beside them.
cp "${runtime_dlls[@]}" "$build/tests/"
ctest --test-dir "$build" --output-on-failure --no-tests=error --timeout 900

# The smoke test compares with the Linux command, built as test.sh builds it.
if [[ ! -x build/quillery-names ]]; then
    bash scripts/deps.sh run
    BUILD_TARGETS="quillery-names roster" bash scripts/build.sh build
fi
bash tests/wine/smoke.sh "$build/$name.zip" "$project/build/quillery-names" "$build/quillery-wine.png"
