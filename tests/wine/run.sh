#!/usr/bin/env bash
# Runs a Windows test program under wine64 in the run's environment (fixture.sh up): the
# CMAKE_CROSSCOMPILING_EMULATOR of the win64 build.
#
#   tests/wine/run.sh ENV_DIR PROGRAM.exe [ARGS...]
#
# Before each program the drives are set back to the environment's own: E: and G: are CD-ROM
# drives, F: a plain folder, each an empty folder of the environment, since tests that went
# before may have mapped other folders.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
dir=${1:-}
if [ -z "$dir" ] || [ $# -lt 2 ]; then
    sed -n '5p' "$0" >&2
    exit 2
fi
shift
if [ ! -f "$dir/env.sh" ]; then
    echo "run.sh: no Wine environment in $dir (the fixture test wine.up sets it up)" >&2
    exit 1
fi
# shellcheck source=wine_env.sh
source "$here/wine_env.sh"
# shellcheck source=/dev/null
source "$dir/env.sh"

mkdir -p "$E2E_ROOT/disc-e" "$E2E_ROOT/disc-g" "$E2E_ROOT/folder-f"
e2e_drives_apply "e:cdrom:$E2E_ROOT/disc-e f:folder:$E2E_ROOT/folder-f g:cdrom:$E2E_ROOT/disc-g"

# The program's output goes through a file: a Wine process that outlives the program would
# otherwise hold CTest's pipe open and keep the test from ending.
log=$(mktemp)
e2e_wine "$@" >"$log" 2>&1
status=$?
cat "$log"
rm -f "$log"
exit $status
