#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds Tessary for ARM on this machine and tests it under qemu-user:
#
#   scripts/cross.sh ARCH      ARCH: arm64 or armhf
#
# Installs what it needs: the foreign architecture, crossbuild-essential-ARCH, the
# libraries for ARCH and qemu-user. Builds build-ARCH/ (preset ARCH, through
# arm/toolchain-ARCH.cmake), the program and its unit tests, with the package's flags,
# and makes build-ARCH/tessary_<version>_ARCH.deb (scripts/package.sh ARCH). Runs the
# unit tests under qemu-user, then the window tests, built for this machine in
# build-ARCH/window-tests/, against the ARCH program under qemu-user on private Xvfb
# servers, with ARCH's Mesa.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
[ $# -eq 1 ] || fail "usage: scripts/cross.sh ARCH   (ARCH: arm64 or armhf)"
arch=$1
case $arch in
    arm64) machine=aarch64 ;;
    armhf) machine="ARM, EABI5" ;;
    *) fail "no cross build for '$arch': ARCH is arm64 or armhf" ;;
esac
build=build-$arch

arch_deps "$arch"
deps "${CROSS_PACKAGES[@]}"

# Tests on, then package.sh adds the package's flags and builds everything: the unit
# tests run on the very code that is packaged.
configure "$arch" -DTESSARY_TESTS=ON
scripts/package.sh "$arch" || fail "package.sh $arch failed"
file -b "$build/tessary" | grep -q "$machine" || fail "$build/tessary is not an $arch program: $(file -b "$build/tessary")"
launcher=$(<"$build/window-launcher.txt")
ctest --test-dir "$build" -L unit --no-tests=error --output-on-failure || fail "unit tests under ${launcher%% *} failed"

# Mesa's llvmpipe compiles its shaders with LLVM, which under qemu-user takes minutes
# before the first frame; softpipe draws the same lines without it.
window=$build/window-tests
configure window-tests -B "$window" -DTESSARY_WINDOW_PROGRAM="$PWD/$build/tessary" \
    -DTESSARY_WINDOW_LAUNCHER="$launcher"
build "$window" window_test window_keys_test soak_test
GALLIUM_DRIVER=softpipe ctest --test-dir "$window" -L window --no-tests=error --output-on-failure \
    || fail "window tests of the $arch program under ${launcher%% *} failed"
echo "cross.sh: $arch passed; package $(echo "$build"/tessary_*_"$arch".deb)"
