#!/usr/bin/env bash
# Captures the start-up picture into docs/tessary.png: builds the program if needed, runs
# it under an Xvfb server of its own, and stops both, by pid, on the way out.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
source scripts/xvfb.sh
scripts/deps.sh "${BUILD_PACKAGES[@]}" xvfb x11-utils imagemagick

fail() { echo "screenshot.sh: $*" >&2; exit 1; }
build=${BUILD_DIR:-build}
tmp=$(mktemp -d)
pids=()
stop() {
    kill "$1" 2>/dev/null || return 0
    for _ in $(seq 30); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
}
cleanup() {
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do stop "${pids[i]}"; done
    rm -rf "$tmp"
}
trap cleanup EXIT

cmake -S . -B "$build" >/dev/null || fail "cmake configure of $build/ failed"
cmake --build "$build" --target tessary -j"$(nproc)" >/dev/null || fail "build of the program failed"

start_xvfb "$tmp" || fail "could not start Xvfb"

LIBGL_ALWAYS_SOFTWARE=1 "$build/tessary" &
pids+=($!)
window=
for _ in $(seq 150); do
    window=$(xwininfo -root -tree | awk '/"Tessary": /{ print $1; exit }')
    [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || fail "no window titled \"Tessary\" within 15 s"

# Two captures alike: the first frames have been drawn.
for i in $(seq 50); do
    import -window "$window" -strip "$tmp/shot$i.png" || fail "import could not capture window $window"
    [ "$i" -gt 1 ] && cmp -s "$tmp/shot$i.png" "$tmp/shot$((i - 1)).png" && break
    [ "$i" -lt 50 ] || fail "the picture did not settle within 50 captures"
    sleep 0.2
done
mkdir -p docs
cp "$tmp/shot$i.png" docs/tessary.png
echo "screenshot.sh: wrote docs/tessary.png"
