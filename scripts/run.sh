#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds Tessary (Release) and starts the viewer. Arguments go to the program, which
# hands them to GLUT (for instance -display :1). Needs only the program's own packages.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
fail() { echo "run.sh: $*" >&2; exit 1; }
scripts/deps.sh "${BUILD_PACKAGES[@]}"
# Tests and benchmarks off whatever build/ held: left on by a configure that stopped for
# want of their packages, they would stop this one too.
cmake -S . -B build -DTESSARY_TESTS=OFF -DTESSARY_BENCHMARKS=OFF >/dev/null \
    || fail "cmake configure of build/ failed (if build/ comes from another checkout or tool, remove it and run again)"
cmake --build build --target tessary -j"$(nproc)" || fail "build failed"
exec build/tessary "$@"
