#!/usr/bin/env bash
# tools/bench/bench_seeking.sh: how fast `crclist verify` reads a medium that seeks, against one
# sequential reader of the same data through the same simulated drive (slow_medium.c: one
# request at a time, 40 MB/s, 60 ms for a request that does not go on where the last one
# ended). Cases: a folder of 12 files of 6 MiB (the reader: dd of each file in list order), and
# an .iso and a raw MODE1 .bin of that folder (the reader: dd of the image from start to end),
# every run out of the page cache. Target: at least 0.9 times the reader's speed. Prints one
# table with the processor's name; exit code 1 when a target is missed.
#
#   tools/bench/bench_seeking.sh          SLOW_MEDIUM_MBPS, SLOW_MEDIUM_SEEK_MS change the drive
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
runs=3

(cd "$root" && cmake --preset release >/dev/null &&
    cmake --build --preset release --target crclist -j 2 >/dev/null)
crclist=${CRCLIST:-$root/build/release/tools/crclist/crclist}

work=$(mktemp -d "${TMPDIR:-/tmp}/bench-seeking.XXXXXX")
trap 'rm -rf "$work"' EXIT
cc -shared -fPIC -O2 -o "$work/slow_medium.so" "$root/tools/bench/slow_medium.c" -ldl -lpthread

# The files, each written whole before the next, as a disc's files lie one after another.
mkdir "$work/disc"
for i in $(seq -w 1 12); do
    head -c $((6 << 20)) /dev/urandom >"$work/disc/FILE$i.DAT"
    sync "$work/disc/FILE$i.DAT"
done
"$crclist" make -o "$work/list.INF" --title Bench --disc "$work/disc" --prompt Disc
xorriso -as mkisofs -quiet -J -o "$work/disc.iso" "$work/disc" 2>/dev/null
python3 "$root/tests/crclist/image_forms.py" "$work/disc.iso" "$work" >/dev/null
mkdir "$work/medium"
mv "$work/disc" "$work/disc.iso" "$work/disc-bin-cue.bin" "$work/medium/"
medium=$work/medium
raw=$medium/disc-bin-cue.bin

# Out of the page cache: every file of the medium, written out and dropped.
evict() {
    python3 - "$medium" <<'EOF'
import os, sys
for folder, _, names in os.walk(sys.argv[1]):
    for name in names:
        fd = os.open(os.path.join(folder, name), os.O_RDONLY)
        os.fsync(fd)
        os.posix_fadvise(fd, 0, 0, os.POSIX_FADV_DONTNEED)
        os.close(fd)
EOF
}

# The median of `runs` timings of the command, in seconds, each through the drive and cold.
timed() {
    local times=() run start end
    for ((run = 0; run < runs; run++)); do
        evict
        start=$(date +%s.%N)
        SLOW_MEDIUM_DIR=$medium LD_PRELOAD=$work/slow_medium.so "$@" >/dev/null 2>&1 || {
            echo "bench: failed: $*" >&2
            exit 1
        }
        end=$(date +%s.%N)
        times+=("$(echo "$end - $start" | bc)")
    done
    printf '%s\n' "${times[@]}" | sort -n | sed -n "$((runs / 2 + 1))p"
}

# shellcheck disable=SC2317  # called through timed
dd_files() {
    local file
    for file in "$@"; do
        dd if="$file" of=/dev/null bs=1M status=none
    done
}

cpu=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -1)
echo "Simulated drive: one request at a time, ${SLOW_MEDIUM_MBPS:-40} MB/s, ${SLOW_MEDIUM_SEEK_MS:-60} ms a seek; $cpu"
echo
echo "| case | crclist | one sequential reader | ratio | target |"
echo "|---|---|---|---|---|"
status=0
row() {
    local name=$1 ours=$2 theirs=$3 ratio
    ratio=$(echo "scale=2; $theirs / $ours" | bc)
    printf '| %s | %.2f s | %.2f s | %s | at least 0.9 |\n' "$name" "$ours" "$theirs" "$ratio"
    if (($(echo "$ratio < 0.9" | bc))); then
        status=1
    fi
}
mapfile -t files < <(find "$medium/disc" -type f | sort)
row "folder, 12 files of 6 MiB" \
    "$(timed "$crclist" verify --quiet --disc "$medium/disc" "$work/list.INF")" \
    "$(timed dd_files "${files[@]}")"
row ".iso of the folder" \
    "$(timed "$crclist" verify --quiet --disc "$medium/disc.iso" "$work/list.INF")" \
    "$(timed dd_files "$medium/disc.iso")"
row "raw MODE1 .bin of the folder" \
    "$(timed "$crclist" verify --quiet --disc "$raw" "$work/list.INF")" \
    "$(timed dd_files "$raw")"
exit "$status"
