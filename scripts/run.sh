#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds Lumbra and starts it: on the keyboard when
# one is attached, otherwise on the built-in simulated keyboard. Arguments go
# to lumbra instead.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
# Only the program: test.sh configures the same folder with its tests again.
scripts/build.sh build -DLUMBRA_TESTS=OFF -DLUMBRA_BENCH=OFF -DLUMBRA_SANITIZE=OFF \
    -DLUMBRA_TSAN=OFF -DLUMBRA_FUZZ=OFF
if [ "$#" -eq 0 ]; then
    # HID devices are named BUS:VENDOR:PRODUCT.N in sysfs.
    if ! ls /sys/bus/hid/devices 2>/dev/null | grep -qi '^[0-9a-f]*:04F3:1406\.'; then
        echo "run.sh: no keyboard attached; starting on the simulated keyboard" >&2
        set -- --simulate
    fi
fi
exec build/app/lumbra "$@"
