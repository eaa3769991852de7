#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the Debian package build-package/tessary_<version>_<arch>.deb with CPack, then
# checks it with Debian's own tools: lintian on the package, desktop-file-validate on the
# menu entry, appstreamcli on the metainfo and groff on the manual page; and it checks
# that the icons are what scripts/icons.sh draws from the code now. Any complaint
# fails the script, and so does any lintian tag, even an informational or pedantic one.
#
#   scripts/package.sh [ARCH]
#
# ARCH is a Debian architecture, this machine's by default. Another one (arm64, armhf) is
# cross-built in build-ARCH/ (preset ARCH, through arm/toolchain-ARCH.cmake), into
# build-ARCH/tessary_<version>_ARCH.deb, with ARCH's libraries, installed as needed.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
[ $# -le 1 ] || fail "usage: scripts/package.sh [ARCH]"
deps "${BUILD_PACKAGES[@]}" "${PACKAGE_PACKAGES[@]}"
arch=${1:-$(dpkg --print-architecture)}
preset=package
if [ "$arch" != "$(dpkg --print-architecture)" ]; then
    [ -f "arm/toolchain-$arch.cmake" ] || fail "no toolchain file for $arch (there are: arm64, armhf)"
    arch_deps "$arch"
    preset=$arch
    # dpkg-buildflags and dpkg-shlibdeps (run by CPack) answer for this architecture.
    export DEB_HOST_ARCH=$arch
fi
build=build-$preset

# The same tree gives the same .deb, bit for bit, whoever builds it, where and when:
# members dated from the release, umask 022, UTC (lib.sh's reproducible).
reproducible

# Built with Debian's hardening flags, all of them, as Debian's own package builds are.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
configure "$preset" -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)"
build "$build"
rm -f "$build"/tessary_*.deb
(cd "$build" && cpack -G DEB >/dev/null) || fail "cpack could not make the package"
deb=$(echo "$build"/tessary_*.deb)
[ -f "$deb" ] || fail "cpack made no tessary_*.deb in $build/"

scripts/icons.sh --check || fail "the committed icons are not what the code draws"
lintian -I --pedantic --fail-on error,warning,info,pedantic "$deb" || fail "lintian finds fault with $deb"
desktop-file-validate packaging/*.desktop || fail "desktop-file-validate finds fault with the menu entry"
# Warnings and errors fail. Notes expected: the id's top-level domain, .invalid, is not a
# delegated one; and AppStream before 1.0 does not know the developer tag.
appstreamcli validate --no-net --pedantic "$build"/packaging/*.metainfo.xml \
    || fail "appstreamcli finds fault with the metainfo"
complaints=$(groff -man -ww -z "$build/packaging/tessary.1" 2>&1)
[ -z "$complaints" ] || fail "groff finds fault with the manual page: $complaints"
echo "package.sh: built $deb"
