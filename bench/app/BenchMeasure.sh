# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the idle benchmarks: how busy the process $pid is.

# utime + stime of the process $pid, in clock ticks (fields 14 and 15; the
# command name in field 2 may hold spaces, so count from its closing bracket).
cpu_ticks() {
    local stat
    stat="$(cat "/proc/$pid/stat")"
    stat="${stat##*) }"
    set -- $stat
    echo $(( ${12} + ${13} ))
}
# "tid name switches" for every thread of $pid.
thread_switches() {
    local t
    for t in /proc/"$pid"/task/*; do
        awk -v tid="${t##*/}" '/^Name:/ {name = $2}
            /ctxt_switches/ {n += $2}
            END {print tid, name, n}' "$t/status" 2>/dev/null || true
    done
}
