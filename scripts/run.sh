#!/usr/bin/env bash
# Installs what is missing, builds Lumbra and starts it on the simulated
# keyboard. Arguments go to lumbra instead of --simulate.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build -DLUMBRA_TESTS=OFF -DLUMBRA_BENCH=OFF
if [ "$#" -eq 0 ]; then
    set -- --simulate
fi
exec build/app/lumbra "$@"
