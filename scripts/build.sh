#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillery developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Configures and builds the project into build/ (or the folder given), with
# every core. The packages must already be there: see deps.sh.
#   bash scripts/build.sh [BUILD_DIR [extra cmake options...]]
# BUILD_TARGETS="a b" builds only those targets instead of everything.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

build_dir=${1:-build}
shift || true

# A folder configured earlier with another generator can't be reused as it is.
cache="$build_dir/CMakeCache.txt"
if [[ -f "$cache" ]] && ! grep -qx 'CMAKE_GENERATOR:INTERNAL=Ninja' "$cache"; then
    echo "$build_dir/ was configured with another generator; configuring it afresh for Ninja."
    rm -rf "$cache" "$build_dir/CMakeFiles"
fi

cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
targets=()
if [[ -n "${BUILD_TARGETS:-}" ]]; then
    read -ra names <<<"$BUILD_TARGETS"
    targets=(--target "${names[@]}")
fi
cmake --build "$build_dir" -j "$(nproc)" "${targets[@]}"
