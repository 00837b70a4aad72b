#!/usr/bin/env bash
# Builds with gcc's coverage instrumentation in build-coverage/, runs the whole
# suite there and reports line and branch coverage of devicegfx/ and
# menuview/ (generated font data, tests and fuzz targets excluded). Writes an
# HTML report to build-coverage/coverage/index.html. Exits non-zero when
# lines fall below 95 % or branches below 85 %.
# Usage: scripts/coverage.sh [jobs]
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

jobs=${1:-$(nproc 2>/dev/null || echo 2)}
dir=build-coverage

cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=g++ \
    -DCMAKE_CXX_FLAGS="--coverage -fprofile-update=atomic" \
    -DCMAKE_EXE_LINKER_FLAGS=--coverage -DCMAKE_SHARED_LINKER_FLAGS=--coverage \
    -DCMAKE_MODULE_LINKER_FLAGS=--coverage -DVELKO_BENCH=OFF
cmake --build "$dir" -j "$jobs"

# Counters from an earlier run would add up with this one.
find "$dir" -name '*.gcda' -delete
QT_QPA_PLATFORM=offscreen ctest --test-dir "$dir" --output-on-failure -j "$jobs"

# Branches that only exception unwinding or the compiler's own bookkeeping
# can take are left out: no test could take them on purpose.
mkdir -p "$dir/coverage"
report() {
    gcovr --root . --object-directory "$dir" -j "$jobs" \
        --exclude '.*/generated/.*' --exclude 'tests/' --exclude 'fuzz/' \
        --exclude-unreachable-branches --exclude-throw-branches "$@"
}
for part in devicegfx menuview; do
    echo "== $part/"
    report --filter "$part/" --print-summary --txt "$dir/coverage/$part.txt" | grep -E '^(lines|branches):'
done
echo "== devicegfx/ and menuview/ together"
report --filter 'devicegfx/' --filter 'menuview/' --html-details "$dir/coverage/index.html" \
    --print-summary --fail-under-line 95 --fail-under-branch 85 | tee "$dir/coverage/summary.txt"
