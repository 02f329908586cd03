# The pieces the scripts share (sourced): failing in one line, installing packages, building
# a preset, waiting for a condition, ending a background process; and the package lists.
# shellcheck shell=bash
SCRIPTS_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$SCRIPTS_DIR/packages.sh"

# fail MESSAGE: says what went wrong in one line on stderr and ends the script.
fail() {
    echo "error: $*" >&2
    exit 1
}

# skip MESSAGE: a test that can't run here says why and exits 77, which ctest counts as skipped.
skip() {
    echo "skipped: $*"
    exit 77
}

# need TOOL...: skips the test unless every tool is on the PATH.
need() {
    local tool
    for tool in "$@"; do command -v "$tool" >/dev/null || skip "$tool is missing (scripts/test.sh installs it)"; done
}

# ensure_packages PACKAGE...: installs those missing, or ends the script (ensure-packages.sh
# has said why).
ensure_packages() {
    "$SCRIPTS_DIR/ensure-packages.sh" "$@" || exit 1
}

# The number of parallel jobs of a build or a test run: one per core.
parallel_jobs() {
    nproc
}

# build_preset PRESET [TARGET...]: configures and builds PRESET (all of it, or the targets),
# from the repository's root, logging to build/configure-PRESET.log and build/build-PRESET.log;
# when a step fails, shows the end of its log and fails.
build_preset() {
    local preset=$1 targets=()
    shift
    [ $# -eq 0 ] || targets=(--target "$@")
    local configure_log=build/configure-$preset.log build_log=build/build-$preset.log
    echo "== building $preset"
    mkdir -p build
    cmake --preset "$preset" >"$configure_log" 2>&1 || {
        tail -n 30 "$configure_log" >&2
        fail "configuring '$preset' failed; see $configure_log"
    }
    cmake --build --preset "$preset" -j "$(parallel_jobs)" "${targets[@]}" >"$build_log" 2>&1 || {
        tail -n 30 "$build_log" >&2
        fail "building '$preset' failed; see $build_log"
    }
}

# wait_for SECONDS COMMAND [ARG...]: runs COMMAND every tenth of a second until it succeeds
# (status 0) or SECONDS have passed (status 1). A COMMAND that can tell the wait is hopeless
# (the process it waits on has ended) may fail the script itself.
wait_for() {
    local seconds=$1
    shift
    local deadline=$((${EPOCHREALTIME//[!0-9]/} + seconds * 1000000))
    until "$@"; do
        ((${EPOCHREALTIME//[!0-9]/} < deadline)) || return 1
        sleep 0.1
    done
}

process_ended() {  # PID
    ! kill -0 "$1" 2>/dev/null
}

# stop_process PID [SIGNAL]: ends a background process of this shell's (TERM by default)
# and collects it; nothing when PID is empty.
stop_process() {
    [ -n "${1:-}" ] || return 0
    kill -s "${2:-TERM}" "$1" 2>/dev/null
    wait "$1" 2>/dev/null
    return 0
}

# CPU seconds a process has used so far, to the nanosecond (/proc/PID/stat counts in 10 ms).
cpu_seconds() {  # PID
    awk '{ printf "%.9f\n", $1 / 1e9 }' "/proc/$1/schedstat"
}

# report_tick_windows PROGRAM SERVER SUMMARY RUN MARK...: for each MARK, RUN MARK answers
# "PROGRAM_CPU SERVER_CPU" (seconds, once MARK ticks are shown); between consecutive marks,
# one line of the program's and the server's CPU per tick, also appended to SUMMARY.
report_tick_windows() {
    local program=$1 server=$2 summary=$3 run=$4 previous="" mark cpu server_cpu from cpu_before server_before
    shift 4
    for mark in "$@"; do
        read -r cpu server_cpu <<<"$("$run" "$mark")"
        if [ -n "$previous" ]; then
            read -r from cpu_before server_before <<<"$previous"
            awk -v a="$from" -v b="$mark" -v h1="$cpu_before" -v h2="$cpu" -v s1="$server_before" -v s2="$server_cpu" \
                -v p="$program" -v s="$server" 'BEGIN {
                printf "1920x1080 Lots Turbo text, ticks %d..%d: %s CPU %.3f ms/tick, %s CPU %.3f ms/tick\n",
                    a, b, p, (h2 - h1) * 1000 / (b - a), s, (s2 - s1) * 1000 / (b - a)
            }' | tee -a "$summary"
        fi
        previous="$mark $cpu $server_cpu"
    done
}
