#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds Tessary for ARM on this machine and tests it under qemu-user:
#
#   scripts/cross.sh ARCH      ARCH: arm64 or armhf
#
# Installs what it needs: the foreign architecture, crossbuild-essential-ARCH, the
# libraries for ARCH and qemu-user. Builds build-ARCH/ through arm/toolchain-ARCH.cmake,
# the program and its unit tests, with the package's flags, and makes
# build-ARCH/tessary_<version>_ARCH.deb (scripts/package.sh ARCH). Runs the unit tests
# under qemu-user, then the window tests, built for this machine in
# build-ARCH/window-tests/, against the ARCH program under qemu-user on private Xvfb
# servers, with ARCH's Mesa.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
fail() { echo "cross.sh: $*" >&2; exit 1; }
[ $# -eq 1 ] || fail "usage: scripts/cross.sh ARCH   (ARCH: arm64 or armhf)"
arch=$1
# The same emulator and root as CMAKE_CROSSCOMPILING_EMULATOR in the toolchain file.
case $arch in
    arm64) launcher="qemu-aarch64 -L /usr/aarch64-linux-gnu" ;;
    armhf) launcher="qemu-arm -L /usr/arm-linux-gnueabihf" ;;
    *) fail "no cross build for '$arch': ARCH is arm64 or armhf" ;;
esac
build=build-$arch

# apt offers ARCH's packages only once dpkg knows the architecture; deps.sh then runs
# apt-get update before it installs anything.
if ! dpkg --print-foreign-architectures | grep -qx "$arch"; then
    sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" dpkg --add-architecture "$arch" || fail "could not add the architecture $arch to dpkg"
fi
scripts/deps.sh "${BUILD_PACKAGES[@]}" "${PACKAGE_PACKAGES[@]}" "${CROSS_PACKAGES[@]}" \
    "crossbuild-essential-$arch" "${TARGET_PACKAGES[@]/%/:$arch}"

# Tests on, then package.sh adds the package's flags and builds everything: the unit
# tests run on the very code that is packaged.
cmake -S . -B "$build" --toolchain "arm/toolchain-$arch.cmake" -DTESSARY_TESTS=ON -DTESSARY_WERROR=ON \
    >/dev/null || fail "cmake configure of $build/ failed"
scripts/package.sh "$arch" || fail "package.sh $arch failed"
file -b "$build/tessary" | grep -q "$(case $arch in arm64) echo aarch64 ;; *) echo ARM, EABI5 ;; esac)" \
    || fail "$build/tessary is not an $arch program: $(file -b "$build/tessary")"
ctest --test-dir "$build" -L unit --no-tests=error --output-on-failure || fail "unit tests under ${launcher%% *} failed"

# Mesa's llvmpipe compiles its shaders with LLVM, which under qemu-user takes minutes
# before the first frame; softpipe draws the same lines without it.
window=$build/window-tests
cmake -S . -B "$window" -DTESSARY_TESTS=ON -DTESSARY_WERROR=ON -DTESSARY_WINDOW_PROGRAM="$PWD/$build/tessary" \
    -DTESSARY_WINDOW_LAUNCHER="$launcher" >/dev/null || fail "cmake configure of $window/ failed"
cmake --build "$window" -j"$(nproc)" --target window_test window_keys_test soak_test \
    || fail "build of the window tests in $window/ failed"
GALLIUM_DRIVER=softpipe ctest --test-dir "$window" -L window --no-tests=error --output-on-failure \
    || fail "window tests of the $arch program under ${launcher%% *} failed"
echo "cross.sh: $arch passed; package $(echo "$build"/tessary_*_"$arch".deb)"
