#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# CtlBench.sh LUMBRA LUMBRACTL [RUNS]: on a session bus of its own, starts
# `lumbra --simulate --hidden` headless, then times `lumbractl profile set N`
# from its start to its exit, RUNS times (default 20), switching between
# profiles 1 and 2. The keyboard's mandated pause after the ProfileReport
# (15 ms) is taken off: what is left is the cost of lumbractl, the bus and
# Lumbra. Prints "FIGURE name value unit" lines (medians).
set -euo pipefail
if [ -z "${LUMBRA_CTL_BENCH_ON_BUS:-}" ]; then
    LUMBRA_CTL_BENCH_ON_BUS=1 exec dbus-run-session -- "$0" "$@" 2>/dev/null
fi
program="$1"
ctl="$2"
runs="${3:-20}"
pause_ms=15
. "$(dirname "$0")/BenchFolder.sh"

QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$dir" HOME="$dir" \
    "$program" --simulate --hidden --config-dir "$dir" 2>/dev/null &
pid=$!
for _ in $(seq 100); do
    "$ctl" status >/dev/null 2>&1 && break
    sleep 0.1
done
"$ctl" status >/dev/null

times=()
for i in $(seq "$runs"); do
    start=$EPOCHREALTIME
    "$ctl" profile set $(( i % 2 + 1 )) >/dev/null
    end=$EPOCHREALTIME
    times+=("$(awk -v s="$start" -v e="$end" -v p="$pause_ms" 'BEGIN {printf "%.3f", (e - s) * 1000 - p}')")
done
median="$(printf '%s\n' "${times[@]}" | sort -g | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}')"
echo "FIGURE ctl_profile_set_ms $median ms"
