#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# DesktopIdleBench.sh LUMBRA [SECONDS]: the idle cost of each way Lumbra is told
# the active window. For each source (sway's socket and the foreign-toplevel
# protocol under sway, KWin's script under KWin, the Shell extension under GNOME
# Shell) it starts the compositor headless with XWayland and a session bus of
# its own, starts xlogo and gives it the focus, then starts `lumbra --simulate
# --hidden` on the compositor's X display with that source forced and xlogo
# listed in profile 2. Once the source has reported xlogo (profile 2 was sent
# to the keyboard) and start-up has settled, it counts lumbra's CPU time and
# context switches over SECONDS (default 10); nothing changes meanwhile, so both
# should be 0. Prints "FIGURE idle_wakeups_SOURCE n count" and
# "FIGURE idle_cpu_ms_SOURCE n ms" per source, or "FIGURE idle_wakeups_SOURCE
# skipped" (and the same for the CPU time) with the reason on stderr when the
# compositor does not start here or the source never reported. Each run is a
# subshell that stops everything it started, by pid, however it ends.
set -euo pipefail
program="$(realpath "$1")"
seconds="${2:-10}"
here="$(cd "$(dirname "$0")" && pwd)"
extension_files="$here/../../packaging/gnome-shell"
extension_uuid="lumbra@lumbra.github.io"
# sway refuses to run as root; XWayland then lets in only sway's user.
user=nobody

