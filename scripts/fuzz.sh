#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillery developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs each libFuzzer target for RUNS inputs, starting from a copy of its
# committed seed inputs, and prints the runs, crashes and seconds of each.
# Configures build-fuzz/ with clang when it is not there yet and brings the
# targets up to date. Exits non-zero when any target finds a crash.
#   bash scripts/fuzz.sh RUNS
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

if [[ $# -ne 1 || ! $1 =~ ^[1-9][0-9]*$ ]]; then
    echo "usage: bash scripts/fuzz.sh RUNS   (RUNS: how many inputs each target tries)" >&2
    exit 64
fi
runs=$1

bash scripts/deps.sh fuzz
if [[ ! -f build-fuzz/CMakeCache.txt ]]; then
    CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DQUILLERY_FUZZ=ON -DQUILLERY_BENCH=OFF
fi
names=()
for source in fuzz/fuzz_*.cpp; do
    name=${source#fuzz/fuzz_}
    names+=("${name%.cpp}")
done
cmake --build build-fuzz --target "${names[@]/#/fuzz_}"

failed=0
for name in "${names[@]}"; do
    target=build-fuzz/fuzz_$name
    # Work on a copy, so the committed seed inputs stay as they are.
    work=$(mktemp -d)
    mkdir -p "$work/corpus" "$work/artifacts"
    [[ -d fuzz/corpus/$name ]] && cp -R "fuzz/corpus/$name/." "$work/corpus/"
    start=$(date +%s%N)
    status=0
    "$target" -runs="$runs" -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$work/artifacts/" "$work/corpus" >"$work/log" 2>&1 || status=$?
    ms=$(( ($(date +%s%N) - start) / 1000000 + 1 ))
    executed=$(grep -oP '^stat::number_of_executed_units:\s*\K[0-9]+' "$work/log" || echo 0)
    crashes=$(find "$work/artifacts" -type f | wc -l)
    printf 'fuzz_%s: %s runs, %s crashes, %d.%03d s (%d runs/s)\n' \
        "$name" "$executed" "$crashes" $((ms / 1000)) $((ms % 1000)) $((executed * 1000 / ms))
    if [[ $status -ne 0 || $crashes -ne 0 ]]; then
        tail -n 40 "$work/log"
        echo "fuzz_$name failed; the inputs that reproduce it are kept in $work/artifacts"
        failed=1
    else
        rm -rf "$work"
    fi
done
exit "$failed"
