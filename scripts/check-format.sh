#!/usr/bin/env bash
# Checks that the C++ files changed since a base commit follow .clang-format.
# The base defaults to the commit in .ci/format-base, from which on every
# changed file is kept formatted; files nobody touched since stay as they are.
# Usage: scripts/check-format.sh [BASE]
set -euo pipefail
cd "$(dirname "$0")/.."

base=${1:-$(cat .ci/format-base)}
if ! git cat-file -e "$base^{commit}" 2>/dev/null; then
    echo "check-format: base $base is not in this clone; checking the last commit's files" >&2
    base=HEAD~1
fi
mapfile -t files < <({
    git diff --name-only --diff-filter=ACMR "$base" -- '*.cpp' '*.h'
    git ls-files --others --exclude-standard -- '*.cpp' '*.h'
} | grep -v '^tests/.*/data/' | sort -u) # test data is spelt as its test needs it
[ ${#files[@]} -eq 0 ] && { echo "check-format: no changed C++ files"; exit 0; }
if ! clang-format --dry-run -Werror "${files[@]}"; then
    echo "check-format: run clang-format -i on the files above" >&2
    exit 1
fi
echo "check-format: ${#files[@]} changed files are formatted"
