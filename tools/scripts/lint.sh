#!/usr/bin/env bash
# The linters, each failing on any finding. CTest runs each part as a test of the native build
# (label lint); the files are those that git tracks, so nothing generated is linted.
#
#   tools/scripts/lint.sh format             clang-format --dry-run on every C++ file (.clang-format)
#   tools/scripts/lint.sh shell              shellcheck (.shellcheckrc) and shfmt on every shell script
#   tools/scripts/lint.sh tidy [BUILD_DIR]   clang-tidy (.clang-tidy) on the project's files in
#                                    BUILD_DIR/compile_commands.json (default build/native)
#
#   SUMWARDEN_LINT_JOBS=N   how many clang-tidy processes run at once (default: one a core)
set -uo pipefail
caller=$PWD
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root" || exit 2
if ! git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    echo "lint: $root is not a git work tree, and the files to lint are the tracked ones" >&2
    exit 2
fi

usage() {
    sed -n '5,8p' "$0" >&2
    exit 2
}

need() {
    local tool
    for tool in "$@"; do
        if ! command -v "$tool" >/dev/null; then
            echo "lint: $tool is missing; run tools/scripts/setup.sh" >&2
            exit 2
        fi
    done
}

# The tracked files that match the git pathspecs given, NUL-separated.
tracked() {
    git ls-files -z -- "$@"
}

lint_format() {
    need clang-format
    local files
    mapfile -d '' -t files < <(tracked '*.cpp' '*.h')
    # With no file named, clang-format would wait for standard input.
    [ "${#files[@]}" -gt 0 ] || return 1
    clang-format --dry-run --Werror "${files[@]}" || return 1
    echo "lint: clang-format: ${#files[@]} files formatted"
}

# Every *.sh and *.bash (the completion, sourced, so without a shebang), and any other tracked
# file that starts with a sh or bash shebang (.ci/run), NUL-separated.
shell_scripts() {
    local file first shebang='^#! *(/usr)?/bin/(env +)?(ba)?sh( |$)'
    while IFS= read -r -d '' file; do
        first=
        [[ $file == *.sh || $file == *.bash ]] || { [ -f "$file" ] && IFS= read -r first <"$file"; }
        if [[ $file == *.sh || $file == *.bash || $first =~ $shebang ]]; then
            printf '%s\0' "$file"
        fi
    done < <(tracked)
}

lint_shell() {
    need shellcheck shfmt
    local scripts status=0
    mapfile -d '' -t scripts < <(shell_scripts)
    shellcheck "${scripts[@]}" || status=1
    # One style for every script: four spaces, case arms indented.
    shfmt -d -i 4 -ci "${scripts[@]}" || status=1
    [ "$status" -eq 0 ] && echo "lint: shellcheck and shfmt: ${#scripts[@]} scripts clean"
    return "$status"
}

# A regular expression that matches $1 literally.
regex_quote() {
    # The $ in quotes is one of the characters to escape, and ${1//} has no way to put a
    # backslash before each match as sed's & does.
    # shellcheck disable=SC2001,SC2016
    sed 's/[][\.*^$()+?{}|]/\\&/g' <<<"$1"
}

lint_tidy() {
    need run-clang-tidy clang-tidy
    local build=${1:-$root/build/native}
    [[ $build == /* ]] || build=$caller/$build
    if [ ! -f "$build/compile_commands.json" ]; then
        echo "lint: no $build/compile_commands.json; configure the native preset first" >&2
        return 2
    fi
    # The project's own files are those under the top-level folders that hold tracked C++
    # files: neither the build tree nor the libraries in /usr/include.
    local folders
    folders=$(tracked '*.cpp' '*.h' | tr '\0' '\n' | cut -d/ -f1 | sort -u | paste -sd'|')
    local own
    own="^$(regex_quote "$root")/($folders)/"
    local count
    count=$(grep -cE "\"file\": \"${own#^}" "$build/compile_commands.json")
    if [ "$count" -eq 0 ]; then
        echo "lint: $build/compile_commands.json names none of the project's files" >&2
        return 2
    fi
    # Any finding is an error (WarningsAsErrors in .clang-tidy). g++ turns literals into
    # Shift-JIS, which clang cannot do: clang-tidy takes them as they are written, in UTF-8.
    run-clang-tidy -quiet -p "$build" -j "${SUMWARDEN_LINT_JOBS:-$(nproc)}" \
        -header-filter="$own" -extra-arg=-fexec-charset=UTF-8 "$own" 2>&1 |
        sed 's/\x1b\[[0-9;]*m//g' >"$build/clang-tidy.log"
    local status=${PIPESTATUS[0]}
    # The findings alone: the rest is each file's command and clang-tidy's count of what it
    # left out (other people's headers).
    grep -vE '^(clang-tidy|[0-9]+ (warnings?|errors?)( and [0-9]+ errors?)? generated|Suppressed [0-9]+ warnings|Use -header-filter=)' \
        "$build/clang-tidy.log"
    if [ "$status" -ne 0 ]; then
        echo "lint: clang-tidy found the above in $count files (whole log: $build/clang-tidy.log)"
        return 1
    fi
    echo "lint: clang-tidy: $count files, no findings"
}

case ${1:-} in
    format) lint_format ;;
    shell) lint_shell ;;
    tidy) lint_tidy "${2:-}" ;;
    *) usage ;;
esac
