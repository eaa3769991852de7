#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Debian package on a new machine; run inside a fresh system by
# `scripts/fresh-install.sh [--tarball FILE] SUITE scripts/fresh/package.sh [SHA256]`.
# Builds and checks the package (scripts/package.sh), which must have the SHA-256 sum
# SHA256 when one is given (the release's, made on that suite: the source tarball gives
# the same bytes on a new machine), and the window harness; takes the system back to the
# packages it started with, then installs the package with apt-get and requires that it
# brings in no build or test tool, that the installed program shows its picture, that the
# installed metainfo and menu entry pass their validators and AppStream finds the
# application, and that apt-get remove leaves none of its files.
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
source scripts/harness.sh
export DEBIAN_FRONTEND=noninteractive
installed() { dpkg-query -W -f '${Package}\n' | sort; }
installed >/tmp/fresh

scripts/package.sh
deb=$(echo build-package/tessary_*.deb)
[ -f "$deb" ] || fail "package.sh made no .deb"
if [ -n "${1:-}" ]; then
    sum=$(sha256sum "$deb" | cut -d' ' -f1)
    [ "$sum" = "$1" ] || fail "$deb is not the release's: its SHA-256 is $sum, not $1"
    echo "package.sh: $deb is the release's, byte for byte"
fi

deps "${HARNESS_PACKAGES[@]}"
harness_build window-tests

# Back to the fresh system: every package added since is purged.
mapfile -t added < <(installed | comm -13 /tmp/fresh -)
apt-get purge -y -qq "${added[@]}" >/dev/null || fail "could not purge what the build installed"
[ "$(installed)" = "$(cat /tmp/fresh)" ] || fail "purging did not give back the fresh system's packages"
echo "package.sh: built $deb; the system is back to its fresh packages"

apt-get install -y -qq "./$deb" >/dev/null || fail "apt-get install ./$deb failed"
mapfile -t added < <(installed | comm -13 /tmp/fresh -)
echo "package.sh: it brought in: ${added[*]}"
for package in "${added[@]}"; do
    [[ ! "$package" =~ -dev$|^(g\+\+|gcc|cpp|clang|cmake|make|xvfb|xdotool|x11-utils)(-|$) ]] \
        || fail "the package pulled in the build or test tool $package"
done

# The harness's own needs, which the installed program's do not include.
deps xvfb libxtst6
harness_picture 60 /tmp/installed.ppm tessary || fail "the installed program showed no picture"
echo "package.sh: the installed program shows the start-up picture"

# What a software centre and a menu read.
deps appstream desktop-file-utils
appstreamcli validate --no-net --pedantic /usr/share/metainfo/*.metainfo.xml \
    && desktop-file-validate /usr/share/applications/*.desktop \
    && appstreamcli refresh-cache --force >/dev/null && appstreamcli get invalid.tessary.tessary \
    || fail "the installed metainfo or menu entry fails its validator, or AppStream does not find the application"

dpkg -L tessary >/tmp/files
apt-get remove -y -qq tessary >/dev/null || fail "apt-get remove tessary failed"
while read -r file; do
    [ ! -f "$file" ] && [ ! -L "$file" ] || fail "apt-get remove left $file behind"
done </tmp/files
[ ! -e /usr/share/doc/tessary ] || fail "apt-get remove left /usr/share/doc/tessary behind"
echo "package.sh: apt-get remove tessary left none of its files"
