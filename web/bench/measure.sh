#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The browser figures: one frame's vertex work as WebAssembly (run by node) beside the
# same source built natively, then the page's frames per second under a flood of keys in
# headless Chromium against the probe page's, A B A B in one browser (MEASURE_SECONDS
# each, default 10); the time from the start of loading to the first frame; last, what
# the page costs idle on a phone's screen against a hand-written page that draws on
# demand (idle.mjs: CPU time of the whole browser and frames drawn, RUNS times each).
# Arguments go to measure.mjs (--screenshot FILE saves a picture of the page,
# --phone-screenshot FILE one of the page on a phone; FILE from the top of the tree):
#   web/bench/measure.sh --screenshot web/tessary-web.png --phone-screenshot web/tessary-phone.png
set -euo pipefail
source "$(dirname "$0")/../../scripts/lib.sh"
deps "${BUILD_PACKAGES[@]}" "${WEB_BUILD_PACKAGES[@]}" "${WEB_TEST_PACKAGES[@]}"
scripts/web.sh >/dev/null || fail "build of the page failed"
npm_ci

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# Native with the flags of the Release build (CMake's -O3 -DNDEBUG).
g++ -std=c++17 -O3 -DNDEBUG -Isrc -Ibench web/bench/vertex_work.cpp bench/vertex_sink.cpp \
    src/complex.cpp src/dual.cpp src/splitcomplex.cpp src/twoparts.cpp -o "$tmp/vertex_work" \
    || fail "native build of web/bench/vertex_work.cpp failed"
echo "vertex work, WebAssembly: $(node build-web/tessary_vertex_work.js)" || fail "the WebAssembly run failed"
echo "vertex work, native:      $("$tmp/vertex_work")" || fail "the native run failed"
node web/bench/measure.mjs "$@" || fail "the frame-rate measurement failed"
node web/bench/first-frame.mjs || fail "the first-frame measurement failed"
node web/bench/idle.mjs || fail "the idle measurement failed, or missed its goal (above)"
