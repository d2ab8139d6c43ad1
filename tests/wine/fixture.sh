#!/usr/bin/env bash
# The Wine environment of a test run as a CTest fixture: one private Xvfb display, Wine prefix
# and persistent wineserver, made once before the Windows and end-to-end tests and taken down
# after them.
#
#   tests/wine/fixture.sh up DIR [LOCALE]  # makes the environment in DIR, writes DIR/env.sh
#   tests/wine/fixture.sh down DIR         # stops it and removes DIR (E2E_KEEP=1 keeps the files)
#
# LOCALE is the environment's locale, ja_JP.UTF-8 by default (wine_env.sh, E2E_LOCALE). CD-ROM
# drives E: and G: exist from the start, as the end-to-end scenarios expect them.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
action=${1:-}
dir=${2:-}
if [ -z "$dir" ] || { [ "$action" != up ] && [ "$action" != down ]; }; then
    sed -n '7,8p' "$0" >&2
    exit 2
fi
if [ -n "${3:-}" ]; then
    export E2E_LOCALE=$3
fi
# shellcheck source=wine_env.sh
source "$here/wine_env.sh"

case $action in
    up)
        export E2E_ROOT_DIR=$dir
        # Everything the environment starts writes to this log, never to CTest's pipe.
        log=$(mktemp)
        if ! e2e_env_up ctest "e g" >"$log" 2>&1; then
            cat "$log"
            rm -f "$log"
            e2e_env_down
            exit 1
        fi
        mv "$log" "$dir/fixture.log"
        e2e_env_save "$dir/env.sh"
        echo "Wine prefix and display ready in $dir (display $DISPLAY, $E2E_LOCALE)"
        ;;
    down)
        if [ ! -f "$dir/env.sh" ]; then
            exit 0
        fi
        # shellcheck source=/dev/null
        source "$dir/env.sh"
        e2e_env_down
        ;;
esac
