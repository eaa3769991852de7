#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds Tessary and runs every test: the style checks, the unit and window tests with
# GCC (preset dev, build-dev/), the unit tests again built by Clang with AddressSanitizer
# and UBSan (preset clang-sanitize, build-clang/), then the browser page and its tests in
# Chromium, Firefox and WebKit. Both C++ builds treat warnings as errors and include the
# benchmarks, so both compilers see all the code.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
deps "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}" "${STYLE_PACKAGES[@]}"

scripts/style.sh

configure dev
build build-dev
ctest --preset dev || fail "tests in build-dev/ failed"

configure clang-sanitize
build build-clang
ctest --preset clang-sanitize || fail "unit tests under Clang's sanitizers failed"

# The page, and its tests in headless Chromium, and in Firefox and WebKit on Xvfb, against
# the desktop program built above, shown through the window harness built with it.
deps "${WEB_BUILD_PACKAGES[@]}" "${WEB_TEST_PACKAGES[@]}"
scripts/web.sh || fail "build of the page failed"
npm_ci
(cd web && TESSARY_BINARY="$PWD/../build-dev/tessary" TESSARY_HARNESS="$PWD/../build-dev/tests/x_session_tool" \
    node --test --test-concurrency=1 test/*.test.mjs) \
    || fail "browser tests failed"
