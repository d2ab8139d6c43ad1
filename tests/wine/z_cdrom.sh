#!/usr/bin/env bash
# Runs a Windows test program in a Wine environment of its own in which Z: is a CD-ROM drive,
# made for this one run and taken down after it.
#
#   tests/wine/z_cdrom.sh DIR PROGRAM.exe [ARGS...]
#
# The run's shared environment cannot have that: Z: is Wine's way to the Unix root there, and
# every path of the harness goes through it. Here A:, E: and Z: (both ends of the alphabet) are
# CD-ROM drives without a disc, and the Unix root, through which Wine finds the program, is Y:,
# a plain drive.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
dir=${1:-}
if [ -z "$dir" ] || [ $# -lt 2 ]; then
    sed -n '5p' "$0" >&2
    exit 2
fi
shift
# shellcheck source=wine_env.sh
source "$here/wine_env.sh"
# Wine takes only an absolute prefix.
E2E_ROOT_DIR=$(realpath -m "$dir")
export E2E_ROOT_DIR

# Everything Wine writes goes through a file, never to CTest's pipe: a Wine process that
# outlives the program would hold the pipe open and keep the test from ending.
log=$(mktemp)
trap 'e2e_env_down >/dev/null 2>&1; rm -f "$log"' EXIT
if ! e2e_env_up z-cdrom "a e z" >"$log" 2>&1; then
    cat "$log"
    exit 1
fi
ln -sfn / "$WINEPREFIX/dosdevices/y:"
e2e_wine "$@" >"$log" 2>&1
status=$?
cat "$log"
exit $status
