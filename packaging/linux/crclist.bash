# shellcheck shell=bash
# Bash completion for crclist(1), installed as share/bash-completion/completions/crclist.
# The subcommands and options are those that the crclist being completed lists in its --help,
# so a new option needs nothing here; only what the values of some options are is known below.

# The disc images that --disc takes besides folders, as an extension pattern for _filedir
# (which adds the upper-case spelling).
_crclist_images='@(iso|img|bin|cue|ccd|mdf|mds|nrg)'

# The entries under HEADING ("Options", "Subcommands", "Positionals") in the help of
# "$@", one a line: the first word (an option's names, separated by commas), then the kind of
# value that an option takes (TEXT, DIR), if it takes one.
_crclist_help() {
    local heading=$1
    shift
    "$@" --help 2>/dev/null | awk -v heading="$heading:" '
        $0 == heading { inside = 1; next }
        /^[^ ]/ { inside = 0 }
        inside && NF { print $1 ($2 ~ /^[A-Z]+$/ ? " " $2 : "") }'
}

_crclist() {
    local cur prev words cword split
    _init_completion -s || return

    # Only --help and --version come before the subcommand, and they take no value.
    local command=("${words[0]}") i
    for ((i = 1; i < cword; i++)); do
        if [[ ${words[i]} != -* ]]; then
            command+=("${words[i]}")
            break
        fi
    done

    local options names kind
    options=$(_crclist_help Options "${command[@]}")
    while read -r names kind; do
        if [[ -n $kind && ",$names," == *",$prev,"* ]]; then
            case $prev in
                --disc) _filedir "$_crclist_images" ;;
                -o | --output) _filedir inf ;;
                --jobs) mapfile -t COMPREPLY < <(compgen -W "auto 1 2 3 4" -- "$cur") ;;
                # NAME=PATH: the path, once the name is written.
                --installed) [[ $cur == *=* ]] && cur=${cur#*=} && _filedir ;;
            esac
            # Other values are texts.
            return
        fi
    done <<<"$options"
    $split && return

    if [[ $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$(sed 's/ .*//; s/,/ /g' <<<"$options")" -- "$cur")
    elif ((${#command[@]} == 1)); then
        local subcommands
        subcommands=$(_crclist_help Subcommands "${command[@]}" | sed 's/ .*//')
        mapfile -t COMPREPLY < <(compgen -W "$subcommands" -- "$cur")
    elif [[ -n $(_crclist_help Positionals "${command[@]}") ]]; then
        # The subcommand's FILE, a check list.
        _filedir inf
    fi
} && complete -F _crclist crclist
