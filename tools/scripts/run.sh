#!/usr/bin/env bash
# Runs Sumwarden on the bundled sample title under Wine, from a fresh machine.
#
#   tools/scripts/run.sh         with $DISPLAY: the program opens on your display and you use
#                                it; without one: the walk-through runs headless and saves
#                                screenshots
#   tools/scripts/run.sh --tour  the headless walk-through even when a display is there
#   tools/scripts/run.sh --locale en_US.UTF-8 [--tour]   the same on an English system
#
# It installs what is missing, builds the win64 preset, makes the sample title in build/sample
# (two discs, the installed files, crclist.INF, the registry values), sets up a private Wine
# prefix with the discs as CD-ROM drive E: and the title's registry key, and runs
# build/win64/app/sumwarden.exe in build/sample with a Japanese locale, or the one that
# --locale names (the prefix is made in it; the program's manifest still gives the program code
# page 932, as on Windows 11). The headless walk-through prints every window the program shows,
# with its caption and texts, and the exit codes, and leaves PNG pictures in build/screenshots.
# Everything it starts is stopped at the end.
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD

tour=0
[ -n "${DISPLAY:-}" ] || tour=1
while [ $# -gt 0 ]; do
    case $1 in
        --tour) tour=1 ;;
        --locale)
            export E2E_LOCALE=${2:-}
            shift
            ;;
        *)
            echo "usage: tools/scripts/run.sh [--tour] [--locale LOCALE]" >&2
            exit 2
            ;;
    esac
    shift
done

bash tools/scripts/setup.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j 2
exe=$root/build/win64/app/sumwarden.exe
driver=$root/build/win64/tests/e2e/e2e_driver.exe

sample=$root/build/sample
echo "run: making the sample title in build/sample"
python3 sample/make_sample.py "$sample"

# The Wine and X set-up of the end-to-end tests: private prefix and display, the locale,
# CD-ROM drives, the driver.
# shellcheck source=../../tests/wine/wine_env.sh
source tests/wine/wine_env.sh
export E2E_DRIVER=$driver
export E2E_DISPLAY_NUMBER=${E2E_DISPLAY_NUMBER:-81}
user_display=${DISPLAY:-}
reader_pid=
cleanup() {
    set +e
    if [ -n "$reader_pid" ]; then kill "$reader_pid" 2>/dev/null; fi
    e2e_env_down
}
trap cleanup EXIT
trap 'exit 130' INT TERM

echo "run: making a private Wine prefix"
e2e_env_up tour || {
    echo "run: cannot set up Wine and Xvfb" >&2
    exit 1
}

# Disc 1 in drive E:, the installed files at C:\Games\HoshifuruOka.
insert_disc() { e2e_drives_apply "e:cdrom:$sample/$1"; }
install_files() {
    mkdir -p "$WINEPREFIX/drive_c/Games"
    ln -sfn "$sample/$1" "$WINEPREFIX/drive_c/Games/HoshifuruOka"
}
install_files installed

# Wine's own fonts (fonts-wine) are not found in their data folder by this Wine build, and the
# caption buttons need Marlett: the prefix gets a link to it.
ln -sf /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/marlett.ttf"

# Registry, as UTF-16 .reg files so that the Japanese font names survive whatever the locale:
# the dialog font "ＭＳ Ｐゴシック" and its relatives drawn with the IPA fonts, smooth text,
# and for the headless run a Wine desktop window, which draws title bars where there is no
# window manager. On a real display the window manager does that, and manages Wine's windows.
env_reg=$E2E_ROOT/run-environment.reg
python3 - "$env_reg" "$tour" <<'PYTHON'
import sys

path, tour = sys.argv[1], sys.argv[2] == "1"
lines = ["Windows Registry Editor Version 5.00", ""]
lines.append(r"[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]")
for name, font in (("ＭＳ Ｐゴシック", "IPAPGothic"), ("MS PGothic", "IPAPGothic"),
                   ("MS UI Gothic", "IPAPGothic"), ("ＭＳ ゴシック", "IPAGothic"),
                   ("MS Gothic", "IPAGothic")):
    lines.append('"%s"="%s"' % (name, font))
lines += ["", r"[HKEY_CURRENT_USER\Control Panel\Desktop]", '"FontSmoothing"="2"',
          '"FontSmoothingType"=dword:00000002', '"FontSmoothingGamma"=dword:00000578']
