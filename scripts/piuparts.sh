#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Debian's install and purge tester, piuparts, on a package, in a copy of the minimal
# SUITE (default bookworm) that scripts/fresh-install.sh keeps, which it makes first if
# there is none yet:
#
#   scripts/piuparts.sh build-package/tessary_V_amd64.deb [SUITE]
#
# piuparts installs the package with its dependencies, purges it and fails on any file it
# leaves, changes or removes, on broken symbolic links, on a process left running, on
# debsums' complaints and on adequate's (a library not found, an undefined symbol: a
# missing dependency); Debian's own piuparts scripts add theirs (copyright, md5sums,
# permissions, nothing written to /home). Dependencies come from fresh-install.sh's
# archives cache when they are there, as a local repository (piuparts runs apt-get clean
# before it installs, which would empty the cache if it were lent as apt's archives
# folder); the network is then used only for apt's look at the suite's index and for
# what the cache lacks. Needs root; started by another user, it runs itself through sudo.
set -euo pipefail
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "piuparts.sh: needs root, or sudo: piuparts needs it" >&2; exit 1; }
    exec sudo "$(realpath "$0")" "$@"
fi
source "$(dirname "$0")/lib.sh"
[ $# -ge 1 ] && [ $# -le 2 ] && [ -f "$1" ] || fail "usage: scripts/piuparts.sh DEB [SUITE]   (SUITE: bookworm by default)"
deb=$(realpath "$1")
suite=${2:-bookworm}
deps "${PIUPARTS_PACKAGES[@]}"
cache=${TESSARY_FRESH_CACHE:-/var/cache/tessary-fresh}/$suite
[ -d "$cache/base" ] || scripts/fresh-install.sh "$suite" true || fail "could not make the minimal $suite"
log=/var/tmp/tessary-piuparts-$suite-$(basename "$deb" .deb).log
work=$(mktemp -d /var/tmp/tessary-piuparts.XXXXXX)

cleanup() {
    local status=$?
    # piuparts unmounts what it mounted; after a crash its mounts are undone here, so that
    # nothing is removed through them.
    findmnt -rn -o TARGET | grep -F "$work/" | sort -r | xargs -r umount -l || true
    rm -rf --one-file-system "$work"
    [ "$status" -eq 0 ] || echo "piuparts.sh: the whole log is $log" >&2
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# The cache's packages as a flat repository whose index lies in $work/repo and whose
# files are the cache's own: both folders are mounted into the chroot at the same paths.
mkdir "$work/repo"
(cd / && dpkg-scanpackages -m "${cache#/}/archives" /dev/null 2>/dev/null) >"$work/repo/Packages" \
    || fail "dpkg-scanpackages could not index $cache/archives"
# A copy of the base, which piuparts then hard-links into its chroot: the shared base is
# never written to. The local repository comes first, so that apt takes a package there
# rather than download it.
cp -a "$cache/base" "$work/base"
{ echo "deb [trusted=yes] file:/ ${work#/}/repo/"; cat "$cache/base/etc/apt/sources.list"; } \
    >"$work/base/etc/apt/sources.list"
# No translations of the descriptions, which debootstrap does not fetch: 6 MB less.
echo 'Acquire::Languages "none";' >"$work/base/etc/apt/apt.conf.d/99no-translations"

# What piuparts says against the package: its warnings and errors, each with the
# indented lines that follow it, and its verdicts.
findings() {
    awk '/^[0-9]+m[0-9.]+s (WARN|ERROR)/ { p = 1; print; next } /^  / { if (p) print; next }
         { p = 0 } /INFO: PASS/' "$log"
}

echo "piuparts.sh: piuparts on ${deb##*/} in a minimal $suite; log in $log"
piuparts --existing-chroot "$work/base" --hard-link --tmpdir "$work" --keep-sources-list \
    --distribution "$suite" --bindmount "$cache/archives" --bindmount "$work/repo" \
    --scriptsdir /etc/piuparts/scripts --pedantic-purge-test --fail-on-broken-symlinks --fail-if-inadequate \
    "$deb" >"$log" 2>&1 || { findings >&2; fail "piuparts finds fault with ${deb##*/}"; }
findings
echo "piuparts.sh: piuparts passes ${deb##*/} on $suite"
