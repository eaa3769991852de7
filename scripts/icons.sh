#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Draws the icons in packaging/icons/ from the program's own geometry: tessary_icon
# (packaging/icon/), built for this machine in build-icons/, writes an SVG per size, and
# rsvg-convert draws each PNG from its SVG. Smaller sizes get fewer cells and wider
# lines, so that each reads at its size. With --check it draws them in a scratch folder
# and fails unless every committed icon has the same bytes.
#
#   scripts/icons.sh            rewrite packaging/icons/
#   scripts/icons.sh --check    compare packaging/icons/ with a fresh drawing
set -euo pipefail
source "$(dirname "$0")/lib.sh"
check=false
[ "${1:-}" = --check ] && { check=true; shift; }
[ $# -eq 0 ] || fail "usage: scripts/icons.sh [--check]"
deps "${BUILD_PACKAGES[@]}" librsvg2-bin

configure release -B build-icons -DTESSARY_ICON_TOOL=ON
build build-icons tessary_icon >/dev/null
tool=build-icons/packaging/tessary_icon

out=packaging/icons
if $check; then
    out=$(mktemp -d)
    trap 'rm -rf "$out"' EXIT
fi

# draw SIZE CELLS STROKE [triangles]: SIZE x SIZE pixels, from an SVG of CELLS cells a
# side, lines STROKE wide in the SVG's 256-unit square.
draw() {
    local size=$1 svg
    svg=$(mktemp)
    "$tool" "${@:2}" >"$svg" || fail "tessary_icon ${*:2} failed"
    mkdir -p "$out/${size}x${size}/apps"
    rsvg-convert -w "$size" -h "$size" "$svg" -o "$out/${size}x${size}/apps/tessary.png" \
        || fail "rsvg-convert could not draw the $size px icon"
    if [ "$size" = 256 ]; then
        mkdir -p "$out/scalable/apps"
        cp "$svg" "$out/scalable/apps/tessary.svg"
    fi
    rm -f "$svg"
}
draw 16 2 18
draw 32 3 10
draw 48 4 7
draw 64 6 6
draw 128 8 4 triangles
draw 256 8 3 triangles

if $check; then
    diff -r "$out" packaging/icons >/dev/null \
        || fail "packaging/icons/ is not what scripts/icons.sh draws from the code now; run it and commit"
    echo "icons.sh: packaging/icons/ matches a fresh drawing"
else
    echo "icons.sh: wrote $(find "$out" -type f | sort | tr '\n' ' ')"
fi
