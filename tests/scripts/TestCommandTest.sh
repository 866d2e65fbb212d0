#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# TestCommandTest.sh SOURCE_DIR: the run and test commands of SOURCE_DIR,
# copied into a scratch tree where cmake, ctest and what they build are fakes.
# The fake cmake keeps a configure cache as cmake does (an option given once
# stays until given again); the fake ctest finds tests only where the cache
# has them on. Then the README's order, run.sh first and test.sh second, must
# count the tests of every build, and a build that runs none must fail.
set -euo pipefail
src=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
repo="$work/repo"
mkdir -p "$repo/scripts" "$work/bin"
cp "$src"/scripts/run.sh "$src"/scripts/test.sh "$src"/scripts/build.sh "$repo/scripts/"
for stub in check-layers.sh install-deps.sh fuzz.sh; do printf '#!/bin/sh\n' >"$repo/scripts/$stub"; done
chmod +x "$repo"/scripts/*.sh

cat >"$work/bin/cmake" <<'EOF'
#!/usr/bin/env bash
# cmake -S . -B DIR -G Ninja -DNAME=VALUE... | cmake --build DIR [--target ...]
if [ "$1" = --build ]; then
    dir=$2
    mkdir -p "$dir/app" "$dir/tests/device" "$dir/tests/sim"
    printf '#!/bin/sh\necho "lumbra $*"\n' >"$dir/app/lumbra"
    for suite in device sim; do
        printf '#!/bin/sh\nn=${FAKE_SUITE_TESTS:-3}\n%s\n%s\n' \
            'echo "[==========] $n tests from 1 test suite ran. (1 ms total)"' \
            'echo "[  PASSED  ] $n tests."' >"$dir/tests/$suite/lumbra_${suite}_tests"
    done
    chmod +x "$dir/app/lumbra" "$dir"/tests/*/lumbra_*_tests
    exit 0
fi
options=()
while [ $# -gt 0 ]; do
    case $1 in
        -B) dir=$2; shift ;;
        -D*) options+=("${1#-D}") ;;
    esac
    shift
done
mkdir -p "$dir"
printf '%s\n' "${options[@]}" >>"$dir/CMakeCache.txt"
EOF

cat >"$work/bin/ctest" <<'EOF'
#!/usr/bin/env bash
# ctest --test-dir DIR [--no-tests=error] ...: five tests where the cache has
# LUMBRA_TESTS on (its default), none elsewhere or in FAKE_EMPTY_BUILD.
no_tests=ignore
while [ $# -gt 0 ]; do
    case $1 in
        --test-dir) dir=$2; shift ;;
        --no-tests=*) no_tests=${1#*=} ;;
    esac
    shift
done
tests=$(grep '^LUMBRA_TESTS=' "$dir/CMakeCache.txt" | tail -n 1)
if [ "$tests" = LUMBRA_TESTS=OFF ] || [ "$dir" = "${FAKE_EMPTY_BUILD:-}" ]; then
    echo "No tests were found!!!"
    [ "$no_tests" = error ] && exit 8
    exit 0
fi
echo "100% tests passed, 0 tests failed out of 5"
EOF
chmod +x "$work/bin/cmake" "$work/bin/ctest"
export PATH="$work/bin:$PATH"
cd "$repo"

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# The README's order: the program first, then every test.
scripts/run.sh --simulate >"$work/run.log" 2>&1 || fail "run.sh ended with $?"
grep -q '^lumbra --simulate$' "$work/run.log" || fail "run.sh did not start the program"
if scripts/test.sh >"$work/test.log" 2>&1; then
    closing=$(tail -n 1 "$work/test.log")
    # 5 in the normal build, 5 in the ASan build, 3 + 3 in the TSan suites.
    [ "$closing" = "tests: 16 passed, 0 failed" ] || fail "closing line after run.sh: $closing"
else
    fail "test.sh after run.sh ended with $?"
fi
# And the program runs again after the tests.
scripts/run.sh --simulate >"$work/run.log" 2>&1 || fail "run.sh after test.sh ended with $?"

# A build that runs no test fails the command and prints no closing line.
check_fails() { # WHAT, then VAR=VALUE for the environment of test.sh
    local what=$1
    shift
    if env "$@" scripts/test.sh >"$work/test.log" 2>&1; then
        fail "test.sh passed although $what ran no test: $(tail -n 1 "$work/test.log")"
    elif grep -q '^tests: ' "$work/test.log"; then
        fail "test.sh printed a closing line although $what ran no test"
    fi
}
check_fails "the normal build" FAKE_EMPTY_BUILD=build
check_fails "the ASan build" FAKE_EMPTY_BUILD=build-asan
check_fails "a TSan suite" FAKE_SUITE_TESTS=0

[ "$failures" -eq 0 ] || exit 1
echo "test command: every build counted, an empty one refused"
