#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Takes the pictures of the real program, under an Xvfb server of its own, with real key
# presses (xdotool): docs/tessary.png, the start-up picture, and
# docs/tessary-turning.gif, one full turn in the zw plane of 4-space, a frame per k.
# Builds the program if needed and stops everything it started, by pid, on the way out.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
source scripts/xvfb.sh
scripts/deps.sh "${BUILD_PACKAGES[@]}" xvfb x11-utils xdotool imagemagick

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

# capture FILE: the window's picture as it is now.
capture() { import -window "$window" -strip "$1" || fail "import could not capture window $window"; }

# settle: keeps the picture as $tmp/shot.png once it is drawn and still.
settle() { settled_capture "$window" "$tmp/shot.png" || fail "the picture of window $window did not settle"; }

# after COMMAND...: runs the command (keys, a resize), waits for the picture to leave the
# last settled one (the X server has the events before the program has drawn them), and
# settles again.
after() {
    local i
    "$@" >/dev/null || fail "failed: $*"
    for i in $(seq 50); do
        capture "$tmp/now.png"
        cmp -s "$tmp/now.png" "$tmp/shot.png" || break
        [ "$i" -lt 50 ] || fail "the picture did not change after: $*"
        sleep 0.1
    done
    settle
}

# press KEY [COUNT]: COUNT (1) presses of KEY, as real key events to the focused window.
press() {
    local keys=()
    for _ in $(seq "${2:-1}"); do keys+=("$1"); done
    after xdotool key "${keys[@]}"
}

# resize SIZE: makes the window SIZE x SIZE pixels; GLUT's default reshape sets the
# viewport to match, so the picture is drawn at that size, not scaled afterwards.
resize() {
    after xdotool windowsize "$window" "$1" "$1"
    [ "$(identify -format %wx%h "$tmp/shot.png")" = "$1x$1" ] || fail "the window did not become $1 x $1"
}

cmake -S . -B "$build" -DTESSARY_TESTS=OFF -DTESSARY_BENCHMARKS=OFF >/dev/null || fail "cmake configure of $build/ failed"
cmake --build "$build" --target tessary -j"$(nproc)" >/dev/null || fail "build of the program failed"

start_xvfb "$tmp" || fail "could not start Xvfb"

LIBGL_ALWAYS_SOFTWARE=1 "$build/tessary" &
pids+=($!)
window=$(find_window 15 "${pids[-1]}") || fail "no window titled \"Tessary\" within 15 s"

settle
mkdir -p docs packaging
cp "$tmp/shot.png" docs/tessary.png
echo "screenshot.sh: wrote docs/tessary.png"

timeout 10 xdotool windowfocus --sync "$window" || fail "could not focus window $window"

# Seen at an angle (k changes nothing seen straight down z), and turned a quarter in the
# zw plane, which brings the surface to the middle of the picture. The icons in
# packaging/icons/ are drawn from this view too (scripts/icons.sh).
press w 3
press k 18
press d 9

# The animation: a little less tilted, so the surface stays in the window all the way
# round; 72 presses of k are one full turn, so the last frame leads to the first.
resize 400
press a 5
for i in $(seq -w 72); do
    press k
    cp "$tmp/shot.png" "$tmp/frame$i.png"
done
convert -delay 8 -loop 0 "$tmp"/frame*.png -layers Optimize docs/tessary-turning.gif \
    || fail "convert could not make docs/tessary-turning.gif"
size=$(stat -c %s docs/tessary-turning.gif)
[ "$size" -lt 2000000 ] || fail "docs/tessary-turning.gif has $size bytes, not under 2 MB"
echo "screenshot.sh: wrote docs/tessary-turning.gif ($((size / 1024)) KiB)"
