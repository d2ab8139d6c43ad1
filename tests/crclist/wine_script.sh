# shellcheck shell=bash
# The start that the Wine checks of crclist.exe share (wine_lists.sh, wine_verify.sh):
#
#   source tests/crclist/wine_script.sh NAME LETTERS [BUILD_DIR] [--env DIR]
#
# BUILD_DIR is a win64 build folder (default build/win64); exe is its crclist.exe. --env takes
# up the Wine environment that tests/wine/fixture.sh made in DIR (CTest runs the checks so);
# without it a private one is made, with LETTERS ("e g", or "") as CD-ROM drives, and taken
# down when the script exits. Returns non-zero when there is no crclist.exe or no Wine.
wine_script_name=$1
wine_script_letters=$2
shift 2
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=$root/build/win64
env_dir=
while [ $# -gt 0 ]; do
    case $1 in
        --env)
            env_dir=$2
            shift
            ;;
        *) build=$1 ;;
    esac
    shift
done
build=$(cd "$build" && pwd) || return 1
exe=$build/tools/crclist/crclist.exe
if [ ! -f "$exe" ]; then
    echo "$wine_script_name: no $exe: build the win64 preset first" >&2
    return 1
fi
# check NAME ok|failed [DETAIL]: counts one check of wine_verify.sh and wine_any_locale.sh, and
# tells a failed one with what it saw.
passed=0
failed=0
check() {
    if [ "$2" = ok ]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAILED: $1" >&2
        [ -n "${3:-}" ] && echo "$3" >&2
    fi
}

# shellcheck source=../wine/wine_env.sh
source "$root/tests/wine/wine_env.sh"
e2e_env_use "$env_dir" "$wine_script_name" "$wine_script_letters" || return 1
