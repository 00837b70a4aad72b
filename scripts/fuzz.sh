#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer (build-fuzz/) and runs each for a bounded time,
# starting from its seed corpus under fuzz/corpus/. Exits non-zero on any
# crash, leak, timeout or sanitizer report; the failing input is kept in
# build-fuzz/fuzz-artifacts/.
# Usage: scripts/fuzz.sh [seconds per target]   (default 30, or $FUZZ_SECONDS)
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

seconds=${1:-${FUZZ_SECONDS:-30}}
jobs=$(nproc 2>/dev/null || echo 2)
targets=(parsemenu decodeliteral formatitems devicetext analysis store lsp)

cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ -DVELKO_FUZZ=ON -DVELKO_SANITIZE=ON
cmake --build build-fuzz -j "$jobs" --target "${targets[@]/#/fuzz_}"

export ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

mkdir -p build-fuzz/fuzz-artifacts
for target in "${targets[@]}"; do
    # New inputs go to a scratch corpus; the checked-in seeds stay as they are.
    scratch=build-fuzz/fuzz-corpus/$target
    log=build-fuzz/fuzz-$target.log
    mkdir -p "$scratch"
    echo "== fuzz_$target: ${seconds}s =="
    if ! build-fuzz/fuzz/fuzz_$target -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
            -max_len=8192 -print_final_stats=1 \
            -artifact_prefix=build-fuzz/fuzz-artifacts/$target- \
            "$scratch" "fuzz/corpus/$target" >"$log" 2>&1; then
        tail -n 60 "$log"
        echo "fuzz: fuzz_$target failed, see $log and build-fuzz/fuzz-artifacts/" >&2
        exit 1
    fi
    grep -E 'stat::number_of_executed_units|Done [0-9]+ runs' "$log" || true
done
