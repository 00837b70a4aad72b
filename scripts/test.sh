#!/usr/bin/env bash
# Installs what is missing, then builds and runs the whole test suite twice:
# a plain build (build/) and an AddressSanitizer + UndefinedBehaviorSanitizer
# build (build-asan/). Exits non-zero on the first failure.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

jobs=$(nproc 2>/dev/null || echo 2)
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

run_suite() {
    local dir=$1; shift
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELKO_WERROR=ON "$@"
    cmake --build "$dir" -j "$jobs"
    ctest --test-dir "$dir" --output-on-failure -j "$jobs"
}

echo "== plain build =="
run_suite build
echo "== sanitizer build =="
# The benchmark is built once, in the plain build; it runs no test.
run_suite build-asan -DVELKO_SANITIZE=ON -DVELKO_BENCH=OFF
