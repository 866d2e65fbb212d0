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

# The listener and the UI side share the model and the feature handle: their
# tests run once more under ThreadSanitizer.
cmake -S . -B build-tsan -G Ninja -DLUMBRA_TSAN=ON -DLUMBRA_BENCH=OFF \
    -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build-tsan --target lumbra_device_tests lumbra_sim_tests
for suite in build-tsan/tests/device/lumbra_device_tests build-tsan/tests/sim/lumbra_sim_tests; do
    TSAN_OPTIONS=halt_on_error=1 "$suite" --gtest_brief=1
done

scripts/fuzz.sh "${LUMBRA_FUZZ_SECONDS:-15}"

# One closing line for both suites (ctest has failed the script already if
# anything failed).
total=$(cat build/ctest.log build-asan/ctest.log |
    awk '/tests passed, 0 tests failed out of/ { n += $NF } END { print n + 0 }')
echo "tests: ${total} passed, 0 failed"
