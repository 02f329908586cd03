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
    [ -n "$1" ] || return 0
    kill -s "${2:-TERM}" "$1" 2>/dev/null
    wait "$1" 2>/dev/null
    return 0
}
