# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the shell benchmarks: a scratch folder in $dir for one lumbra,
# whose process id the benchmark puts in $pid; both go when the script ends.
dir="$(mktemp -d "${TMPDIR:-/tmp}/lumbra-bench-XXXXXX")"
pid=""
cleanup() {
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
        kill -TERM "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    fi
    rm -rf "$dir"
}
trap cleanup EXIT
