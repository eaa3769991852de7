# shellcheck shell=bash
# SPDX-License-Identifier: MIT
# Sourced, after scripts/lib.sh, by the scripts that show the real program's window: the
# window harness (tests/support/x_session_tool.cpp, built with the tests) as a
# co-process. It starts Xvfb and the program, and stops both by their pids when it ends.

# harness_build PRESET [TARGET...]: configures PRESET, one with the tests (dev,
# window-tests), and builds the harness and the targets in its folder, build-PRESET/.
harness_build() {
    configure "$1"
    build "build-$1" x_session_tool "${@:2}" >/dev/null
    harness_tool=build-$1/tests/x_session_tool
}

# harness_start [--wait SECONDS] [NAME=VALUE...] [PROGRAM [ARG...]]: starts the harness
# and waits until the program's window shows (or only the server, without a program).
# Sets harness_program, the program's pid (0 without one).
harness_start() {
    local reply
    coproc HARNESS { exec "$harness_tool" "$@"; }
    harness_pid=$HARNESS_PID
    read -r reply <&"${HARNESS[0]}" || reply="error the window harness ended"
    [ "${reply%% *}" = ready ] || { echo "${reply#error }" >&2; return 1; }
    # shellcheck disable=SC2034  # for the caller
    read -r _ _ harness_program <<<"$reply"
}

# harness COMMAND...: one command (press KEY..., settled FILE, changed FILE, resize SIZE),
# and waits for its answer; fails, saying why, unless it is ok.
harness() {
    local reply
    echo "$*" >&"${HARNESS[1]}"
    read -r reply <&"${HARNESS[0]}" || reply="error the window harness ended"
    [ "$reply" = ok ] || { echo "$*: ${reply#error }" >&2; return 1; }
}

# harness_stop: ends the harness, which stops what it started, and waits for it.
harness_stop() {
    [ -n "${harness_pid:-}" ] || return 0
    [ -z "${HARNESS[1]:-}" ] || echo quit >&"${HARNESS[1]}" || true
    wait "$harness_pid" 2>/dev/null || true
    harness_pid=
}

# harness_picture SECONDS FILE PROGRAM [ARG...]: starts PROGRAM under the harness, waits up
# to SECONDS for its window, writes its settled picture to FILE (PPM) and stops it.
harness_picture() {
    harness_start --wait "$1" "${@:3}" && harness settled "$2" || { harness_stop; return 1; }
    harness_stop
}
