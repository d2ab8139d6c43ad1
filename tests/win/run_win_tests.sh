#!/usr/bin/env bash
# Runs the Windows test programs (the application shell with its registry access, and the three
# dialogs) under wine64 on a private X display, in one Wine prefix. Two folders are set up as the
# CD-ROM drives E: and G:, and one as the plain folder drive F:, so that the drive list has
# something to show and something to leave out.
#
#   tests/win/run_win_tests.sh [BUILD_DIR]     (default build/win64)
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build/win64}
programs=(sumwarden_app_tests sumwarden_dialog_tests)
for program in "${programs[@]}"; do
    if [ ! -f "$build/tests/win/$program.exe" ]; then
        echo "no test program at $build/tests/win/$program.exe: build the win64 preset first" >&2
        exit 1
    fi
done

source "$root/tests/e2e/lib/wine_env.sh"
trap e2e_env_down EXIT
e2e_env_up wintests || exit 1
mkdir -p "$E2E_ROOT/disc-e" "$E2E_ROOT/disc-g" "$E2E_ROOT/folder-f"
e2e_drives_apply "e:cdrom:$E2E_ROOT/disc-e f:folder:$E2E_ROOT/folder-f g:cdrom:$E2E_ROOT/disc-g"

status=0
for program in "${programs[@]}"; do
    # The dialog tests are told which CD-ROM letters to expect in the drive list.
    args=()
    [ "$program" = sumwarden_dialog_tests ] && args=(EG)
    e2e_wine "$build/tests/win/$program.exe" "${args[@]}" || status=1
done
exit $status
