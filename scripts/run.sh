#!/usr/bin/env bash
# Builds Tessary (Release) and starts the viewer. Arguments go to the program, which
# hands them to GLUT (for instance -display :1).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
scripts/deps.sh "${BUILD_PACKAGES[@]}"
cmake -S . -B build >/dev/null || { echo "run.sh: cmake configure failed" >&2; exit 1; }
cmake --build build -j"$(nproc)" || { echo "run.sh: build failed" >&2; exit 1; }
exec build/tessary "$@"
