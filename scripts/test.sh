#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds everything and runs every test: once in a
# normal build, once with AddressSanitizer and UndefinedBehaviorSanitizer,
# the device and simulator suites once more with ThreadSanitizer, then every
# file reader under the fuzzer for a short while. Exits non-zero on any
# failure, and when a build ran no test at all.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/check-layers.sh
scripts/install-deps.sh

jobs=$(nproc)
counts=()

# Adds what one build ran to counts: the number its log reports as passed
# (ctest's summary, or GoogleTest's closing "[  PASSED  ] N tests." lines). A
# build that ran no test fails the script. ctest counts a skipped test among
# those that passed; it is counted apart.
count() { # NAME LOG
    local n skipped
    read -r n skipped < <(awk '/tests passed, 0 tests failed out of/ { n += $NF }
             /^\[  PASSED  \] [0-9]+ tests?\./ { n += $4 }
             /^[ \t]*[0-9]+ - .* \(Skipped\)$/ { n--; s++ }
             /^\[  SKIPPED \] [0-9]+ tests?,/ { s += $4 }
             END { print n + 0, s + 0 }' "$2")
    if [ "$n" -eq 0 ]; then
        echo "test.sh: no test ran in $1" >&2
        exit 1
    fi
    counts+=("$n|$skipped|$1")
}

# Each build is configured with every option it depends on, each time: the
# folder may come from run.sh (which builds without tests) or from an earlier
# configure by hand.
scripts/build.sh build -DLUMBRA_TESTS=ON -DLUMBRA_BENCH=ON -DLUMBRA_SANITIZE=OFF \
    -DLUMBRA_TSAN=OFF -DLUMBRA_FUZZ=OFF
ctest --test-dir build --output-on-failure --no-tests=error -j "$jobs" | tee build/ctest.log
count build build/ctest.log

scripts/build.sh build-asan -DLUMBRA_TESTS=ON -DLUMBRA_BENCH=OFF -DLUMBRA_SANITIZE=ON \
    -DLUMBRA_TSAN=OFF -DLUMBRA_FUZZ=OFF -DCMAKE_BUILD_TYPE=Debug
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-asan --output-on-failure --no-tests=error -j "$jobs" |
    tee build-asan/ctest.log
count build-asan build-asan/ctest.log

# The listener and the UI side share the model and the feature handle: their
# tests run once more under ThreadSanitizer.
cmake -S . -B build-tsan -G Ninja -DLUMBRA_TESTS=ON -DLUMBRA_BENCH=OFF -DLUMBRA_SANITIZE=OFF \
    -DLUMBRA_TSAN=ON -DLUMBRA_FUZZ=OFF -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build-tsan --target lumbra_device_tests lumbra_sim_tests
for suite in device sim; do
    TSAN_OPTIONS=halt_on_error=1 "build-tsan/tests/$suite/lumbra_${suite}_tests" --gtest_brief=1 |
        tee "build-tsan/$suite.log"
    count "build-tsan ($suite)" "build-tsan/$suite.log"
done

scripts/fuzz.sh "${LUMBRA_FUZZ_SECONDS:-15}"

# One closing line for every build (a failure has ended the script already).
total=0
skipped=0
for entry in "${counts[@]}"; do
    IFS='|' read -r n s name <<<"$entry"
    if [ "$s" -gt 0 ]; then echo "  $name: $n passed, $s skipped"; else echo "  $name: $n passed"; fi
    total=$((total + n))
    skipped=$((skipped + s))
done
if [ "$skipped" -gt 0 ]; then
    echo "tests: ${total} passed, 0 failed, ${skipped} skipped"
else
    echo "tests: ${total} passed, 0 failed"
fi
