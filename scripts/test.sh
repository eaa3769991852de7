#!/usr/bin/env bash
# Builds Tessary and runs every test: the unit and window tests in build/, then the
# unit tests again built with AddressSanitizer and UBSan in build-sanitize/.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
scripts/deps.sh "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
jobs=$(nproc)

cmake -S . -B build -DTESSARY_WERROR=ON >/dev/null || { echo "test.sh: configure of build/ failed" >&2; exit 1; }
cmake --build build -j"$jobs" || { echo "test.sh: build of build/ failed" >&2; exit 1; }
ctest --test-dir build --output-on-failure || { echo "test.sh: tests in build/ failed" >&2; exit 1; }

sanitize="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
cmake -S . -B build-sanitize -DTESSARY_WERROR=ON -DTESSARY_BENCHMARKS=OFF \
    -DCMAKE_CXX_FLAGS="$sanitize" -DCMAKE_EXE_LINKER_FLAGS="$sanitize" >/dev/null \
    || { echo "test.sh: configure of build-sanitize/ failed" >&2; exit 1; }
cmake --build build-sanitize -j"$jobs" || { echo "test.sh: sanitizer build failed" >&2; exit 1; }
ctest --test-dir build-sanitize -L unit --output-on-failure \
    || { echo "test.sh: unit tests under sanitizers failed" >&2; exit 1; }
