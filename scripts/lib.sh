# shellcheck shell=bash
# SPDX-License-Identifier: MIT
# What every script shares, sourced right after `set -euo pipefail`:
#
#   source "$(dirname "$0")/lib.sh"
#
# It moves to the top of the tree, reads the package lists (packages.sh) and defines:
#   fail MESSAGE...            says what failed, under the script's name, and exits 1
#   deps PACKAGE...            installs the Debian packages that are missing (deps.sh)
#   as_root COMMAND...         runs the command as root, directly or through sudo
#   configure PRESET [ARG...]  configures PRESET's build folder (CMakePresets.json)
#   build DIR [TARGET...]      builds the targets (all by default) in DIR
#   stop_pid PID               stops a process this script started, by its id
#   npm_ci [DIR]               installs DIR's npm packages (default web/) as its lock file pins them
cd "$(dirname "${BASH_SOURCE[0]}")/.." || exit 1
# shellcheck source=scripts/packages.sh
source scripts/packages.sh

fail() {
    echo "${0##*/}: $*" >&2
    exit 1
}

deps() { scripts/deps.sh "$@" || fail "could not install the packages it needs: $*"; }

as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    elif command -v sudo >/dev/null; then
        sudo "$@"
    else
        fail "needs root, or sudo, for: $*"
    fi
}

configure() {
    cmake --preset "$@" >/dev/null || fail "cmake configure of the $1 preset failed"
}

build() {
    local targets=()
    [ $# -le 1 ] || targets=(--target "${@:2}")
    cmake --build "$1" -j"$(nproc)" "${targets[@]}" || fail "build in $1/ failed"
}

# TERM first; what has not ended within 3 s gets KILL. Reaped, when it is our child.
stop_pid() {
    kill "$1" 2>/dev/null || return 0
    for _ in $(seq 30); do
        kill -0 "$1" 2>/dev/null || break
        sleep 0.1
    done
    kill -9 "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
}

# The DevTools driver only: PUPPETEER_SKIP_DOWNLOAD, as no browser is downloaded; the
# tests drive Debian's Chromium and Firefox.
npm_ci() {
    local dir=${1:-web}
    (cd "$dir" && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --ignore-scripts --no-audit --no-fund >/dev/null) \
        || fail "npm ci in $dir/ failed (is the npm registry reachable?)"
}
