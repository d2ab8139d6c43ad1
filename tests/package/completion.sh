#!/usr/bin/env bash
# tests/package/completion.sh CRCLIST COMPLETION: what the bash completion COMPLETION offers
# for crclist's command lines, with CRCLIST as the crclist being completed, in a folder of
# check lists, images and other files.
set -uo pipefail
crclist=$1
completion=$2
# shellcheck source=/dev/null
source /usr/share/bash-completion/bash_completion || exit 2
# shellcheck source=../../packaging/linux/crclist.bash
source "$completion" || exit 2
PATH=$(cd "$(dirname "$crclist")" && pwd):$PATH
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 2
mkdir disc1
touch crclist.INF old.inf notes.txt disc.iso disc.nrg

# The words offered for the line $1, ending where the cursor is, one a line, sorted.
offered() {
    COMP_LINE=$1
    COMP_POINT=${#1}
    read -ra COMP_WORDS <<<"$1"
    [[ $1 == *' ' ]] && COMP_WORDS+=('')
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _crclist
    printf '%s\n' "${COMPREPLY[@]}" | sed '/^$/d' | sort
}

status=0
# line | words that must be offered | words that must not
while IFS='|' read -r line wanted unwanted; do
    words=$(offered "$line")
    for word in $wanted; do
        if ! grep -qxF -- "$word" <<<"$words"; then
            echo "'$line': $word not offered, only: $(tr '\n' ' ' <<<"$words")"
            status=1
        fi
    done
    for word in $unwanted; do
        if grep -qxF -- "$word" <<<"$words"; then
            echo "'$line': $word offered"
            status=1
        fi
    done
done <<'EOF_CASES'
crclist |dump lint make update verify|--help crclist.INF
crclist --|--help --version|verify
crclist verify --|--disc --json --quiet --verbose --installed|--strict --title
crclist make --|--output --title --disc --prompt --exclude --force|--json
crclist verify --disc |disc1 disc.iso disc.nrg|crclist.INF notes.txt
crclist update crclist.INF --disc |disc1 disc.iso|notes.txt
crclist verify --json |crclist.INF old.inf disc1|notes.txt disc.iso disc.nrg --json
crclist lint --strict |crclist.INF|notes.txt
crclist make -o |crclist.INF|notes.txt
crclist make --title ||crclist.INF disc1 dump
crclist make --installed Main=|notes.txt disc.iso|
crclist verify --installed |crclist.INF|notes.txt
crclist verify --jobs |auto 1|crclist.INF --json
crclist make ||crclist.INF dump
EOF_CASES
exit "$status"
