#!/usr/bin/env bash
# Runs a libFuzzer target for a while on a copy of its seed corpus, with a dictionary of the
# input's tokens: the fuzzer adds what it finds to the corpus folder, and the repository's
# must stay as it is. Ends with libFuzzer's final statistics.
#
#   tests/fuzz/run_fuzzer.sh FUZZER CORPUS_DIR DICTIONARY [SECONDS]
#
# SECONDS defaults to $SUMWARDEN_FUZZ_SECONDS, or 60. One worker.
set -uo pipefail
if [ $# -lt 3 ]; then
    sed -n '6p' "$0" >&2
    exit 2
fi
fuzzer=$1
seeds=$2
dictionary=$3
seconds=${4:-${SUMWARDEN_FUZZ_SECONDS:-60}}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
corpus=$work/corpus
mkdir "$corpus"
cp -r "$seeds/." "$corpus/"
"$fuzzer" -dict="$dictionary" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
    "$corpus" >"$work/log" 2>&1
status=$?
if [ "$status" -ne 0 ]; then
    # The report of what went wrong, with the input that caused it.
    tail -n 60 "$work/log"
else
    # The last status line, the run's length and the statistics, without the dictionary that
    # libFuzzer recommends.
    sed '/Recommended dictionary/,/End of recommended dictionary/d' "$work/log" | tail -n 7
fi
exit "$status"
