#!/usr/bin/env bash
# Builds Brelloc and runs every test: the whole suite, the whole suite again
# under AddressSanitizer and UndefinedBehaviorSanitizer, and the fuzz targets
# for a bounded time. Installs the Debian packages it needs first.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh" test
jobs="$(nproc)"
fuzz_seconds="${BRELLOC_FUZZ_SECONDS:-45}"

echo "== Sanitizer build (ASan + UBSan) and test"
asan="$root/build/asan"
cmake -S "$root" -B "$asan" -DCMAKE_BUILD_TYPE=Debug -DBRELLOC_SANITIZE=ON -DBRELLOC_BENCHMARKS=OFF >/dev/null
cmake --build "$asan" --parallel "$jobs"
ASAN_OPTIONS="detect_leaks=1:abort_on_error=1" \
LSAN_OPTIONS="suppressions=$root/tests/lsan.supp" \
UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
    ctest --test-dir "$asan" --output-on-failure --parallel "$jobs" --timeout 900

echo "== Fuzz targets (${fuzz_seconds} s each)"
fuzz="$root/build/fuzz"
CXX=clang++ cmake -S "$root" -B "$fuzz" -DCMAKE_CXX_COMPILER=clang++ -DBRELLOC_FUZZ=ON -DBRELLOC_WITH_QT=OFF \
    -DBRELLOC_TESTS=OFF -DBRELLOC_BENCHMARKS=OFF >/dev/null
cmake --build "$fuzz" --parallel "$jobs"
for target in "$fuzz"/fuzz/fuzz_*; do
    name="$(basename "$target")"
    corpus="$root/fuzz/corpus/${name#fuzz_}"
    work="$(mktemp -d)"
    "$target" -max_total_time="$fuzz_seconds" -max_len=512 -print_final_stats=0 \
        -artifact_prefix="$work/" "$work" "$corpus" 2>"$work/log" \
        || { tail -n 40 "$work/log"; echo "$name found a fault; the input is in $work"; exit 1; }
    echo "$name: $(grep -o 'Done [0-9]* runs' "$work/log" || echo done)"
    rm -rf "$work"
done

echo "== Build and test"
build="$root/build/test"
# The browser edition is built and tested here only: its WebAssembly build
# does not change with the sanitizers.
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRELLOC_WEB=ON >/dev/null
cmake --build "$build" --parallel "$jobs"
ctest --test-dir "$build" --output-on-failure --parallel "$jobs" --timeout 600
