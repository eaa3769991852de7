#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds Tessary and runs every test: the unit and window tests in build/ with GCC, then
# the unit tests again built with Clang, AddressSanitizer and UBSan in build-clang/.
# Both builds treat warnings as errors and include the benchmarks, so both compilers
# see all the code. Last, the browser page (scripts/web.sh) and its tests in Chromium.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
fail() { echo "test.sh: $*" >&2; exit 1; }
scripts/deps.sh "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
jobs=$(nproc)
options=(-DTESSARY_TESTS=ON -DTESSARY_BENCHMARKS=ON -DTESSARY_WERROR=ON)

# The options are given every time: a build/ configured earlier by run.sh has them off.
cmake -S . -B build "${options[@]}" >/dev/null || fail "configure of build/ failed"
cmake --build build -j"$jobs" || fail "build of build/ failed"
ctest --test-dir build --no-tests=error --output-on-failure || fail "tests in build/ failed"

sanitize="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
cmake -S . -B build-clang "${options[@]}" -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_CXX_FLAGS="$sanitize" -DCMAKE_EXE_LINKER_FLAGS="$sanitize" >/dev/null \
    || fail "configure of build-clang/ failed"
cmake --build build-clang -j"$jobs" || fail "Clang sanitizer build failed"
ctest --test-dir build-clang -L unit --no-tests=error --output-on-failure \
    || fail "unit tests under Clang's sanitizers failed"

# The browser page, built by web.sh, and its tests in headless Chromium against the
# desktop program built above in build/, shown through the window harness built there. The DevTools driver comes from npm, pinned by
# web/package-lock.json; no browser is downloaded.
scripts/deps.sh "${WEB_BUILD_PACKAGES[@]}" "${WEB_TEST_PACKAGES[@]}"
scripts/web.sh || fail "build of the page failed"
(cd web && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --ignore-scripts --no-audit --no-fund >/dev/null) \
    || fail "npm ci in web/ failed (is the npm registry reachable?)"
(cd web && TESSARY_BINARY="$PWD/../build/tessary" TESSARY_HARNESS="$PWD/../build/tests/x_session_tool" node --test --test-concurrency=1 test/*.test.mjs) \
    || fail "browser tests failed"
