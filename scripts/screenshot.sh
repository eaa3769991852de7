#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Takes the pictures of the real program through the window harness (an Xvfb server of
# its own, real key presses, settled pictures only): docs/tessary.png, the start-up
# picture, and docs/tessary-turning.gif, one full turn in the zw plane of 4-space, a
# frame per k. Builds the program and the harness in build-window-tests/; the harness
# stops everything it started, by pid, on the way out.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
source scripts/harness.sh
deps "${BUILD_PACKAGES[@]}" "${HARNESS_PACKAGES[@]}" imagemagick
tmp=$(mktemp -d)
trap 'harness_stop; rm -rf "$tmp"' EXIT

# press KEY [COUNT]: COUNT (1) presses of KEY, and the picture they lead to in $tmp/shot.ppm.
press() {
    local keys=()
    for _ in $(seq "${2:-1}"); do keys+=("$1"); done
    harness press "${keys[@]}" && harness changed "$tmp/shot.ppm" || fail "no new picture after $1 x${2:-1}"
}

# resize SIZE: makes the window SIZE x SIZE pixels; GLUT's default reshape sets the
# viewport to match, so the picture is drawn at that size, not scaled afterwards.
resize() {
    harness resize "$1" && harness changed "$tmp/shot.ppm" || fail "no new picture after resizing to $1"
    [ "$(identify -format %wx%h "$tmp/shot.ppm")" = "$1x$1" ] || fail "the window did not become $1 x $1"
}

harness_build window-tests tessary
harness_start build-window-tests/tessary || fail "the harness could not show the program's window"
harness settled "$tmp/shot.ppm" || fail "the start-up picture did not settle"
mkdir -p docs packaging
convert "$tmp/shot.ppm" -strip docs/tessary.png || fail "convert could not write docs/tessary.png"
echo "screenshot.sh: wrote docs/tessary.png"

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
    cp "$tmp/shot.ppm" "$tmp/frame$i.ppm"
done
convert -delay 8 -loop 0 "$tmp"/frame*.ppm -layers Optimize docs/tessary-turning.gif \
    || fail "convert could not make docs/tessary-turning.gif"
size=$(stat -c %s docs/tessary-turning.gif)
[ "$size" -lt 2000000 ] || fail "docs/tessary-turning.gif has $size bytes, not under 2 MB"
echo "screenshot.sh: wrote docs/tessary-turning.gif ($((size / 1024)) KiB)"
