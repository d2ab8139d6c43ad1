#!/usr/bin/env bash
# A long campaign of the information-file fuzzer: builds the fuzz preset when needed, runs the
# fuzzer with one worker on a copy of the seed corpus (tests/fuzz/corpus stays as it is) and
# the token dictionary, and prints the final figures: executions, coverage, peak memory.
#
#   tools/scripts/fuzz.sh [SECONDS]   (default 3600)
#
# A crash, a leak or a broken check stops the run; the input that caused it is left in
# build/fuzz as crash-*, leak-* or timeout-*, and the exit code is non-zero.
set -uo pipefail
cd "$(dirname "$0")/../.." || exit 1
root=$PWD
seconds=${1:-3600}
case $seconds in
    '' | *[!0-9]*)
        sed -n '6p' "$0" >&2
        exit 2
        ;;
esac

if [ ! -f build/fuzz/build.ninja ]; then
    cmake --preset fuzz >/dev/null || exit 1
fi
cmake --build --preset fuzz -j2 --target inf_fuzzer >/dev/null || exit 1

# Every input goes through a scratch file; on a memory file system that costs no disk writes.
if [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then
    export TMPDIR=/dev/shm
fi
log=$(mktemp)
trap 'rm -f "$log"' EXIT
echo "fuzz: running for $seconds s"
(cd build/fuzz && bash "$root/tests/fuzz/run_fuzzer.sh" "$root/build/fuzz/tests/fuzz/inf_fuzzer" \
    "$root/tests/fuzz/corpus" "$root/tests/fuzz/inf.dict" "$seconds") >"$log"
status=$?
cat "$log"

# The last status line holds the coverage; the statistics follow the run.
done_line=$(grep -E '^#[0-9]+' "$log" | tail -n 1)
stat() { sed -n "s/^stat::$1: *//p" "$log"; }
echo
echo "executions:  $(stat number_of_executed_units)"
echo "exec/s:      $(stat average_exec_per_sec)"
echo "coverage:    $(sed -n 's/.*\(cov: [0-9]*\).*/\1/p' <<<"$done_line")" \
    "$(sed -n 's/.*\(ft: [0-9]*\).*/\1/p' <<<"$done_line")"
echo "corpus:      $(sed -n 's/.*corp: \([^ ]*\).*/\1/p' <<<"$done_line")"
echo "peak memory: $(stat peak_rss_mb) MB"
exit "$status"
