#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: once in a
# normal build, once with AddressSanitizer and UndefinedBehaviorSanitizer,
# then every file reader under the fuzzer for a short while. Exits non-zero
# on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

jobs=$(nproc)
scripts/build.sh build
ctest --test-dir build --output-on-failure -j "$jobs" | tee build/ctest.log

scripts/build.sh build-asan -DLUMBRA_SANITIZE=ON -DLUMBRA_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-asan --output-on-failure -j "$jobs" | tee build-asan/ctest.log

scripts/fuzz.sh "${LUMBRA_FUZZ_SECONDS:-15}"

# One closing line for both suites (ctest has failed the script already if
# anything failed).
total=$(cat build/ctest.log build-asan/ctest.log |
    awk '/tests passed, 0 tests failed out of/ { n += $NF } END { print n + 0 }')
echo "tests: ${total} passed, 0 failed"
