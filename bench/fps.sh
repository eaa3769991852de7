#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Measures the real program's frame rate: runs it for a few seconds on a virtual X
# display of its own with Mesa's software renderer, counting glutSwapBuffers calls
# through a preloaded wrapper (swapcount.cpp), then sets the vertex work per frame from
# the frame benchmark against the measured frame time.
#
#   bench/fps.sh [path/to/tessary]
#
# The wrapper, the window harness, the benchmark and, without an argument, the program are
# built in build-dev/ (preset dev); FPS_SECONDS (default 5) is how long the program runs.
set -euo pipefail
program=
[ $# -eq 0 ] || program=$(realpath "$1")
source "$(dirname "$0")/../scripts/lib.sh"
program=${program:-$PWD/build-dev/tessary}
source scripts/harness.sh
seconds=${FPS_SECONDS:-5}
deps "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"

work=$(mktemp -d)
trap 'harness_stop; rm -rf "$work"' EXIT

harness_build dev tessary_swapcount tessary_frame_benchmark tessary
[ -x "$program" ] || fail "no program at $program"
build="build-dev"

# The vertex work alone, before anything else runs: 6400 point calls per frame.
"$build/bench/tessary_frame_benchmark" --benchmark_filter='/rotations:0$' --benchmark_repetitions=5 \
    >"$work/bench.txt" 2>&1 \
    || { cat "$work/bench.txt" >&2; fail "frame benchmark failed"; }
figures=$(grep '^frame rotations:0 ' "$work/bench.txt") || { cat "$work/bench.txt" >&2; fail "no figures from the frame benchmark"; }
value() { sed -n "s/.* $1=\([0-9.]*\).*/\1/p" <<<"$2"; }
vertex_ns=$(value graph_median "$figures")
plain_ns=$(value plain_median "$figures")
ratio=$(value ratio_median "$figures")
if [ -z "$vertex_ns" ] || [ -z "$plain_ns" ] || [ -z "$ratio" ]; then
    fail "could not read the figures in: $figures"
fi

# The harness starts the program on its own Xvfb, with Mesa's software renderer.
harness_start TESSARY_SWAPCOUNT_FILE="$work/swaps" LD_PRELOAD="$build/bench/libtessary_swapcount.so" "$program" \
    2>"$work/program.log" || { cat "$work/program.log" >&2; fail "$program showed no window"; }
sleep "$seconds"
kill -0 "$harness_program" 2>/dev/null || { cat "$work/program.log" >&2; fail "$program ended early"; }
[ -s "$work/swaps" ] || fail "no frames counted in ${seconds}s (is the program drawing?)"

frames=$(sed -n 's/^frames=//p' "$work/swaps")
elapsed=$(sed -n 's/^seconds=//p' "$work/swaps")
renderer=$(sed -n 's/^renderer=//p' "$work/swaps")
[ "$frames" -gt 0 ] || fail "only one frame shown in ${seconds}s"

awk -v f="$frames" -v s="$elapsed" -v v="$vertex_ns" -v p="$plain_ns" -v r="$ratio" -v gl="$renderer" 'BEGIN {
    fps = f / s; frame_ns = 1e9 / fps
    printf "renderer: %s\n", gl
    printf "frames: %d in %.2f s = %.1f frames per second (%.2f ms a frame; goal >= 60)\n", f, s, fps, frame_ns / 1e6
    printf "vertex work: %.0f ns a frame (plain loop %.0f ns, ratio %.3f) = %.1f%% of a frame\n", v, p, r, 100 * v / frame_ns
}'
