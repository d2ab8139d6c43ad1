#!/usr/bin/env bash
# tests/package/manual_options.sh CRCLIST PAGE: the manual page PAGE (crclist.1.gz) defines
# exactly the options that CRCLIST's help lists: those of "crclist --help" under OPTIONS, and
# those of "crclist SUB --help" in the section "crclist SUB", one for each subcommand.
set -euo pipefail
crclist=$1
page=$(zcat "$2")
status=0

# The entries under HEADING in the help of "crclist $@", one name a line.
help_entries() {
    local heading=$1
    shift
    "$crclist" "$@" --help | awk -v heading="$heading:" '
        $0 == heading { inside = 1; next }
        /^[^ ]/ { inside = 0 }
        inside && NF { n = split($1, names, ","); for (i = 1; i <= n; i++) print names[i] }'
}

# The options that the page's section headed by the roff line $1 defines: those on the
# lines that start with a bold option, as scdoc writes "*--disc* _DIR_".
page_options() {
    awk -v head="$1" '$0 == head { inside = 1; next } /^\.S[HS] / { inside = 0 }
        inside && /^\\fB-/' <<<"$page" | grep -oE '\\fB-[-A-Za-z0-9]*\\fR' | sed 's/^\\fB//; s/\\fR$//'
}

# Fails unless the two lists, named by $1 and $3, hold the same names.
same() {
    if ! diff -u --label "$1" <(sort -u <<<"$2") --label "$3" <(sort -u <<<"$4"); then
        status=1
    fi
}

global=$(help_entries Options)
same "crclist --help" "$global" "page: OPTIONS" "$(page_options '.SH OPTIONS')"
subcommands=$(help_entries Subcommands)
same "crclist --help: subcommands" "$subcommands" "page: sections of COMMANDS" \
    "$(sed -n 's/^\.SS crclist //p' <<<"$page")"
for subcommand in $subcommands; do
    # The options that every subcommand shares with crclist itself (--help) are told once.
    same "crclist $subcommand --help" "$(help_entries Options "$subcommand" | grep -vxF -- "$global")" \
        "page: crclist $subcommand" "$(page_options ".SS crclist $subcommand")"
done
exit "$status"
