#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# build.sh BUILD_DIR [cmake options...]: configures and builds. cmake runs
# every time, so the options given apply also to a folder configured before;
# an option not given keeps the value that folder has cached.
set -euo pipefail
cd "$(dirname "$0")/.."
dir="$1"; shift
cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
cmake --build "$dir"
