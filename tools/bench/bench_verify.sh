#!/usr/bin/env bash
# tools/bench/bench_verify.sh [MiB]: how fast `crclist verify` reads and checks a file that is in the
# page cache, against the read ceiling (dd bs=1M of the same file) and the CRC-32 tools that a
# pipeline might use instead. Installs the missing peers (7zip, rhash, cksfv), builds crclist
# (the release preset, in build/release), makes a file of MiB mebibytes (default 1024), takes the median of
# five runs of each tool, and prints MB/s, the ratios, the peak memory of crclist and whether
# the targets are met: at least 0.6 times dd, at least 3 times the fastest peer, at most 16 MiB.
# Exit code 1 when a target is missed. Nothing else should load the machine meanwhile.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
mib=${1:-1024}
if ! [[ $mib =~ ^[0-9]+$ ]] || [ "$mib" -lt 1 ] || [ "$mib" -gt 2047 ]; then
    echo "usage: tools/bench/bench_verify.sh [MiB, 1 to 2047]" >&2
    exit 2
fi
runs=5

missing=()
for pair in 7zip:7zz rhash:rhash cksfv:cksfv time:/usr/bin/time; do
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

crclist=${CRCLIST:-$root/build/release/tools/crclist/crclist}
if [ -z "${CRCLIST:-}" ]; then
    (cd "$root" && cmake --preset release >/dev/null &&
        cmake --build --preset release --target crclist -j 2 >/dev/null)
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/bench-verify.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/disc"
file=$work/disc/BENCH.BIN
head -c "$((mib * 1024 * 1024))" /dev/urandom >"$file"
# The CRC-32 of file $1 as eight hexadecimal digits, read in 1 MiB blocks: the list's value,
# and one of the peers.
python_crc() {
    python3 -c 'import sys, zlib
crc = 0
with open(sys.argv[1], "rb") as data:
    for block in iter(lambda: data.read(1 << 20), b""):
        crc = zlib.crc32(block, crc)
print("%08X" % crc)' "$1"
}
bytes=$(stat -c %s "$file")
crc=$(python_crc "$file")
printf '[CDFILES]\nBENCH.BIN, %d, %s\n' "$bytes" "$crc" >"$work/crclist.INF"
cat "$file" >/dev/null # into the page cache

# Arithmetic and comparisons in floating point: calc EXPRESSION prints its value.
calc() {
    awk "BEGIN { print ($1) }"
}

# The wall-clock seconds of one run of "$@"; its output is discarded, its failure fatal.
seconds() {
    local start end
    start=$EPOCHREALTIME
    "$@" >/dev/null 2>&1 || {
        echo "bench: failed: $*" >&2
        exit 1
    }
    end=$EPOCHREALTIME
    calc "$end - $start"
}

# The median MB/s of five runs of "$@".
median_rate() {
    local i times=()
    for ((i = 0; i < runs; i++)); do
        times+=("$(seconds "$@")")
    done
    local median
    median=$(printf '%s\n' "${times[@]}" | sort -g | sed -n "$(((runs + 1) / 2))p")
    calc "$bytes / $median / 1000000"
}

# One run of crclist verify; its peak memory (KiB) goes to $work/peaks.
# shellcheck disable=SC2317 # it runs through median_rate
crclist_run() {
    /usr/bin/time -v -o "$work/time.txt" "$crclist" verify --quiet --disc "$work/disc" \
        "$work/crclist.INF" || return 1
    sed -n 's/.*Maximum resident set size (kbytes): //p' "$work/time.txt" >>"$work/peaks"
}

names=("dd bs=1M (read ceiling)" "crclist verify" "7zz h -scrcCRC32" "rhash --crc32" "cksfv"
    "python3 zlib.crc32, 1 MiB reads")
rates=()
rates+=("$(median_rate dd if="$file" of=/dev/null bs=1M)")
rates+=("$(median_rate crclist_run)")
rates+=("$(median_rate 7zz h -scrcCRC32 "$file")")
rates+=("$(median_rate rhash --crc32 "$file")")
rates+=("$(median_rate cksfv "$file")")
rates+=("$(median_rate python_crc "$file")")
peak_kib=$(sort -n "$work/peaks" | tail -n 1)

cpu=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)
echo "crclist verify of a $mib MiB file in the page cache, median of $runs runs"
echo "$(date -u +%Y-%m-%d), $cpu, $(nproc) cores, $(uname -sr)"
echo
printf '| %-32s | %9s | %13s |\n' tool MB/s "crclist is"
printf '|%s|%s|%s|\n' "$(printf -- '-%.0s' {1..34})" "$(printf -- '-%.0s' {1..11})" \
    "$(printf -- '-%.0s' {1..15})"
ours=${rates[1]}
for i in "${!names[@]}"; do
    ratio=$(calc "$ours / ${rates[$i]}")
    [ "$i" = 1 ] && ratio_text="" || ratio_text=$(printf '%.2f x' "$ratio")
    printf '| %-32s | %9.0f | %13s |\n' "${names[$i]}" "${rates[$i]}" "$ratio_text"
done
echo

fastest_peer=2
for i in 3 4 5; do
    if [ "$(calc "${rates[$i]} > ${rates[$fastest_peer]}")" = 1 ]; then
        fastest_peer=$i
    fi
done
status=0
target() { # $1 what, $2 the figure, $3 the condition, for calc
    if [ "$(calc "$3")" = 1 ]; then
        printf '%-50s %-12s met\n' "$1" "$2"
    else
        printf '%-50s %-12s MISSED\n' "$1" "$2"
        status=1
    fi
}
read_ratio=$(calc "$ours / ${rates[0]}")
peer_ratio=$(calc "$ours / ${rates[$fastest_peer]}")
peak_mib=$(calc "$peak_kib / 1024")
target "at least 0.6 times the read ceiling" "$(printf '%.2f' "$read_ratio")" "$read_ratio >= 0.6"
target "at least 3 times the fastest peer (${names[$fastest_peer]%% *})" \
    "$(printf '%.2f' "$peer_ratio")" "$peer_ratio >= 3"
target "peak memory at most 16 MiB" "$(printf '%.1f MiB' "$peak_mib")" "$peak_mib <= 16"
exit $status
