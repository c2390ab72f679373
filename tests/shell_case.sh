#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillery developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs one command line the way a shell user would: the script in $1 runs
# under bash in a fresh folder, with $P the program given in $2 and $T the
# folder. Prints the script's output, then "exit N" with its exit status.
set -u
T=$(mktemp -d) || exit 1
trap 'rm -rf "$T"' EXIT
export P=$2 T
(cd "$T" && bash -c "$1") 2>&1
echo "exit $?"
