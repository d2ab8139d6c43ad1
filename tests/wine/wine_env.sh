# shellcheck shell=bash
# Wine and X set-up for the end-to-end tests; source it from bash.
#
#   source tests/wine/wine_env.sh
#   e2e_env_up NAME [LETTERS]  # private Xvfb display, Wine prefix and persistent wineserver;
#                              # LETTERS ("e g") are made CD-ROM drives from the start
#   e2e_wine reg add ...     # any Wine command, with the test environment
#   e2e_drives_apply "e:cdrom:/some/folder g:cdrom:/other i:folder:/third"
#   e2e_run_driver EXE WORKDIR SCRIPT [driver options]
#   e2e_shots_to_png DIR     # the driver's BMP screenshots in DIR as PNG (ImageMagick)
#   e2e_env_down             # stops what e2e_env_up started; keeps the files if E2E_KEEP=1
#   e2e_env_save FILE        # lets another shell use the environment: source this file,
#                            # then FILE
#   e2e_env_use DIR NAME [LETTERS]   # the environment a fixture made in DIR, or a new one
#
# Everything lives under one folder, $E2E_ROOT: /tmp/NAME-e2e.XXXXXX, or $E2E_ROOT_DIR when
# that is set (made afresh).
#
# Every Wine process runs in the locale $E2E_LOCALE, a UTF-8 locale: ja_JP.UTF-8 unless the
# caller sets another before e2e_env_up (en_US.UTF-8 for the runs on an English system). The
# prefix is made in that locale, and e2e_env_save hands it on with the rest.

E2E_WINE=${E2E_WINE:-/usr/lib/wine/wine64}
E2E_WINESERVER=${E2E_WINESERVER:-/usr/lib/wine/wineserver}
E2E_XVFB_PID=
E2E_DRIVE_TYPES= # the CD-ROM letters that Wine's mount manager was started with
E2E_LOCALE=${E2E_LOCALE:-ja_JP.UTF-8}

# Runs a Wine program in the test environment. Wine takes the ANSI code page from the C
# library's locale, or from LC_ALL when that locale does not exist (LANG alone then leaves
# it at 1252), unless the program's manifest asks for one; it takes the encoding of Unix file
# names from the C library alone: without a real UTF-8 locale, names with Japanese characters
# cannot be opened. e2e_locale compiles the locale into the run's folder when the system has
# not generated it.
e2e_wine() {
    LC_ALL=$E2E_LOCALE LANG=$E2E_LOCALE "$E2E_WINE" "$@"
}

# The Windows form of a Unix path: Wine maps Z: to the root.
e2e_winpath() {
    local path=$1
    echo "Z:${path//\//\\}"
}

e2e_log() {
    echo "e2e: $*" >&2
}

# Finds a free X display number from $1 upwards.
e2e_free_display() {
    local number=$1
    while [ -e "/tmp/.X${number}-lock" ] || [ -e "/tmp/.X11-unix/X${number}" ]; do
        number=$((number + 1))
    done
    echo "$number"
}

e2e_locale() {
    local name=${E2E_LOCALE%%.*}
    if locale -a 2>/dev/null | grep -qix "${name}\\.utf-\\?8"; then
        return 0
    fi
    if command -v localedef >/dev/null && [ -e "/usr/share/i18n/locales/$name" ] &&
        localedef -i "$name" -f UTF-8 "$E2E_ROOT/locale/$E2E_LOCALE" >/dev/null 2>&1; then
        export LOCPATH="$E2E_ROOT/locale"
        return 0
    fi
    e2e_log "no $E2E_LOCALE locale (package locales): Japanese file names will not open"
    return 1
}

