# SPDX-FileCopyrightText: 2026 The Quillery developers
# SPDX-License-Identifier: GPL-3.0-or-later
# bash completion for quillery-names.

_quillery_names()
{
    local cur=${COMP_WORDS[COMP_CWORD]} prev=
    ((COMP_CWORD > 0)) && prev=${COMP_WORDS[COMP_CWORD - 1]}
    # With "=" among the word breaks, bash hands over --format=cs as the three
    # words "--format", "=" and "cs"; without it, as one word.
    local prefix=
    if [[ $cur == = ]]; then
        cur=
    elif [[ $prev == = ]] && ((COMP_CWORD > 1)); then
        prev=${COMP_WORDS[COMP_CWORD - 2]}
    elif [[ $cur == --*=* ]]; then
        prev=${cur%%=*}
        prefix=$prev=
        cur=${cur#*=}
    fi

    case $prev in
        --format)
            mapfile -t COMPREPLY < <(compgen -W 'text csv json block' -- "$cur")
            ;;
        --roster|--append|--exclude)
            compopt -o filenames 2>/dev/null
            mapfile -t COMPREPLY < <(compgen -f -- "$cur")
            ;;
        --from|--to|--count|--seed)
            COMPREPLY=()
            ;;
        *)
            mapfile -t COMPREPLY < <(compgen -W '--from --to --count --roster --seed --fictional
                --unique --format --append --exclude --verbose --help -h --version -v' -- "$cur")
            ;;
    esac
    [[ -n $prefix ]] && COMPREPLY=("${COMPREPLY[@]/#/$prefix}")
    return 0
}
complete -F _quillery_names quillery-names
