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
# build-ARCH/tessary_<version>_ARCH.deb; scripts/cross.sh ARCH installs what that needs.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
[ $# -le 1 ] || fail "usage: scripts/package.sh [ARCH]"
deps "${BUILD_PACKAGES[@]}" "${PACKAGE_PACKAGES[@]}"
arch=${1:-$(dpkg --print-architecture)}
preset=package
if [ "$arch" != "$(dpkg --print-architecture)" ]; then
    [ -f "arm/toolchain-$arch.cmake" ] || fail "no toolchain file for $arch (there are: arm64, armhf)"
    preset=$arch
    # dpkg-buildflags and dpkg-shlibdeps (run by CPack) answer for this architecture.
    export DEB_HOST_ARCH=$arch
fi
build=build-$preset

# The same commit gives the same .deb, bit for bit, whoever builds it, where and when.
# Members' times: the last commit's (the changelog's outside a git checkout), unless the
# caller sets its own. Modes and times of the archive files that cpack writes itself:
# umask 022 and UTC. Paths and the .comment note: packaging/CMakeLists.txt.
umask 022
export TZ=UTC LC_ALL=C.UTF-8
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null) \
        || SOURCE_DATE_EPOCH=$(dpkg-parsechangelog -l packaging/changelog -STimestamp) \
        || fail "no time for the package's files: no git commit and no date in packaging/changelog"
fi
export SOURCE_DATE_EPOCH

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
release=$(dpkg-parsechangelog -l packaging/changelog -SVersion)
[ "$(dpkg-deb -f "$deb" Version)" = "$release" ] \
    || fail "the package's version is not the changelog's last, $release"
date=$(date -u -d "@$(dpkg-parsechangelog -l packaging/changelog -STimestamp)" +%F)
grep -q "<release version=\"$release\" date=\"$date\">" "$build"/packaging/*.metainfo.xml \
    || fail "the metainfo's release is not the changelog's last, $release of $date"
complaints=$(groff -man -ww -z "$build/packaging/tessary.1" 2>&1)
[ -z "$complaints" ] || fail "groff finds fault with the manual page: $complaints"
echo "package.sh: built $deb"
