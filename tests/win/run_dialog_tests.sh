#!/usr/bin/env bash
# Runs the dialog behaviour tests under wine64 on a private X display, with two folders set
# up as the CD-ROM drives E: and G: so that the drive list has something to show.
#
#   tests/win/run_dialog_tests.sh [BUILD_DIR]     (default build/win64)
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build/win64}
exe="$build/tests/win/sumwarden_dialog_tests.exe"
if [ ! -f "$exe" ]; then
    echo "no test program at $exe: build the win64 preset first" >&2
    exit 1
fi

source "$root/tests/e2e/lib/wine_env.sh"
trap e2e_env_down EXIT
e2e_env_up dialogs || exit 1
mkdir -p "$E2E_ROOT/disc-e" "$E2E_ROOT/disc-g" "$E2E_ROOT/folder-f"
e2e_drives_apply "e:cdrom:$E2E_ROOT/disc-e f:folder:$E2E_ROOT/folder-f g:cdrom:$E2E_ROOT/disc-g"
e2e_wine "$exe" EG