if tour:
    lines += ["", r"[HKEY_CURRENT_USER\Software\Wine\Explorer]", '"Desktop"="Default"',
              "", r"[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]", '"Default"="1024x768"']
else:
    lines += ["", r"[HKEY_CURRENT_USER\Software\Wine\X11 Driver]", '"Managed"=-']
open(path, "wb").write(("\r\n".join(lines) + "\r\n").encode("utf-16"))
PYTHON
reg_imports="reg import $(e2e_winpath "$env_reg")"
reg_imports+=" & reg import $(e2e_winpath "$sample/sample.reg")"
e2e_wine cmd /c "$reg_imports" >/dev/null 2>&1
# Making E: a CD-ROM drive restarts Wine's services, which then read the settings above.
insert_disc disc1

if ! ((tour)); then
    # The set-up ran on the harness's own Xvfb; restart the services on the user's display.
    export DISPLAY=$user_display
    e2e_restart_server
    echo "run: starting Sumwarden on $DISPLAY (disc 1 is in drive E:)"
    cd "$sample"
    e2e_wine "$exe" &
    program_pid=$!
    if [ -t 0 ]; then
        echo "run: when Sumwarden asks for disc 2, press Enter here to put it into drive E:"
        while kill -0 "$program_pid" 2>/dev/null; do
            if read -r -t 1; then
                insert_disc disc2
                echo "run: disc 2 is in drive E:"
                break
            fi
        done
    fi
    code=0
    wait "$program_pid" || code=$?
    echo "run: Sumwarden ended with exit code $code (1: the check succeeded, 0: it did not)"
    exit 0
fi

# Headless walk-through. The driver's `screenshot NAME` writes NAME.bmp into the shots folder.
# Each of those names is made a FIFO beforehand, so the driver's write waits until this side
# has taken its picture of the root window (title bars included) and drains the FIFO. The
# moment of the next-disc prompt's picture is also when disc 2 goes into the drive.
shots_dir=$E2E_ROOT/shots
raw_dir=$E2E_ROOT/raw
out_dir=$root/build/screenshots
mkdir -p "$shots_dir" "$raw_dir" "$out_dir"
rm -f "$out_dir"/*.png

serve_shots() {
    # A reader that stopped early would leave the driver waiting on its FIFO: never stop early.
    set +e
    local name
    for name in "$@"; do
        exec 3<"$shots_dir/$name.bmp"
        import -window root "$raw_dir/$name.png"
        if [ "$name" = 04-next-disc ]; then
            insert_disc disc2
        fi
        cat <&3 >/dev/null
        exec 3<&-
    done
}

run_tour() {
    local script=$1
    local names name status=0
    mapfile -t names < <(awk '$1 == "screenshot" { print $2 }' "$script")
    for name in "${names[@]}"; do
        rm -f "$shots_dir/$name.bmp"
        mkfifo "$shots_dir/$name.bmp"
    done
    serve_shots "${names[@]}" &
    reader_pid=$!
    e2e_run_driver "$exe" "$sample" "$script" --shots "$shots_dir" || status=$?
    kill "$reader_pid" 2>/dev/null || true
    wait "$reader_pid" 2>/dev/null || true
    reader_pid=
    return "$status"
}

failed=0
tour_part() {
    local title=$1 script=$2 code=$3
    echo
    echo "=== $title"
    if run_tour "$root/tests/e2e/tours/$script"; then
        echo "=== sumwarden.exe ended with exit code $code, as expected"
    else
        echo "=== FAILED: tests/e2e/tours/$script (the driver's report is above)"
        failed=1
    fi
}

tour_part "CD/DVD check of both discs, then the installed files" walkthrough.tour 1
insert_disc disc1-damaged
tour_part "Disc 1 with a missing file" damaged-disc.tour 0
insert_disc disc1
install_files installed-damaged
tour_part "An installed file with one byte changed" damaged-installed.tour 0
install_files installed

# Crop each picture to the windows on it, with a margin of the desktop's colour.
echo
for raw in "$raw_dir"/*.png; do
    [ -e "$raw" ] || continue
    background=$(convert "$raw" -format '%[pixel:p{0,0}]' info:)
    convert "$raw" -trim +repage -bordercolor "$background" -border 12 "$out_dir/$(basename "$raw")"
    echo "screenshot: build/screenshots/$(basename "$raw")"
done

if ((failed)); then
    echo "run: the walk-through FAILED"
    exit 1
fi
echo "run: the walk-through passed"
