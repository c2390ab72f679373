#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillery developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Quillery for 64-bit Windows on Debian 12 and makes the portable zip
# build-windows/Quillery-1.00-win64.zip: one folder holding both programs, the
# roster, the notices and licences, and the DLLs they need. Unpack it anywhere
# and run quillery.exe. From the same files it makes the installer
# build-windows/Quillery-1.00-win64-setup.exe, for the current user.
#   bash scripts/windows.sh          build the zip and the installer
#   bash scripts/windows.sh --test   build them, then run the core's tests, a
#                                    smoke test of the zip and a test of the
#                                    installer under Wine
# The first run on a machine also builds Qt for Windows from Debian's source
# package (about 30 minutes on 2 cores); later runs reuse it.
# The same commit gives the same zip and installer, byte for byte, wherever
# and whenever it is built: build-windows/SHA256SUMS holds their checksums.
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
# The one date in the zip and the installer: the last commit's, or the one
# kept in the source (see the script). strip writes it into the header of
# every program and DLL it strips, as it would the time of day otherwise;
# the zip gives it to every file.
SOURCE_DATE_EPOCH=$(cmake -P packaging/source-date-epoch.cmake)
export SOURCE_DATE_EPOCH
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
rm -rf "$stage" "$build/$name.zip" "$build/SHA256SUMS"
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

# Only the files' bytes and names reach the zip: modes not from the umask,
# one date, in UTC (zip keeps local times), and the names in one order, not
# the file system's.
chmod -R u=rwX,go=rX "$folder"
(cd "$stage" && find "$name" -exec touch -d "@$SOURCE_DATE_EPOCH" {} + &&
    find "$name" | LC_ALL=C sort | TZ=UTC zip -qX "../$name.zip" -@)
echo "Made $build/$name.zip ($(du -k "$build/$name.zip" | cut -f1) KiB)"

# ---- The installer ----
# The zip's files in the system layout: the programs and Qt in bin\, the
# roster in share\quillery\, the texts at the top.
setup=$build/$name-setup.exe
installer=$project/$build/installer
root=$installer/root
rm -rf "$installer" "$setup"
mkdir -p "$installer"
cp -R "$folder" "$root"
mkdir -p "$root/bin" "$root/share/quillery"
mv "$root"/*.exe "$root"/*.dll "$root/platforms" "$root/styles" "$root/imageformats" "$root/bin/"
mv "$root/Kordane.txt" "$root/share/quillery/"
# One File line per file to install and one Delete line per file to remove,
# then the folders, deepest first, removed only when empty. In NSIS's
# strings "$$" is a dollar sign; File takes its source as it stands.
nsis_escape() { local text=${1//\$/\$\$}; printf '%s' "$text"; }
in_instdir() { local relative=${1//\//\\}; printf '"$INSTDIR%s"' "$(nsis_escape "$relative")"; }
: >"$installer/install.nsh"
: >"$installer/uninstall.nsh"
: >"$installer/files.nsh"
while IFS= read -r -d '' dir; do
    echo "SetOutPath $(in_instdir "${dir#"$root"}")" >>"$installer/install.nsh"
    while IFS= read -r -d '' file; do
        if [[ $file == *'"'* ]]; then
            echo "installer: NSIS can't take the file name $file" >&2
            exit 1
        fi
        echo "File \"$file\"" >>"$installer/install.nsh"
        echo "Delete $(in_instdir "${file#"$root"}")" >>"$installer/uninstall.nsh"
        echo "!insertmacro PROGRAM_FILE \"$(nsis_escape "${file#"$root/"}" | tr / '\\')\"" >>"$installer/files.nsh"
    done < <(find "$dir" -mindepth 1 -maxdepth 1 -type f -print0 | LC_ALL=C sort -z)
done < <(find "$root" -type d -print0 | LC_ALL=C sort -z)
while IFS= read -r -d '' dir; do
    echo "RMDir $(in_instdir "${dir#"$root"}")" >>"$installer/uninstall.nsh"
done < <(find "$root" -mindepth 1 -type d -print0 | LC_ALL=C sort -rz)
makensis -V2 -INPUTCHARSET UTF8 -DSTAGE="$root" -DOUTFILE="$project/$setup" -DICON="$project/resources/quillery.ico" \
    -DFILES="$installer/install.nsh" -DUNFILES="$installer/uninstall.nsh" -DLIST="$installer/files.nsh" \
    packaging/windows/installer.nsi
echo "Made $setup ($(du -k "$setup" | cut -f1) KiB)"
(cd "$build" && sha256sum "$name.zip" "$name-setup.exe" >SHA256SUMS)
echo "Their checksums: $build/SHA256SUMS"

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
bash tests/wine/installer.sh "$setup" "$root"
