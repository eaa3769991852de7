#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs a command on a clean, minimal Debian SUITE (bookworm, trixie), as a new machine
# would, and fails when it fails:
#
#   scripts/fresh-install.sh [--tarball FILE] [--with FILE]... SUITE COMMAND [ARG...]
#
#   scripts/fresh-install.sh trixie scripts/fresh/commands.sh   the README's two commands
#   scripts/fresh-install.sh trixie scripts/fresh/package.sh    the package: build, install, remove
#   scripts/fresh-install.sh trixie scripts/cross.sh arm64      any script of the tree
#   scripts/fresh-install.sh --tarball build-release/tessary-V.tar.gz trixie scripts/fresh/commands.sh
#   scripts/fresh-install.sh --with old/tessary_1.0.0_amd64.deb --with tessary_1.0.1_amd64.deb \
#       bookworm scripts/fresh/upgrade.sh /root/tessary_1.0.0_amd64.deb /root/tessary_1.0.1_amd64.deb
#
# The system is a copy of a debootstrap (minbase) base, made once and kept in
# TESSARY_FRESH_CACHE (default /var/cache/tessary-fresh) with the packages downloaded so
# far. It holds the committed tree (git HEAD) in /root/tessary, no build outputs, and the
# command runs there as root. With --tarball, it holds instead the source tarball FILE
# (scripts/release.sh) unpacked in /root, its top folder tessary-V/, with no git, and the
# command runs in that folder. Each --with FILE is copied into the system's /root/, under
# its own name, for the command to use (two of the same name fail). Needs root for
# debootstrap, chroot and mount; started by another user, it runs itself again through sudo.
set -euo pipefail
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "fresh-install.sh: needs root, or sudo: debootstrap, chroot and mount need it" >&2; exit 1; }
    exec sudo "$(realpath "$0")" "$@"
fi
source "$(dirname "$0")/lib.sh"
tarball=
with=()
while [ $# -gt 0 ]; do
    case $1 in
    --tarball)
        [ -f "${2:-}" ] || fail "no source tarball '${2:-}'"
        tarball=$(realpath "$2") ;;
    --with)
        [ -f "${2:-}" ] || fail "no file '${2:-}' to hand in with --with"
        with+=("$(realpath "$2")") ;;
    *) break ;;
    esac
    shift 2
done
[ $# -ge 2 ] || fail "usage: scripts/fresh-install.sh [--tarball FILE] [--with FILE]... SUITE COMMAND [ARG...]   (SUITE: bookworm or trixie)"
suite=$1
shift
what="$*${tarball:+ from ${tarball##*/}}"
if [ -z "$tarball" ]; then
    git rev-parse --verify -q HEAD >/dev/null || fail "needs a git checkout: it copies the committed tree"
    [ -z "$(git status --porcelain --untracked-files=no)" ] \
        || echo "fresh-install.sh: uncommitted changes are not copied; this checks HEAD"
fi
deps debootstrap

cache=${TESSARY_FRESH_CACHE:-/var/cache/tessary-fresh}/$suite
log=/var/tmp/tessary-fresh-$suite-$(basename "$1" .sh)${2:+-${2##*/}}.log
: >"$log"
work=$(mktemp -d /var/tmp/tessary-fresh.XXXXXX)
root=$work/root
mounts=() # in mounting order

cleanup() {
    local status=$? i pid
    [ -z "${command_pid:-}" ] || kill -- "-$command_pid" 2>/dev/null || true
    # Anything still running inside the copy (a daemon a package started, a program a
    # failed test left) holds its mounts: stopped by pid.
    for pid in /proc/[0-9]*; do
        [[ "$(readlink "$pid/root" 2>/dev/null)" == "$root" ]] && kill -9 "${pid#/proc/}" 2>/dev/null
    done
    for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do
        umount "${mounts[i]}" 2>/dev/null || umount -l "${mounts[i]}" || true
    done
    rm -rf --one-file-system "$work"
    if [ "$status" -ne 0 ]; then
        echo "fresh-install.sh: $what on $suite FAILED; last lines of $log:" >&2
        tail -n 25 "$log" >&2
        echo "fresh-install.sh: the whole log is $log" >&2
    fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

step() { printf '[%4ds] %s\n' "$SECONDS" "$*" | tee -a "$log"; }

# The base, made once; the download goes to a side directory and is moved into place only
# when complete, so an interrupted debootstrap leaves no half base behind.
mkdir -p "$cache/archives/partial"
if [ ! -d "$cache/base" ]; then
    step "making a minimal $suite with debootstrap into $cache/base"
    rm -rf "$cache/base.new"
    debootstrap --variant=minbase "$suite" "$cache/base.new" http://deb.debian.org/debian >>"$log" 2>&1 \
        || fail "debootstrap of $suite failed"
    mv "$cache/base.new" "$cache/base"
fi

# A fresh copy with the committed tree or the tarball, the host's name servers, and its
# certificate authorities for npm (whose registry, on some networks, only those vouch for).
cp -a "$cache/base" "$root"
cp /etc/resolv.conf "$root/etc/resolv.conf"
[ ! -f /etc/ssl/certs/ca-certificates.crt ] || cp /etc/ssl/certs/ca-certificates.crt "$root/etc/host-ca-certificates.crt"
if [ -n "$tarball" ]; then
    top=$(tar -tzf "$tarball" | sed -n '1s,/.*,,p')
    tar -xzf "$tarball" -C "$root/root" && [ -d "$root/root/$top" ] || fail "could not unpack $tarball"
    tree=/root/$top
else
    tree=/root/tessary
    mkdir -p "$root$tree"
    git archive HEAD | tar -x -C "$root$tree"
fi
for file in "${with[@]}"; do
    [ ! -e "$root/root/${file##*/}" ] || fail "--with $file: /root/${file##*/} is there already"
    cp "$file" "$root/root/"
done
mount -t proc proc "$root/proc" && mounts+=("$root/proc")
mount -t sysfs sysfs "$root/sys" && mounts+=("$root/sys")
for dir in /dev /dev/pts /dev/shm; do
    mount --bind "$dir" "$root$dir" && mounts+=("$root$dir")
done
mount --bind "$cache/archives" "$root/var/cache/apt/archives" && mounts+=("$root/var/cache/apt/archives")

# In a process group of its own, so that cleanup stops all of it.
step "fresh $suite: $what; log in $log"
setsid chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 PATH=/usr/sbin:/usr/bin:/sbin:/bin \
    NODE_EXTRA_CA_CERTS=/etc/host-ca-certificates.crt \
    TESSARY_TREE="$tree" bash -c 'cd "$TESSARY_TREE" && exec "$@"' fresh "$@" >>"$log" 2>&1 &
command_pid=$!
wait "$command_pid" || fail "'$what' failed in the fresh $suite"
command_pid=
grep -E 'tests passed|tests failed|^[a-z-]+\.sh: ' "$log" || true
step "fresh $suite: $what passed"
