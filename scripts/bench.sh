#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# bench.sh: installs what is missing, builds a Release build in build-bench/,
# runs every benchmark and prints one table: each figure, its target, and
# whether it is within it. Each program's own output is kept in
# build-bench/bench-results/. Run it on a quiet machine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build-bench -DCMAKE_BUILD_TYPE=Release -DLUMBRA_TESTS=OFF -DLUMBRA_BENCH=ON \
    -DLUMBRA_SANITIZE=OFF -DLUMBRA_TSAN=OFF -DLUMBRA_FUZZ=OFF

out=build-bench/bench-results
rm -rf "$out"
mkdir -p "$out"

# Each benchmark writes its figures as CSV, one file per benchmark since the
# CSV report wants the same counters on every line.
run() {
    local name="$1" program="$2" filter="$3"
    echo "running $name" >&2
    "$program" --benchmark_filter="^$filter\$" --benchmark_out="$out/$name.csv" \
        --benchmark_out_format=csv >"$out/$name.log" 2>&1 || { cat "$out/$name.log" >&2; exit 1; }
}
run startup build-bench/bench/app/lumbra_bench_startup 'BM_StartToFirstFrame/.*'
run full_repaint build-bench/bench/ui/lumbra_bench_ui BM_FullRepaint
run full_repaint_scale2 build-bench/bench/ui/lumbra_bench_ui BM_FullRepaintScale2
run hover_repaint build-bench/bench/ui/lumbra_bench_ui BM_HoverRepaint
run readback build-bench/bench/device/lumbra_bench_device 'BM_ReadBackAll/.*'
run flush build-bench/bench/device/lumbra_bench_device 'BM_FlushPendingWrites/.*'
run pauses build-bench/bench/device/lumbra_bench_device 'BM_PausesOnly/.*'
run ui_stall build-bench/bench/app/lumbra_bench_ui_stall 'BM_Stall.*'
run write_library build-bench/bench/lumbra_bench_files BM_WriteMacroLibrary1000
run read_library build-bench/bench/lumbra_bench_files BM_ReadMacroLibrary1000
echo "running idle" >&2
# On a session bus, so that the idle figures include Lumbra's exported service.
dbus-run-session -- bench/app/IdleBench.sh build-bench/app/lumbra 10 >"$out/idle.log" 2>/dev/null
echo "running idle under desktops" >&2
# Each compositor headless with its own buses; one that cannot start here is
# reported as skipped.
bench/app/DesktopIdleBench.sh build-bench/app/lumbra 10 >"$out/desktop_idle.log" \
    2>"$out/desktop_idle.err"
echo "running lumbractl" >&2
bench/app/CtlBench.sh build-bench/app/lumbra build-bench/ctl/lumbractl 20 >"$out/ctl.log"

