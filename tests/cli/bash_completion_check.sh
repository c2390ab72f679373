#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillery developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Loads the bash completion of quillery-names into a non-interactive bash and
# completes command lines with the function it registered, as Tab would.
#   bash bash_completion_check.sh COMPLETION_FILE
source "$1"
registered=$(complete -p quillery-names) || exit 1
function=${registered#*-F }
function=${function%% *}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" && touch roster.txt notes.txt && mkdir league

failures=0
# The offers expected, sorted | the words before | the word being completed.
# The "=" words are how bash splits --option=value when "=" breaks words.
while IFS='|' read -r expected before current; do
    read -ra COMP_WORDS <<<"$before"
    COMP_WORDS+=("$current")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    "$function" quillery-names "$current" "${COMP_WORDS[COMP_CWORD - 1]}"
    offered=$(printf '%s\n' "${COMPREPLY[@]}" | sort | paste -sd ' ')
    if [[ $offered != "$expected" ]]; then
        echo "'$before $current': expected '$expected', offered '$offered'"
        failures=$((failures + 1))
    fi
done <<'CASES'
--fictional --format --from|quillery-names|--f
--unique|quillery-names --count 3|--u
--verbose --version|quillery-names -h|--ve
block csv json text|quillery-names --format|
csv|quillery-names --format|c
csv|quillery-names --format =|c
block csv json text|quillery-names --format|=
--format=json|quillery-names|--format=j
league notes.txt roster.txt|quillery-names --roster|
roster.txt|quillery-names --append|r
roster.txt|quillery-names --append =|r
--append=notes.txt|quillery-names|--append=n
--exclude|quillery-names --unique|--ex
notes.txt|quillery-names --exclude|n
|quillery-names --count|
|quillery-names --seed|
CASES
exit $((failures > 0))
