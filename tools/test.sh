#!/usr/bin/env bash
# Runs every test of the project, from a fresh machine: installs what is missing, builds the
# three targets and runs, in order, the native unit tests (plain and under ASan/UBSan), the
# information-file fuzzer, the checks of the 32-bit release program, the tests of the shell and
# the dialogs under Wine, and the end-to-end suite of the real program under Wine. Every stage runs even when an earlier one failed, so that one
# run shows everything; the exit code is non-zero when any stage failed.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD

bash tools/setup.sh || exit 1

jobs=$(nproc 2>/dev/null || echo 2)
configure_flags=()
# CI builds treat warnings as errors; at a desk a warning should not stop the tests.
if [ -n "${CI:-}" ]; then
  configure_flags+=(-DSUMWARDEN_WERROR=ON)
fi
fuzz_seconds=${SUMWARDEN_FUZZ_SECONDS:-60}
lint_fuzz_seconds=${SUMWARDEN_LINT_FUZZ_SECONDS:-20}

passed=()
failed=()
stage() {
  local name=$1
  shift
  echo
  echo "=== $name"
  local start=$SECONDS
  if "$@"; then
    passed+=("$name")
    echo "=== $name: passed ($((SECONDS - start)) s)"
  else
    failed+=("$name")
    echo "=== $name: FAILED ($((SECONDS - start)) s)"
  fi
}

build() {
  local preset=$1
  cmake --preset "$preset" "${configure_flags[@]}" >/dev/null &&
    cmake --build --preset "$preset" -j "$jobs"
}

unit_tests() {
  local preset=$1
  build "$preset" && ctest --preset "$preset" -j "$jobs"
}

# run_fuzzer NAME SECONDS SEED_FOLDER...
run_fuzzer() {
  local name=$1 seconds=$2
  shift 2
  # The fuzzer adds what it finds to its corpus folder: give it a copy, not the repository's.
  local corpus folder
  corpus=$(mktemp -d)
  for folder in "$@"; do
    cp -r "$folder"/. "$corpus/"
  done
  "build/fuzz/tests/fuzz/$name" -max_total_time="$seconds" -timeout=10 \
    -print_final_stats=1 "$corpus" 2>&1 | tail -n 15
  local status=${PIPESTATUS[0]}
  rm -rf "$corpus"
  return "$status"
}

fuzz() {
  build fuzz || return 1
  run_fuzzer inf_fuzzer "$fuzz_seconds" tests/fuzz/corpus &&
    run_fuzzer lint_fuzzer "$lint_fuzz_seconds" tests/fuzz/corpus tests/fuzz/lint_corpus
}

# The x86_64 build is checked beside the release program: it is the one the Wine stages run.
release_program() {
  build win32 && build win64 &&
    python3 tests/build/check_exe.py build/win32/app/sumwarden.exe build/win64/app/sumwarden.exe &&
    python3 tests/build/test_check_exe.py build/win32/app/sumwarden.exe
}

windows_programs() {
  build win64 && bash tests/win/run_win_tests.sh "$root/build/win64"
}

end_to_end() {
  build win64 && bash tests/e2e/run_e2e.sh "$root/build/win64"
}

stage "native unit tests" unit_tests native
stage "native unit tests under ASan and UBSan" unit_tests native-asan
stage "information-file fuzzers (${fuzz_seconds} s and ${lint_fuzz_seconds} s)" fuzz
stage "32-bit release program and its x86_64 twin" release_program
stage "shell and dialog tests under Wine" windows_programs
stage "end-to-end under Wine" end_to_end

echo
for name in "${failed[@]}"; do
  echo "failed stage: $name"
done
echo "stages: ${#passed[@]} passed, ${#failed[@]} failed"
[ "${#failed[@]}" -eq 0 ]