# figure RESULT COLUMN: one column of one benchmark's CSV line.
figure() {
    local file="$out/$1.csv" bench="$2" column="$3"
    awk -F, -v bench="$bench" -v column="$column" '
        /^name,/ {for (i = 1; i <= NF; i++) {h = $i; gsub(/"/, "", h); col[h] = i}; header = 1; next}
        header {n = $1; gsub(/"/, "", n); if (n == bench) {print $col[column]; exit}}' "$file"
}
idle() { awk -v name="$1" '$1 == "FIGURE" && $2 == name {print $3}' "$out/${2:-idle}.log"; }

# row LABEL VALUE UNIT TARGET: TARGET is "<N" (value must stay under N), "=N",
# or "-" for a figure without one. A VALUE of "skipped" (a compositor that does
# not start here) shows no figure and no verdict.
rows=()
row() { rows+=("$1|$2|$3|$4"); }

startup=BM_StartToFirstFrame/iterations:10/manual_time
row "start-up to first painted frame" "$(figure startup $startup real_time)" ms "<400"
row "bare-Qt floor: first painted frame" "$(figure startup $startup floor_ms)" ms -
row "start-up / floor (medians)" "$(figure startup $startup ratio)" ratio "<1.5"
row "start-up with --hidden to the tray icon" "$(figure startup $startup hidden_ms)" ms -
row "resident memory after start-up" "$(figure startup $startup rss_mb)" MB -
row "resident memory / floor (medians)" "$(figure startup $startup rss_ratio)" ratio "<1.3"
row "main window: full repaint" "$(figure full_repaint BM_FullRepaint real_time)" us "<4000"
row "main window: full repaint at scale 2" "$(figure full_repaint_scale2 BM_FullRepaintScale2 real_time)" us "<4000"
row "main window: hover repaint" "$(figure hover_repaint BM_HoverRepaint real_time)" us -
row "ReadBackAll, factory keyboard / pauses" "$(figure readback BM_ReadBackAll/0/iterations:5 ratio)" ratio "<1.05"
row "ReadBackAll, 3 macros / pauses" "$(figure readback BM_ReadBackAll/3/iterations:5 ratio)" ratio "<1.05"
row "FlushPendingWrites, all pending / pauses" "$(figure flush BM_FlushPendingWrites/iterations:3 ratio)" ratio "<1.05"
row "sleeps alone / pauses (the floor)" "$(awk 'BEGIN {printf "%.4f", 1 + ARGV[1] / 100}' "$(figure pauses BM_PausesOnly/3/iterations:5 overshoot_pct)")" ratio -
row "longest UI-thread stall: full Apply" "$(figure ui_stall BM_StallFullApply/iterations:2 longest_stall_ms)" ms "<16"
row "longest UI-thread stall: Reset All" "$(figure ui_stall BM_StallResetAll/iterations:2 longest_stall_ms)" ms "<16"
row "longest UI-thread stall: start-up read" "$(figure ui_stall BM_StallStartUpReadBack/iterations:2 longest_stall_ms)" ms "<16"
row "longest UI-thread stall: hot-plug read" "$(figure ui_stall BM_StallHotPlugReadBack/iterations:2 longest_stall_ms)" ms "<16"
row "write a 1,000-macro library" "$(figure write_library BM_WriteMacroLibrary1000 real_time)" ms -
row "read a 1,000-macro library" "$(figure read_library BM_ReadMacroLibrary1000 real_time)" ms -
row "idle 10 s: CPU time" "$(idle idle_cpu_ms)" ms "=0"
row "idle 10 s: wake-ups (context switches)" "$(idle idle_wakeups)" count "=0"
row "idle: service on the session bus" "$(idle idle_bus_service)" count "=1"
row "idle 10 s, sway socket: wake-ups" "$(idle idle_wakeups_sway desktop_idle)" count "=0"
row "idle 10 s, sway foreign-toplevel: wake-ups" "$(idle idle_wakeups_wlr desktop_idle)" count "=0"
row "idle 10 s, KWin script: wake-ups" "$(idle idle_wakeups_kwin desktop_idle)" count "=0"
row "idle 10 s, GNOME Shell extension: wake-ups" "$(idle idle_wakeups_gnome desktop_idle)" count "=0"
row "lumbractl profile set, less pauses" "$(idle ctl_profile_set_ms ctl)" ms "<30"

printf '\n%-42s %12s %-6s %8s  %s\n' "figure" "value" "unit" "target" "result"
status=0
for r in "${rows[@]}"; do
    IFS='|' read -r label value unit target <<<"$r"
    result="-"
    if [ -z "$value" ]; then
        result="missing"
        status=1
    elif [ "$value" = skipped ]; then
        value="-"
        result="skipped"
    elif [ "$target" != "-" ]; then
        result="$(awk -v v="$value" -v t="$target" 'BEGIN {
            op = substr(t, 1, 1); limit = substr(t, 2) + 0
            ok = (op == "<") ? (v + 0 < limit) : (v + 0 == limit)
            print ok ? "pass" : "over"}')"
    fi
    [ -n "$value" ] && [ "$value" != - ] && value="$(awk -v v="$value" -v u="$unit" 'BEGIN {
        printf (u == "ratio" ? "%.4f" : v == int(v) ? "%d" : "%.3f"), v}')"
    printf '%-42s %12s %-6s %8s  %s\n' "$label" "$value" "$unit" "$target" "$result"
done
exit "$status"
