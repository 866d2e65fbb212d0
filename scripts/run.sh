#!/usr/bin/env bash
# Installs what is missing, builds Lumbra and starts it. Arguments go to lumbra.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build -DLUMBRA_TESTS=OFF -DLUMBRA_BENCH=OFF
exec build/app/lumbra "$@"
