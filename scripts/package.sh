#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the Debian package build-package/tessary_<version>_<arch>.deb with CPack, then
# checks it with Debian's own tools: lintian on the package, desktop-file-validate on the
# menu entry and groff on the manual page. Any complaint fails the script.
#
#   scripts/package.sh [ARCH]
#
# ARCH is a Debian architecture, this machine's by default. Another one (arm64, armhf) is
# cross-built in build-ARCH/ through arm/toolchain-ARCH.cmake, into
# build-ARCH/tessary_<version>_ARCH.deb; scripts/cross.sh ARCH installs what that needs.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
fail() { echo "package.sh: $*" >&2; exit 1; }
[ $# -le 1 ] || fail "usage: scripts/package.sh [ARCH]"
scripts/deps.sh "${BUILD_PACKAGES[@]}" "${PACKAGE_PACKAGES[@]}"
arch=${1:-$(dpkg --print-architecture)}
build=build-package
cross=()
if [ "$arch" != "$(dpkg --print-architecture)" ]; then
    [ -f "arm/toolchain-$arch.cmake" ] || fail "no toolchain file for $arch (there are: arm64, armhf)"
    build=build-$arch
    cross=(--toolchain "arm/toolchain-$arch.cmake" -DCPACK_DEBIAN_PACKAGE_ARCHITECTURE="$arch")
    # dpkg-buildflags and dpkg-shlibdeps (run by CPack) answer for this architecture.
    export DEB_HOST_ARCH=$arch
fi

# Built with Debian's hardening flags, all of them, as Debian's own package builds are.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S . -B "$build" "${cross[@]}" -DCMAKE_INSTALL_PREFIX=/usr \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null \
    || fail "cmake configure of $build/ failed"
cmake --build "$build" -j"$(nproc)" || fail "build failed"
rm -f "$build"/tessary_*.deb
(cd "$build" && cpack -G DEB >/dev/null) || fail "cpack could not make the package"
deb=$(echo "$build"/tessary_*.deb)
[ -f "$deb" ] || fail "cpack made no tessary_*.deb in $build/"

lintian --fail-on error,warning "$deb" || fail "lintian finds fault with $deb"
desktop-file-validate packaging/tessary.desktop || fail "desktop-file-validate finds fault with the menu entry"
complaints=$(groff -man -ww -z "$build/packaging/tessary.1" 2>&1)
[ -z "$complaints" ] || fail "groff finds fault with the manual page: $complaints"
echo "package.sh: built $deb"