dir=""
pid=""
groups=()
others=()
# Each compositor, bus and program runs in a process group of its own (setsid
# gives it one without a fork, its pid is the group's id), so that stopping it
# also stops what it started (XWayland). A process that leaves the group is
# stopped by its pid from $others.
start_group() {
    setsid "$@" &
    groups+=("$!")
}
stop_all() {
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
        kill -TERM "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    fi
    pid=""
    local g i
    for g in "${others[@]}"; do kill -TERM "$g" 2>/dev/null || true; done
    others=()
    for ((i = ${#groups[@]} - 1; i >= 0; i--)); do
        kill -TERM -- "-${groups[i]}" 2>/dev/null || true
    done
    for g in "${groups[@]}"; do
        for _ in $(seq 30); do kill -0 -- "-$g" 2>/dev/null || break; sleep 0.1; done
        kill -KILL -- "-$g" 2>/dev/null || true
        { wait "$g" || true; } 2>/dev/null
    done
    groups=()
    [ -n "$dir" ] && rm -rf "$dir"
    dir=""
}
# The run under way: a subshell that stops what it started when it ends,
# however it ends.
run=""
trap '[ -n "$run" ] && kill -TERM "$run" 2>/dev/null; exit 1' INT TERM

# until TENTHS COMMAND...: runs the command every 0.1 s until it succeeds.
until_true() {
    local tenths="$1"; shift
    for _ in $(seq "$tenths"); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

# The run's folder, with a home, a runtime folder and a fresh configuration
# (written by a first headless start, run as AS..., the run's user) with xlogo
# listed in profile 2, which turns following on.
new_folder() {
    dir="$(mktemp -d "${TMPDIR:-/tmp}/lumbra-desktop-XXXXXX")"
    mkdir -p "$dir/home" "$dir/run"
    chmod 700 "$dir/run"
    chmod 755 "$dir"
    [ $# -gt 0 ] && chown -R "$user:" "$dir"
    QT_QPA_PLATFORM=offscreen HOME="$dir/home" XDG_RUNTIME_DIR="$dir/run" \
        DBUS_SESSION_BUS_ADDRESS="unix:path=$dir/no-bus" LUMBRA_STARTUP_PROBE="$dir/probe" \
        "$@" "$program" --simulate="$dir/keyboard.state" --config-dir "$dir/app" 2>/dev/null &
    pid=$!
    until_true 100 test -s "$dir/probe" || { echo "lumbra painted no frame" >&2; exit 1; }
    kill -TERM "$pid"
    wait "$pid" || true
    pid=""
    rm "$dir/probe"
    printf 'Program1=/usr/bin/xlogo\r\nProgram2=\r\nProgram3=\r\n' >>"$dir/app/config/default1.psf"
}

# A session bus for the run, as a desktop session has one.
start_bus() {
    start_group "$@" dbus-daemon --session --nofork --address="unix:path=$dir/bus" \
        >"$dir/bus.log" 2>&1
    until_true 50 test -S "$dir/bus" || return 1
    export DBUS_SESSION_BUS_ADDRESS="unix:path=$dir/bus"
}

. "$(dirname "$0")/BenchMeasure.sh"
# Whether lumbra still runs (a child that ended stays as a zombie until waited).
running() {
    local stat
    stat="$(cat "/proc/$pid/stat" 2>/dev/null)" || return 1
    stat="${stat##*) }"
    [ "${stat%% *}" != Z ]
}
profile2_sent() { awk '$2 == "set" && $3 == "05" && $4 == "03" && $5 == "01" {f = 1} END {exit !f}' \
    "$dir/trace" 2>/dev/null; }

skip() {
    echo "$1: $2" >&2
    echo "FIGURE idle_wakeups_$1 skipped"
    echo "FIGURE idle_cpu_ms_$1 skipped"
}

# measure SOURCE AS... : starts lumbra with the source forced (through the
# command prefix AS, which keeps the environment), waits for it to report
# xlogo, then counts.
measure() {
    local source="$1"; shift
    LUMBRA_FOCUS_SOURCE="$source" QT_QPA_PLATFORM=xcb HOME="$dir/home" \
        XDG_RUNTIME_DIR="$dir/run" LUMBRA_STARTUP_PROBE="$dir/probe" \
        "$@" "$program" --hidden --simulate="$dir/keyboard.state" --sim-trace "$dir/trace" \
        --config-dir "$dir/app" >/dev/null 2>"$dir/lumbra.err" &
    pid=$!
    if ! until_true 150 profile2_sent; then
        skip "$source" "the source did not report the focused xlogo ($(tail -c 300 "$dir/lumbra.err"))"
        return
    fi
    # The read-back and the tray's absence settle within a second or two.
    sleep 2
    local ticks_before switches_before ticks_after switches_after
    ticks_before="$(cpu_ticks)"
    switches_before="$(thread_switches)"
    sleep "$seconds"
    ticks_after="$(cpu_ticks)"
    switches_after="$(thread_switches)"
    running || { skip "$source" "lumbra exited while idle"; return; }
    echo "FIGURE idle_wakeups_$source $(awk 'NR == FNR {before[$1] = $3; next}
        {n += $3 - before[$1]} END {print n + 0}' <(echo "$switches_before") \
        <(echo "$switches_after")) count"
    echo "FIGURE idle_cpu_ms_$source $(( (ticks_after - ticks_before) * 1000 / $(getconf CLK_TCK) )) ms"
}

# sway as its user; the forced source is sway's socket or the foreign-toplevel protocol.
under_sway() {
    local source="$1" as=()
    if [ "$(id -u)" = 0 ]; then
        as=(setpriv --reuid="$user" --regid="$(id -gn "$user")" --clear-groups)
    fi
    new_folder "${as[@]}"
    cat >"$dir/sway.config" <<CONF
xwayland enable
output HEADLESS-1 resolution 1024x768
assign [class="(?i)^lumbra\$"] workspace 2
exec env > $dir/env.part && mv $dir/env.part $dir/sway.env
CONF
    [ "$(id -u)" = 0 ] && chown "$user:" "$dir/sway.config"
    start_bus "${as[@]}" || { skip "$source" "no session bus"; exit; }
    HOME="$dir/home" XDG_RUNTIME_DIR="$dir/run" WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 \
        start_group "${as[@]}" sway -c "$dir/sway.config" >"$dir/sway.log" 2>&1
    if ! until_true 150 test -s "$dir/sway.env"; then
        skip "$source" "sway does not start here ($(tail -c 300 "$dir/sway.log"))"
        exit
    fi
    local name
    for name in DISPLAY WAYLAND_DISPLAY SWAYSOCK; do
        export "$(grep "^$name=" "$dir/sway.env")"
    done
    export XDG_RUNTIME_DIR="$dir/run"
    start_group "${as[@]}" xlogo 2>/dev/null
    until_true 100 "${as[@]}" swaymsg '[class="^XLogo$"] focus' >/dev/null 2>&1 ||
        { skip "$source" "xlogo got no window"; exit; }
    measure "$source" "${as[@]}"
}

# KWin, from a copy without the file capabilities that make it refuse to start
# as root in a container; its session program, which KWin starts in a session
# of its own, writes down the displays and its pid.
under_kwin() {
    local kwin
    new_folder
    kwin="$(command -v kwin_wayland || true)"
    [ -n "$kwin" ] || { skip kwin "kwin_wayland is missing"; exit; }
    cp "$kwin" "$dir/kwin_wayland"
    cat >"$dir/session.sh" <<'SH'
#!/bin/sh
echo $$ > "$(dirname "$0")/session.pid"
printf '%s\n%s\n' "$DISPLAY" "$WAYLAND_DISPLAY" > "$(dirname "$0")/env.part"
mv "$(dirname "$0")/env.part" "$(dirname "$0")/env"
exec sleep infinity
SH
    chmod 700 "$dir/session.sh"
    export HOME="$dir/home" XDG_RUNTIME_DIR="$dir/run"
    start_bus || { skip kwin "no session bus"; exit; }
    start_group "$dir/kwin_wayland" --virtual --xwayland --socket wayland-lumbra \
        --no-lockscreen "$dir/session.sh" >"$dir/kwin.log" 2>&1
    until_true 200 test -s "$dir/env" || true
    [ -s "$dir/session.pid" ] && others+=("$(cat "$dir/session.pid")")
    if ! test -s "$dir/env"; then
        skip kwin "KWin with XWayland does not start here ($(tail -c 300 "$dir/kwin.log"))"
        exit
    fi
    export DISPLAY="$(sed -n 1p "$dir/env")" WAYLAND_DISPLAY="$(sed -n 2p "$dir/env")"
    # KWin gives a new window the focus.
    start_group xlogo 2>/dev/null
    measure kwin
}

# GNOME Shell with a private system bus and Lumbra's extension enabled before
# it starts; the extension's test-only object tells the Shell's displays and
# gives xlogo the focus.
under_gnome() {
    command -v gnome-shell >/dev/null || { skip gnome "gnome-shell is missing"; exit; }
    new_folder
    local extension="$dir/home/.local/share/gnome-shell/extensions/$extension_uuid"
    mkdir -p "$extension" "$dir/home/.config"
    cp "$extension_files/metadata.json" "$extension_files/extension.js" "$extension/"
    cat >"$dir/system.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig><type>system</type><listen>unix:path=$dir/system_bus</listen>
<policy context="default"><allow send_destination="*"/><allow receive_sender="*"/>
<allow own="*"/></policy></busconfig>
CONF
    export HOME="$dir/home" XDG_RUNTIME_DIR="$dir/run" XDG_DATA_HOME="$dir/home/.local/share" \
        XDG_CONFIG_HOME="$dir/home/.config" GSETTINGS_BACKEND=keyfile LANG=C.UTF-8 \
        DBUS_SYSTEM_BUS_ADDRESS="unix:path=$dir/system_bus"
    start_bus || { skip gnome "no session bus"; exit; }
    start_group dbus-daemon --nofork --config-file="$dir/system.conf" \
        >"$dir/system-bus.log" 2>&1
    until_true 50 test -S "$dir/system_bus" || { skip gnome "no system bus"; exit; }
    gsettings set org.gnome.shell enabled-extensions "['$extension_uuid']"
    LUMBRA_TEST_FOCUS=1 start_group gnome-shell --headless --wayland \
        --virtual-monitor 1024x768 >"$dir/shell.log" 2>&1
    test_call() {
        gdbus call --session --timeout 5 --dest org.gnome.Shell \
            --object-path /io/github/lumbra/lumbra/TestFocus \
            --method "io.github.lumbra.lumbra.TestFocus.$1" "$2" 2>/dev/null |
            sed -n "s/^('\(.*\)',)$/\1/p; s/^(\(true\),)$/\1/p"
    }
    has_wayland() { [ -n "$(test_call Getenv WAYLAND_DISPLAY)" ]; }
    if ! until_true 300 has_wayland; then
        skip gnome "GNOME Shell with the extension does not start here ($(tail -c 300 "$dir/shell.log"))"
        exit
    fi
    local name
    for name in DISPLAY XAUTHORITY WAYLAND_DISPLAY; do
        export "$name=$(test_call Getenv "$name")"
    done
    start_group xlogo 2>/dev/null
    focused() { [ "$(test_call FocusWindow xlogo)" = true ]; }
    until_true 100 focused || { skip gnome "xlogo got no focus"; exit; }
    measure gnome
}

for each in "under_sway sway" "under_sway wlr" under_kwin under_gnome; do
    (
        trap stop_all EXIT
        trap 'exit 1' INT TERM
        $each
    ) &
    run=$!
    wait "$run" || true
    run=""
done
