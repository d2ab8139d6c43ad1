#!/usr/bin/env bash
# End-to-end suite: the real program under Wine, driven by e2e_driver.exe through the scenario
# scripts in tests/e2e/scenarios/. See tests/e2e/README.md.
#
#   tests/e2e/run_e2e.sh [BUILD_DIR] [--smoke] [--only PATTERN] [--group FILE] [--keep]
#                        [--env DIR] [--locale LOCALE]
#
# BUILD_DIR is a win64 build folder (default build/win64). --group runs the scenarios of one
# group file; --env uses the Wine environment that tests/wine/fixture.sh made in DIR instead
# of making one (CTest runs each group so); --locale makes that environment in another locale
# than ja_JP.UTF-8, such as en_US.UTF-8. Prints one PASS/FAIL line per scenario and, last,
# "N passed, N failed"; the exit code is 0 only when nothing failed.
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
build=$repo/build/win64
smoke=0
only=
env_dir=
groups=("$here"/scenarios/*.txt)
while [ $# -gt 0 ]; do
    case $1 in
        --smoke) smoke=1 ;;
        --only)
            only=$2
            shift
            ;;
        --group)
            groups=("$2")
            shift
            ;;
        --env)
            env_dir=$2
            shift
            ;;
        --locale)
            export E2E_LOCALE=$2
            shift
            ;;
        --keep) export E2E_KEEP=1 ;;
        -h | --help)
            sed -n '2,13p' "$0"
            exit 0
            ;;
        -*)
            echo "run_e2e.sh: unknown option $1" >&2
            exit 2
            ;;
        *) build=$(cd "$1" && pwd) || exit 2 ;;
    esac
    shift
done

exe=$build/app/sumwarden.exe
export E2E_DRIVER=$build/tests/e2e/e2e_driver.exe
# The scenarios whose list crclist make writes (scenario_tool.py runs it under Wine).
export E2E_CRCLIST=$build/tools/crclist/crclist.exe
for needed in "$exe" "$E2E_DRIVER"; do
    if [ ! -f "$needed" ]; then
        echo "run_e2e.sh: $needed is missing; build the win64 preset first" >&2
        exit 2
    fi
done
for tool in Xvfb python3 iconv /usr/lib/wine/wine64; do
    if ! command -v "$tool" >/dev/null; then
        echo "run_e2e.sh: $tool is missing; run tools/scripts/setup.sh" >&2
        exit 2
    fi
done

# shellcheck source=../wine/wine_env.sh
source "$here/../wine/wine_env.sh"
tool=$here/lib/scenario_tool.py
# The interpreter itself rather than a version manager's shim, which costs a second a call.
python=$(python3 -c 'import sys; print(sys.executable)')
started=$SECONDS
if ! e2e_env_use "$env_dir" e2e "e g"; then
    echo "run_e2e.sh: cannot set up Wine and Xvfb" >&2
    exit 2
fi
echo "e2e: Wine prefix and display ready in $((SECONDS - started)) s ($E2E_ROOT, $E2E_LOCALE)"
# The caption that Wine gives a message box without one of its own is in the language of the
# locale; the scripts name it ${DEFAULT_CAPTION}.
case $E2E_LOCALE in
    ja_JP.*) default_caption=エラー ;;
    en_*) default_caption=Error ;;
    *)
        echo "run_e2e.sh: Wine's caption \"Error\" in $E2E_LOCALE is not known here" >&2
        exit 2
        ;;
esac

# The registry as the program could change it: all of HKCU\Software except Wine's own keys,
# which Wine itself updates while programs run. $1: the file to write; $2: a registry file to
# import first (one Wine start for both). On a loaded machine reg export now and then writes
# nothing at all, which would read as a program that emptied the registry; a real export always
# starts with its header, so an export without one is made again.
registry_state() {
    local out=$1 import=${2:-}
    local commands export_command try
    export_command="reg export HKCU\\Software $(e2e_winpath "$out.raw") /y"
    commands=$export_command
    if [ -n "$import" ]; then
        commands="reg import $(e2e_winpath "$import") & $export_command"
    fi
    for try in 1 2 3; do
        rm -f "$out.raw"
        e2e_wine cmd /c "$commands" >/dev/null 2>&1
        iconv -f UTF-16LE -t UTF-8 "$out.raw" 2>/dev/null |
            awk '/^\[/ { skip = ($0 ~ /^\[HKEY_CURRENT_USER\\Software\\Wine[]\\]/) } !skip' >"$out"
        if grep -q 'Windows Registry Editor' "$out"; then
            return 0
        fi
        echo "registry export $try of 3 came back empty" >&2
        commands=$export_command
    done
    return 1
}

passed=0
failed=0
failures=()
run_scenario() {
    local group=$1 name=$2
    local dir
    dir=$E2E_ROOT/scenarios/$(basename "$group" .txt)/$name
    local log=$dir/driver.log
    rm -rf "$dir"
    mkdir -p "$dir"
    if ! "$python" "$tool" build "$group" "$name" "$dir" >"$dir/build.log" 2>&1; then
        report_failure "$name" "could not build the scenario's files:" "$dir/build.log"
        return
    fi
    # Sets scenario_drives and scenario_watched.
    local scenario_drives scenario_watched
    # shellcheck source=/dev/null
    source "$dir/env.sh"
    e2e_drives_apply "$scenario_drives"
    registry_state "$dir/registry.before" "$dir/registry.reg"
    # shellcheck disable=SC2086
    "$python" "$tool" snapshot "$dir/files.before" $scenario_watched "flat:$(dirname "$exe")"

    touch "$dir/started"
    e2e_run_driver "$exe" "$dir/work" "$dir/script.txt" --shots "$dir" \
        --set "DEFAULT_CAPTION=$default_caption" >"$log" 2>&1
    local status=$?
    if [ "$status" -eq 124 ] || [ "$status" -eq 137 ]; then
        echo "the driver did not finish in time; Wine's server was restarted" >>"$log"
        e2e_restart_server
    fi
    # Anything new in the Windows drive C: (a log, a settings file) is a write as well.
    find "$WINEPREFIX/drive_c" -newer "$dir/started" >"$dir/drive_c.new" 2>/dev/null

    registry_state "$dir/registry.after"
    # shellcheck disable=SC2086
    "$python" "$tool" snapshot "$dir/files.after" $scenario_watched "flat:$(dirname "$exe")"
    local written=
    if ! diff -u "$dir/files.before" "$dir/files.after" >"$dir/files.diff"; then
        written="files changed:"$'\n'$(cat "$dir/files.diff")
    fi
    if [ -s "$dir/drive_c.new" ]; then
        written="$written"$'\n'"new or changed in drive C:"$'\n'$(cat "$dir/drive_c.new")
    fi
    if ! diff -u "$dir/registry.before" "$dir/registry.after" >"$dir/registry.diff"; then
        written="$written"$'\n'"registry changed:"$'\n'$(cat "$dir/registry.diff")
    fi
    if [ "$status" -eq 0 ] && [ -z "$written" ]; then
        echo "PASS $name"
        passed=$((passed + 1))
    elif [ "$status" -eq 0 ]; then
        echo "$written" >"$dir/written.txt"
        report_failure "$name" "the program wrote something:" "$dir/written.txt"
    else
        report_failure "$name" "driver exit code $status:" "$log"
    fi
}

report_failure() {
    local name=$1 why=$2 details=$3
    echo "FAIL $name"
    echo "    $why"
    sed 's/^/    | /' "$details"
    failed=$((failed + 1))
    failures+=("$name")
}

while IFS=$'\t' read -r group name tags; do
    if [ "$smoke" = 1 ] && [[ ",$tags," != *,smoke,* ]]; then
        continue
    fi
    if [ -n "$only" ] && [[ "$name" != *"$only"* ]]; then
        continue
    fi
    run_scenario "$group" "$name"
done < <("$python" "$tool" list "${groups[@]}")

echo "e2e: $((SECONDS - started)) s in all"
for name in "${failures[@]}"; do
    echo "e2e: failed: $name"
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
