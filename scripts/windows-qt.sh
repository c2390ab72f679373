#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillery developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Qt for 64-bit Windows from Debian's own qt6-base source package, once
# per machine, into a cache outside the source tree, and prints its prefix.
# Later runs find the finished build and return at once. Only what Quillery
# needs is built: Core, Gui, Widgets, Test, the windows platform plugin and the
# Windows styles. The packages must already be there: see deps.sh windows.
#   QUILLERY_CACHE   the cache folder (default ~/.cache/quillery)
set -euo pipefail
project=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

cache=${QUILLERY_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/quillery}
version=6.4.2
patch_file=$project/packaging/windows/qtbase-windows-features.patch
# A new patch or toolchain means a new build, in a folder of its own.
stamp=$(cat "$patch_file" "$project/packaging/windows/mingw-toolchain.cmake" | sha256sum | cut -c1-12)
prefix=$cache/qt-$version-mingw64-$stamp
if [[ -f "$prefix/.complete" ]]; then
    echo "$prefix"
    exit 0
fi

work=$cache/qt-work
rm -rf "$work"
mkdir -p "$work/apt/sources.list.d" "$work/apt/lists/partial" "$work/apt/archives/partial" "$work/src"

# apt-get source needs deb-src entries. The machine's own sources stay as they
# are: the same mirrors, as source entries, go into a private list.
shopt -s nullglob
for sources in /etc/apt/sources.list.d/*.sources; do
    sed 's/^Types:.*/Types: deb-src/' "$sources" >"$work/apt/sources.list.d/$(basename "$sources")"
done
if [[ -f /etc/apt/sources.list ]]; then
    sed -n 's/^deb /deb-src /p' /etc/apt/sources.list >"$work/apt/sources.list.d/machine.list"
fi
shopt -u nullglob
apt_options=(-q -o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$work/apt/sources.list.d"
             -o "Dir::State::Lists=$work/apt/lists" -o "Dir::Cache::Archives=$work/apt/archives"
             -o APT::Sandbox::User=root)
echo "Fetching Debian's qt6-base $version source package" >&2
apt-get "${apt_options[@]}" update >&2
(cd "$work/src" && apt-get "${apt_options[@]}" source --download-only qt6-base >&2)
dsc=("$work"/src/qt6-base_"$version"*.dsc)
[[ -f "${dsc[0]}" ]] || { echo "windows-qt: no qt6-base $version source package was found" >&2; exit 1; }
dpkg-source -x --skip-debianization "${dsc[0]}" "$work/src/qtbase" >&2
patch -d "$work/src/qtbase" -p1 <"$patch_file" >&2

echo "Configuring and building Qt for Windows (about 30 minutes on 2 cores)" >&2
cmake -S "$work/src/qtbase" -B "$work/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$project/packaging/windows/mingw-toolchain.cmake" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DBUILD_SHARED_LIBS=ON \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
    -DFEATURE_tabletevent=OFF -DFEATURE_opengl=OFF -DFEATURE_vulkan=OFF \
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF \
    -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_testlib=ON \
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF \
    -DFEATURE_system_freetype=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF \
    -DFEATURE_direct2d=OFF -DFEATURE_icu=OFF -DFEATURE_sql_odbc=OFF >&2
cmake --build "$work/build" -j "$(nproc)" >&2
cmake --install "$work/build" >&2
# The licences travel with the DLLs: Qt's own and those of the libraries it
# bundles, found beside each library's source.
mkdir -p "$prefix/licences/3rdparty"
cp "$work/src/qtbase/LICENSES/"*.txt "$prefix/licences/"
(cd "$work/src/qtbase/src/3rdparty" && for notice in */LICENSE* */COPYING* */*/LICENSE*; do
    [[ -f "$notice" ]] && cp "$notice" "$prefix/licences/3rdparty/${notice//\//-}"
done)
echo "$(basename "${dsc[0]}" .dsc) from Debian's source archive, with $(basename "$patch_file")" >"$prefix/licences/SOURCE"
touch "$prefix/.complete"
rm -rf "$work"
echo "$prefix"