e2e_env_up() {
    local name=${1:-e2e} cdroms=${2:-} letter
    if [ -n "${E2E_ROOT_DIR:-}" ]; then
        # A folder of the caller's choosing (a CTest fixture in the build tree), made afresh.
        rm -rf "$E2E_ROOT_DIR" && mkdir -p "$E2E_ROOT_DIR" || return 1
        E2E_ROOT=$E2E_ROOT_DIR
    else
        E2E_ROOT=$(mktemp -d "/tmp/${name}-e2e.XXXXXX") || return 1
    fi
    export WINEPREFIX="$E2E_ROOT/prefix"
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    export WINEARCH=win64
    unset WINESERVER
    mkdir -p "$E2E_ROOT/locale"
    e2e_locale

    local number
    number=$(e2e_free_display "${E2E_DISPLAY_NUMBER:-71}")
    Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp >"$E2E_ROOT/xvfb.log" 2>&1 &
    E2E_XVFB_PID=$!
    export DISPLAY=":$number"
    local waited=0
    until [ -e "/tmp/.X11-unix/X${number}" ]; do
        if ! kill -0 "$E2E_XVFB_PID" 2>/dev/null || [ "$waited" -ge 100 ]; then
            e2e_log "Xvfb did not start on :$number (see $E2E_ROOT/xvfb.log)"
            return 1
        fi
        sleep 0.1
        waited=$((waited + 1))
    done

    if ! e2e_wine wineboot -i >"$E2E_ROOT/wineboot.log" 2>&1; then
        e2e_log "wineboot failed (see $E2E_ROOT/wineboot.log)"
        return 1
    fi
    "$E2E_WINESERVER" -w
    # Without a window manager, Wine waits two seconds for one each time a managed window is
    # hidden; unmanaged windows skip that wait.
    {
        printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\r\n'
        printf '"Managed"="N"\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Wine\\Drives]\r\n'
        for letter in $cdroms; do
            printf '"%s:"="cdrom"\r\n' "$letter"
        done
        # Outside a Japanese locale Wine draws captions in a Western font and takes Japanese
        # glyphs from the font it links to, "MS UI Gothic", which is not here: a Japanese
        # title would show as boxes on the screen. The IPA font stands in for it, in the
        # test prefix only.
        case $E2E_LOCALE in
            ja_JP.*) ;;
            *)
                printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
                printf '"MS UI Gothic"="IPAPGothic"\r\n'
                ;;
        esac
    } >"$E2E_ROOT/setup.reg"
    e2e_wine reg import "$(e2e_winpath "$E2E_ROOT/setup.reg")" >/dev/null 2>&1
    "$E2E_WINESERVER" -w
    # The CD-ROM letters exist before the mount manager starts, so that the first scenarios
    # need no restart; e2e_drives_apply points them at the scenario's folders.
    mkdir -p "$E2E_ROOT/no-disc"
    for letter in $cdroms; do
        ln -sfn "$E2E_ROOT/no-disc" "$WINEPREFIX/dosdevices/$letter:"
    done
    e2e_drive_types_set "$(e2e_sorted_letters "$cdroms")"
    e2e_start_server
}

# The persistent server keeps the prefix warm for the whole run. Its output goes to a file:
# a daemon that inherited a pipe of the caller's (CTest reads the tests' output through one)
# would keep the caller waiting for the pipe to close.
#
# The server is what opens files for Wine's programs. Run as root, it would read any file
# whatever its permissions, and a file that a user may not read could not be tested; without
# the two capabilities that override permissions it meets them as a user's programs do.
e2e_start_server() {
    # The comma belongs to setpriv's list of capabilities, not to the array.
    # shellcheck disable=SC2054
    local as_user=(setpriv --bounding-set -dac_override,-dac_read_search)
    # Not root, or not allowed to give capabilities away: the server starts as it is.
    if [ "$(id -u)" != 0 ] || ! "${as_user[@]}" true 2>/dev/null; then
        as_user=()
    fi
    "${as_user[@]}" "$E2E_WINESERVER" -p >>"$E2E_ROOT/wineserver.log" 2>&1
}

# e2e_env_use ENV_DIR NAME [LETTERS]: takes up the environment that tests/wine/fixture.sh made
# in ENV_DIR (a CTest run's), or, when ENV_DIR is empty, makes one of its own (e2e_env_up NAME
# LETTERS) that is taken down when the shell exits.
e2e_env_use() {
    local env_dir=$1
    shift
    if [ -n "$env_dir" ]; then
        # shellcheck source=/dev/null
        source "$env_dir/env.sh"
    else
        trap e2e_env_down EXIT
        e2e_env_up "$@"
    fi
}

# What another shell needs to use this environment: e2e_env_save FILE writes it; sourcing this
# file and then FILE takes it up, and e2e_env_down in that shell stops it.
e2e_env_save() {
    {
        printf 'export E2E_ROOT=%q WINEPREFIX=%q DISPLAY=%q WINEDEBUG=%q\n' \
            "$E2E_ROOT" "$WINEPREFIX" "$DISPLAY" "$WINEDEBUG"
        printf 'export WINEDLLOVERRIDES=%q WINEARCH=%q\n' "$WINEDLLOVERRIDES" "$WINEARCH"
        printf 'E2E_LOCALE=%q\n' "$E2E_LOCALE"
        [ -n "${LOCPATH:-}" ] && printf 'export LOCPATH=%q\n' "$LOCPATH"
        printf 'E2E_XVFB_PID=%q\n' "$E2E_XVFB_PID"
    } >"$1"
}

