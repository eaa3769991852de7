#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Measures the real program's frame rate: runs it for a few seconds on a virtual X
# display of its own with Mesa's software renderer, counting glutSwapBuffers calls
# through a preloaded wrapper (swapcount.cpp), then sets the vertex work per frame from
# the frame benchmark against the measured frame time.
#
#   bench/fps.sh [path/to/tessary]
#
# BUILD_DIR (default build-bench/, apart from the tests' build/) is where the wrapper, the
# window harness, the benchmark and, without an argument, the program are built;
# FPS_SECONDS (default 5) is how long the program runs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build-bench}
program=${1:-$build/tessary}
seconds=${FPS_SECONDS:-5}

fail() { echo "fps.sh: $*" >&2; exit 1; }

# shellcheck source-path=SCRIPTDIR/.. source=scripts/packages.sh
source "$root/scripts/packages.sh"
# shellcheck source=scripts/harness.sh
source "$root/scripts/harness.sh"
"$root/scripts/deps.sh" "${BUILD_PACKAGES[@]}" "${HARNESS_PACKAGES[@]}" libbenchmark-dev \
    || fail "could not install the packages it needs"

work=$(mktemp -d)
trap 'harness_stop; rm -rf "$work"' EXIT

targets=(tessary_swapcount tessary_frame_benchmark)
[ $# -eq 0 ] && targets+=(tessary)
{ harness_build "$build" -DTESSARY_BENCHMARKS=ON && cmake --build "$build" -j2 --target "${targets[@]}"; } \
    >"$work/build.log" 2>&1 || { tail -20 "$work/build.log" >&2; fail "build in $build failed"; }
[ -x "$program" ] || fail "no program at $program"

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
