#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# IdleBench.sh LUMBRA [SECONDS]: starts `lumbra --simulate` headless on a
# factory keyboard and a fresh configuration, lets start-up settle, then counts
# the CPU time and the context switches of all its threads over SECONDS
# (default 10). An idle Lumbra blocks in its event loop and in the listener's
# read, so both figures should be 0. Prints "FIGURE name value unit" lines;
# with LUMBRA_IDLE_THREADS=1 also each thread's share on stderr. With
# LUMBRA_IDLE_CONFIG=DIR the configuration starts as a copy of DIR's files
# (profiles that list programs, for example); LUMBRA_IDLE_PLATFORM=xcb runs it
# on $DISPLAY instead of headless. Run on a session bus (dbus-run-session), it
# also says whether Lumbra's service was there (idle_bus_service).
set -euo pipefail
program="$1"
seconds="${2:-10}"
platform="${LUMBRA_IDLE_PLATFORM:-offscreen}"
. "$(dirname "$0")/BenchFolder.sh"
. "$(dirname "$0")/BenchMeasure.sh"
if [ -n "${LUMBRA_IDLE_CONFIG:-}" ]; then
    mkdir -p "$dir/config"
    cp "$LUMBRA_IDLE_CONFIG"/* "$dir/config/"
fi

QT_QPA_PLATFORM="$platform" XDG_RUNTIME_DIR="$dir" HOME="$dir" \
    LUMBRA_STARTUP_PROBE="$dir/probe" \
    "$program" --simulate --config-dir "$dir" --sim-trace "$dir/trace" 2>/dev/null &
pid=$!
for _ in $(seq 100); do
    [ -s "$dir/probe" ] && break
    sleep 0.1
done
[ -s "$dir/probe" ] || { echo "lumbra painted no frame" >&2; exit 1; }
# The read-back of a factory keyboard takes about 0.1 s after the first frame.
sleep 2

ticks_before="$(cpu_ticks)"
switches_before="$(thread_switches)"
sleep "$seconds"
ticks_after="$(cpu_ticks)"
switches_after="$(thread_switches)"

hz="$(getconf CLK_TCK)"
wakeups="$(awk 'NR == FNR {before[$1] = $3; next}
    {n += $3 - before[$1]; if (ENVIRON["LUMBRA_IDLE_THREADS"] == "1")
        printf "thread %s %s: %d switches\n", $1, $2, $3 - before[$1] > "/dev/stderr"}
    END {print n + 0}' <(echo "$switches_before") <(echo "$switches_after"))"
threads="$(echo "$switches_after" | wc -l)"
echo "FIGURE idle_cpu_ms $(( (ticks_after - ticks_before) * 1000 / hz )) ms"
echo "FIGURE idle_wakeups $wakeups count"
echo "FIGURE idle_threads $threads count"
# On a session bus, whether Lumbra's service was exported all along.
if [ -n "${DBUS_SESSION_BUS_ADDRESS:-}" ]; then
    exported=0
    gdbus call --session --dest io.github.lumbra.lumbra --object-path /io/github/lumbra/lumbra \
        --method org.freedesktop.DBus.Peer.Ping >/dev/null 2>&1 && exported=1
    echo "FIGURE idle_bus_service $exported count"
fi