# The CD-ROM letters that the mount manager knows, kept in a file of the environment so that
# every shell that uses it sees the same.
e2e_drive_types_set() {
    E2E_DRIVE_TYPES=$1
    echo "$1" >"$E2E_ROOT/drive-types"
}
e2e_drive_types() {
    cat "$E2E_ROOT/drive-types" 2>/dev/null || echo "$E2E_DRIVE_TYPES"
}

e2e_sorted_letters() {
    echo "$1" | tr ' ' '\n' | sed '/^$/d' | sort | tr '\n' ' '
}

# Wine's mount manager learns the drive types when it starts, so a change in the set of CD-ROM
# letters needs a restart of the server; pointing a letter at another folder does not.
e2e_restart_server() {
    e2e_stop_server
    e2e_start_server
}

# Ends the server and every Wine process of the prefix, and waits until they are gone.
e2e_stop_server() {
    "$E2E_WINESERVER" -k 2>/dev/null
    "$E2E_WINESERVER" -w 2>/dev/null
}

# $1: space-separated "letter:type:folder" items, type cdrom or folder. Letters c: and z: are
# Wine's own and are never touched; any other letter not named is removed.
e2e_drives_apply() {
    local wanted=$1 item letter type folder cdroms="" dev
    for item in $wanted; do
        IFS=: read -r letter type folder <<<"$item"
        [ "$type" = cdrom ] && cdroms="$cdroms $letter"
    done
    cdroms=$(e2e_sorted_letters "$cdroms")

    for dev in "$WINEPREFIX"/dosdevices/?:; do
        letter=$(basename "$dev" :)
        case $letter in c | z) continue ;; esac
        rm -f "$dev"
    done
    for item in $wanted; do
        IFS=: read -r letter type folder <<<"$item"
        ln -sfn "$folder" "$WINEPREFIX/dosdevices/$letter:"
    done

    if [ "$cdroms" != "$(e2e_drive_types)" ]; then
        local commands="reg delete HKLM\\Software\\Wine\\Drives /f"
        for letter in $cdroms; do
            commands="$commands & reg add HKLM\\Software\\Wine\\Drives /v $letter: /d cdrom /f"
        done
        e2e_wine cmd /c "$commands" >/dev/null 2>&1
        e2e_restart_server
        e2e_drive_types_set "$cdroms"
    fi
}

# Runs the driver: $1 the program, $2 its working folder, $3 the script, then driver options.
# The driver bounds every wait of its own; the time limit here only guards against Wine itself
# hanging. Exit code 124 means the limit was hit: e2e_restart_server then clears what is left.
#
# The program, which the driver starts, inherits a limit on its data (512 MiB; in KiB in
# E2E_DATA_LIMIT). It is built for 32-bit Windows, where it never has more than 2 GiB, but
# under wine64 a check list made to exhaust memory would take the host's memory first.
e2e_run_driver() {
    local exe=$1 workdir=$2 script=$3
    shift 3
    (
        ulimit -d "${E2E_DATA_LIMIT:-524288}" &&
            LC_ALL=$E2E_LOCALE LANG=$E2E_LOCALE timeout -k 5 "${E2E_DRIVER_LIMIT:-180}" \
                "$E2E_WINE" "$E2E_DRIVER" --exe "$exe" --cwd "$workdir" "$@" "$script"
    )
}

e2e_shots_to_png() {
    local bmp
    for bmp in "$1"/*.bmp; do
        [ -e "$bmp" ] || continue
        convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
    done
}

e2e_env_down() {
    if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
        e2e_stop_server
    fi
    if [ -n "$E2E_XVFB_PID" ]; then
        kill "$E2E_XVFB_PID" 2>/dev/null
        wait "$E2E_XVFB_PID" 2>/dev/null
        E2E_XVFB_PID=
    fi
    if [ "${E2E_KEEP:-0}" != 1 ] && [ -n "${E2E_ROOT:-}" ]; then
        rm -rf "$E2E_ROOT"
    fi
}
