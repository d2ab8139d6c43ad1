#!/usr/bin/env bash
# tools/bench/bench_verify.sh: how fast `crclist verify` is, each case beside what it is held to,
# in one table with the processor's name and whether each target is met:
#   - a 1 GiB file in the page cache, against dd bs=1M of the same file (at least 0.85 times),
#     with the speed of crclist's CRC on data in a core's cache, the ceiling of any reading;
#   - the same file not in the page cache, against dd of it, each run after the file was
#     dropped from the cache (at least 0.95 times);
#   - 20,000 files of 1 to 64 KiB in 200 folders, against the faster of rhash -r --crc32 and
#     cksfv (at least 2 times), and with the list in upper case over lower-case names, against
#     the same list in the files' own case (at most 1.2 times the time);
#   - a 1 GiB .iso and its raw MODE1 .bin, against dd of the image (at least 0.8 and 0.7 times);
#   - the peak memory of crclist over every run (at most 16 MiB), also as on a processor whose
#     second-level cache is 4 MiB (cache_size.c, preloaded).
# Builds crclist with the release preset (or takes $CRCLIST), installs the missing peers, makes
# about 4 GB of files under $TMPDIR, and times each tool five times, turn about, taking the
# median. Before each run in the page cache the files are read once, untimed, so that every
# tool finds them there (some systems drop idle pages). Exit code 1 when a target is missed.
# Nothing else should load the machine meanwhile.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
runs=5

missing=()
for pair in 7zip:7zz rhash:rhash cksfv:cksfv time:/usr/bin/time xorriso:xorriso; do
    command -v "${pair#*:}" >/dev/null || missing+=("${pair%%:*}")
