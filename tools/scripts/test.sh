#!/usr/bin/env bash
# Runs every test of the project, from a fresh machine: installs what is missing, builds the
# targets and runs, in order, the linters (tools/scripts/lint.sh), the native unit tests (plain and
# under ASan/UBSan), the reading engine's tests under ThreadSanitizer, the check of crclist's Debian package, the information-file fuzzer, the checks of the 32-bit release program and
# its package, the tests of the shell and the dialogs under Wine, and the end-to-end suite of
# the real program under Wine. Each stage is one ctest run of one build; a failing test shows
# its own output. Every stage runs even when an earlier one failed, so that one run shows
# everything; the exit code is non-zero when any stage failed.
#
#   SUMWARDEN_FUZZ_SECONDS=N   how long the fuzzer runs (default 60)
set -uo pipefail
cd "$(dirname "$0")/../.." || exit 1

bash tools/scripts/setup.sh || exit 1

jobs=$(nproc 2>/dev/null || echo 2)
configure_flags=()
# CI builds treat warnings as errors; at a desk a warning should not stop the tests.
if [ -n "${CI:-}" ]; then
    configure_flags+=(-DSUMWARDEN_WERROR=ON)
fi
export SUMWARDEN_FUZZ_SECONDS=${SUMWARDEN_FUZZ_SECONDS:-60}

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
    shift
    cmake --preset "$preset" "${configure_flags[@]}" >/dev/null &&
        cmake --build --preset "$preset" -j "$jobs" "$@"
}

# ctest of one build; the Wine tests take turns in their environment whatever -j says.
tests() {
    local preset=$1
    shift
    ctest --preset "$preset" -j "$jobs" "$@"
}

# The linters are tests of the native build too; the unit-test stages leave them out.
lint() {
    build native && tests native -L lint
}

unit_tests() {
    build "$1" && tests "$1" -LE lint
}

# The reading engine's tests under ThreadSanitizer: the engine, the discs and images it reads,
# and the reading plans. Only their program is built.
engine_under_tsan() {
    build native-tsan --target crclist_tests &&
        tests native-tsan -R '^(FileBatch|FileDigest|SectorView|Disc|DiscOpening|Images|ReadPlan)\.'
}

# The release build of crclist makes its Debian package; its one test checks the package.
debian_package() {
    build release --target all package && tests release
}

fuzz() {
    build fuzz && tests fuzz -L fuzz
}

# The x86_64 build is checked beside the release program: it is the one the Wine stages run.
# The package's tests read the zip, so the package target comes first.
release_program() {
    build win32 --target all package && build win64 &&
        tests win32 -L release && tests win64 -L release
}

windows_programs() {
    build win64 && tests win64 -L win
}

end_to_end() {
    build win64 && tests win64 -L e2e
}

stage "lint" lint
stage "native unit tests" unit_tests native
stage "native unit tests under ASan and UBSan" unit_tests native-asan
stage "the reading engine under ThreadSanitizer" engine_under_tsan
stage "crclist's Debian package" debian_package
stage "fuzzers (the list reader's ${SUMWARDEN_FUZZ_SECONDS} s, lint's and the disc images' 20 s)" fuzz
stage "32-bit release program, its x86_64 twin and the release package" release_program
stage "shell and dialog tests under Wine" windows_programs
stage "end-to-end under Wine" end_to_end

echo
for name in "${failed[@]}"; do
    echo "failed stage: $name"
done
echo "stages: ${#passed[@]} passed, ${#failed[@]} failed"
[ "${#failed[@]}" -eq 0 ]
