#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# fuzz.sh [SECONDS]: builds the fuzz targets with clang and runs each for
# SECONDS (default 30) on its seed corpus. Exits non-zero on any finding.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"
targets=(fuzz_settings fuzz_profile fuzz_macro_library fuzz_macro_key fuzz_device_reports
    fuzz_listener)
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DLUMBRA_FUZZ=ON -DLUMBRA_TESTS=OFF \
    -DLUMBRA_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz --target "${targets[@]}"
for t in "${targets[@]}"; do
    target="build-fuzz/fuzz/$t"
    name="${target##*/fuzz_}"
    work="build-fuzz/corpus/$name"
    mkdir -p "$work" build-fuzz/findings
    echo "fuzzing $name for ${seconds}s"
    "$target" -max_total_time="$seconds" -max_len=65536 -timeout=10 \
        -artifact_prefix="build-fuzz/findings/$name-" "$work" "fuzz/corpus/$name" \
        2>build-fuzz/fuzz-$name.log || { tail -40 build-fuzz/fuzz-$name.log; exit 1; }
    grep -E '^Done|stat::' build-fuzz/fuzz-$name.log | tail -1 || true
done