done
if ((${#missing[@]})); then
    echo "bench: installing ${missing[*]}" >&2
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get update -qq
    "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

(cd "$root" && cmake --preset release >/dev/null &&
    cmake --build --preset release --target crc_in_cache -j 2 >/dev/null)
crclist=${CRCLIST:-$root/build/release/tools/crclist/crclist}
if [ -z "${CRCLIST:-}" ]; then
    (cd "$root" && cmake --build --preset release --target crclist -j 2 >/dev/null)
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/bench-verify.XXXXXX")
trap 'rm -rf "$work"' EXIT
cc -shared -fPIC -O2 -o "$work/cache_size.so" "$root/tools/bench/cache_size.c" -ldl
echo "bench: making the files in $work" >&2

# The 1 GiB file, its list, and its disc images.
mkdir "$work/disc"
big=$work/disc/BENCH.BIN
head -c "$((1024 * 1024 * 1024))" /dev/urandom >"$big"
python3 - "$big" "$work/big.INF" <<'EOF'
import sys, zlib
crc, size = 0, 0
with open(sys.argv[1], "rb") as data:
    for block in iter(lambda: data.read(1 << 20), b""):
        crc, size = zlib.crc32(block, crc), size + len(block)
with open(sys.argv[2], "w", newline="") as out:
    out.write("[CDFILES]\r\nBENCH.BIN, %d, %08X\r\n" % (size, crc))
EOF
xorriso -as mkisofs -quiet -J -o "$work/disc.iso" "$work/disc" 2>/dev/null
# The same sectors as raw MODE1 sectors of 2352 bytes: sync, address, mode, data; EDC and ECC
# zero, as crclist does not check them.
python3 - "$work/disc.iso" "$work/disc.bin" <<'EOF'
import sys
def bcd(value):
    return value // 10 * 16 + value % 10
with open(sys.argv[1], "rb") as plain, open(sys.argv[2], "wb") as raw:
    sector = 0
    for block in iter(lambda: plain.read(2048 * 512), b""):
        out = bytearray()
        for at in range(0, len(block), 2048):
            address = sector + 150
            out += b"\0" + b"\xff" * 10 + b"\0"
            out += bytes((bcd(address // 4500), bcd(address // 75 % 60), bcd(address % 75), 1))
            out += block[at:at + 2048] + bytes(288)
            sector += 1
        raw.write(out)
EOF

# 20,000 files of 1 to 64 KiB in 200 folders, lower-case names; the list in their own case
# and in upper case.
python3 - "$work/small" "$work/exact.INF" "$work/upper.INF" <<'EOF'
import os, random, sys, zlib
root, exact_list, upper_list = sys.argv[1:4]
random.seed(17)
exact, upper = [], []
for folder in range(200):
    os.makedirs(os.path.join(root, "dir%03d" % folder))
    for file in range(100):
        data = os.urandom(random.randint(1024, 65536))
        name = "dir%03d\\file%03d.dat" % (folder, file)
        with open(os.path.join(root, name.replace("\\", "/")), "wb") as out:
            out.write(data)
        numbers = ", %d, %08X\r\n" % (len(data), zlib.crc32(data))
        exact.append(name + numbers)
        upper.append(name.upper() + numbers)
for path, lines in ((exact_list, exact), (upper_list, upper)):
    with open(path, "w", newline="") as out:
        out.write("[CDFILES]\r\n" + "".join(lines))
EOF
sync

# Arithmetic in floating point: calc EXPRESSION prints its value.
calc() {
    awk "BEGIN { print ($1) }"
}

# Reads what is given once, so that it is all in the page cache; `evict` drops it from there.
warm() {
    find "$@" -type f -exec cat {} + >/dev/null
}
evict() {
    local file
    for file in "$@"; do
        dd if="$file" iflag=nocache count=0 status=none
    done
}

# One timed run: `timed NAME COMMAND...` adds its wall-clock seconds to $work/times.NAME; its
# output is discarded, its failure fatal.
timed() {
    local name=$1 start end
    shift
    start=$EPOCHREALTIME
    "$@" >/dev/null 2>&1 || {
        echo "bench: failed: $*" >&2
        exit 1
    }
    end=$EPOCHREALTIME
    calc "$end - $start" >>"$work/times.$name"
}
# shellcheck disable=SC2317 # it runs through timed
crclist_run() {
    "$crclist" verify --quiet "$@"
}
# cksfv on every file below $1, as many to a call as a command line takes.
# shellcheck disable=SC2317 # it runs through timed
cksfv_all() {
    find "$1" -type f -print0 | xargs -0 cksfv -b
}
# The peak memory (KiB) of one more run of crclist verify, untimed, added to $work/peaks; run
# through ${preload[@]} when it is set.
preload=()
peak() {
    /usr/bin/time -f %M -o "$work/peak" "${preload[@]}" "$crclist" verify --quiet "$@" >/dev/null || {
        echo "bench: failed: crclist verify $*" >&2
        exit 1
    }
    cat "$work/peak" >>"$work/peaks"
}
median() {
    sort -g "$work/times.$1" | sed -n "$(((runs + 1) / 2))p"
}

echo "bench: timing, $runs runs each" >&2
# Files in the page cache as a first reading leaves them.
evict "$big" "$work/disc.iso" "$work/disc.bin"
warm "$work/disc" "$work/disc.iso" "$work/disc.bin" "$work/small"
for ((i = 0; i < runs; i++)); do
    warm "$big"
    timed dd dd if="$big" of=/dev/null bs=1M
    warm "$big"
    timed crclist crclist_run --disc "$work/disc" "$work/big.INF"
    warm "$big"
    timed 7zz 7zz h -scrcCRC32 "$big"
    warm "$big"
    timed rhash rhash --crc32 "$big"

    evict "$big"
    timed dd.cold dd if="$big" of=/dev/null bs=1M
    evict "$big"
    timed crclist.cold crclist_run --disc "$work/disc" "$work/big.INF"

    warm "$work/small"
    timed crclist.exact crclist_run --disc "$work/small" "$work/exact.INF"
    warm "$work/small"
    timed crclist.upper crclist_run --disc "$work/small" "$work/upper.INF"
    warm "$work/small"
    timed rhash.small rhash -r --crc32 "$work/small"
    warm "$work/small"
    timed cksfv.small cksfv_all "$work/small"

    for image in iso bin; do
        warm "$work/disc.$image"
        timed "dd.$image" dd if="$work/disc.$image" of=/dev/null bs=1M
        warm "$work/disc.$image"
        timed "crclist.$image" crclist_run --disc "$work/disc.$image" "$work/big.INF"
    done
done
peak --disc "$work/disc" "$work/big.INF"
evict "$big"
peak --disc "$work/disc" "$work/big.INF"
peak --disc "$work/small" "$work/exact.INF"
peak --disc "$work/small" "$work/upper.INF"
peak --disc "$work/disc.iso" "$work/big.INF"
peak --disc "$work/disc.bin" "$work/big.INF"
# The same as on a processor whose second-level cache is 4 MiB.
preload=(env "LD_PRELOAD=$work/cache_size.so" "L2_CACHE_BYTES=$((4 << 20))")
peak --disc "$work/disc" "$work/big.INF"
peak --disc "$work/small" "$work/exact.INF"
peak --disc "$work/disc.bin" "$work/big.INF"
preload=()
crc_mbs=$("$root/build/release/tools/bench/crc_in_cache" 2>/dev/null)

bytes=$(stat -c %s "$big")
rate() { # MB/s of $bytes in the median time of $1
    calc "$bytes / $(median "$1") / 1e6"
}
mbs() {
    printf '%.0f MB/s' "$1"
}
secs() {
    printf '%.3f s' "$(median "$1")"
}
status=0
row() { # case, crclist, comparison, ratio, target text, condition on the ratio
    local verdict=met ratio
    if [ "$(calc "$4 $6")" != 1 ]; then
        verdict=MISSED
        status=1
    fi
    ratio=$(printf '%.2f' "$4")
    [ -n "$3" ] || ratio=""
    printf '| %s | %s | %s | %s | %s | %s |\n' "$1" "$2" "$3" "$ratio" "$5" "$verdict"
}

fastest=rhash.small
fastest_name="rhash -r --crc32"
if [ "$(calc "$(median cksfv.small) < $(median rhash.small)")" = 1 ]; then
    fastest=cksfv.small
    fastest_name=cksfv
fi
peak_mib=$(calc "$(sort -n "$work/peaks" | tail -n 1) / 1024")
cpu=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)

echo "crclist verify, median of $runs runs each (tools/bench/bench_verify.sh)"
echo "$(date -u +%Y-%m-%d), $cpu, $(nproc) cores, $(uname -sr)"
echo "crclist's CRC on data in a core's cache, one core: $crc_mbs MB/s"
echo
echo "| case | crclist | compared with | ratio | target | |"
echo "|---|---|---|---|---|---|"
row "1 GiB in the page cache" "$(mbs "$(rate crclist)")" "dd bs=1M: $(mbs "$(rate dd)")" \
    "$(calc "$(rate crclist) / $(rate dd)")" "at least 0.85" ">= 0.85"
row "1 GiB not in the page cache" "$(mbs "$(rate crclist.cold)")" \
    "dd bs=1M: $(mbs "$(rate dd.cold)")" "$(calc "$(rate crclist.cold) / $(rate dd.cold)")" \
    "at least 0.95" ">= 0.95"
row "20,000 files of 1 to 64 KiB" "$(secs crclist.exact)" "$fastest_name: $(secs "$fastest")" \
    "$(calc "$(median "$fastest") / $(median crclist.exact)")" "at least 2" ">= 2"
row "the same, list in upper case" "$(secs crclist.upper)" \
    "list in the files' case: $(secs crclist.exact)" \
    "$(calc "$(median crclist.upper) / $(median crclist.exact)")" "at most 1.2 (time)" "<= 1.2"
row "1 GiB .iso" "$(secs crclist.iso)" "dd bs=1M of the image: $(secs dd.iso)" \
    "$(calc "$(median dd.iso) / $(median crclist.iso)")" "at least 0.8" ">= 0.8"
row "1 GiB raw MODE1 .bin" "$(secs crclist.bin)" "dd bs=1M of the image: $(secs dd.bin)" \
    "$(calc "$(median dd.bin) / $(median crclist.bin)")" "at least 0.7" ">= 0.7"
row "peak memory, every run, also with a 4 MiB L2" "$(printf '%.1f MiB' "$peak_mib")" "" "$peak_mib" \
    "at most 16 MiB" "<= 16"
echo
echo "For comparison, the 1 GiB file in the page cache: 7zz h -scrcCRC32 $(mbs "$(rate 7zz)")," \
    "rhash --crc32 $(mbs "$(rate rhash)")."
exit $status
