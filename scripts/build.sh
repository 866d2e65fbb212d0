#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# build.sh BUILD_DIR [cmake options...]: configures and builds. cmake runs
# every time, so the options given apply also to a folder configured before;
# an option not given keeps the value that folder has cached.
set -euo pipefail
cd "$(dirname "$0")/.."
dir="$1"; shift
# A compiler cache, where there is one, serves the four builds of the test
# command again on the next run, from any clone.
launcher=()
if command -v ccache >/dev/null; then
    export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$dir" -G Ninja "${launcher[@]}" "$@" >/dev/null
cmake --build "$dir"
