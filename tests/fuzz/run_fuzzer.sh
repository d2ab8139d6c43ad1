#!/usr/bin/env bash
# Runs a libFuzzer target for a while on a copy of its seed corpus: the fuzzer adds what it
# finds to the corpus folder, and the repository's must stay as it is.
#
#   tests/fuzz/run_fuzzer.sh FUZZER CORPUS_DIR [SECONDS]   (default $SUMWARDEN_FUZZ_SECONDS or 60)
set -uo pipefail
fuzzer=$1
seeds=$2
seconds=${3:-${SUMWARDEN_FUZZ_SECONDS:-60}}
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
cp -r "$seeds/." "$corpus/"
"$fuzzer" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 "$corpus" 2>&1 | tail -n 15
exit "${PIPESTATUS[0]}"
