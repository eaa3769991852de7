#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Proves the README's commands on a clean, minimal Debian SUITE (bookworm, trixie):
#
#   scripts/fresh-install.sh SUITE             scripts/run.sh until the window shows the
#                                              start-up picture, then scripts/test.sh
#   scripts/fresh-install.sh --package SUITE   scripts/package.sh in one copy of the base;
#                                              in a second, apt-get install of the .deb,
#                                              tessary's picture, the validators on the
#                                              installed metainfo and menu entry,
#                                              apt-get remove
#   scripts/fresh-install.sh --cross ARCH SUITE   scripts/cross.sh ARCH (arm64 or armhf):
#                                              the cross build, its package and its tests
#                                              under qemu-user
#
# Each run starts from a copy of a debootstrap (minbase) system, made once and kept in
# TESSARY_FRESH_CACHE (default /var/cache/tessary-fresh) with the packages downloaded
# so far, and holds the committed tree (git HEAD), no build outputs. The windows go to
# the window harness on this machine (scripts/harness.sh), built from this checkout in
# the work folder. Needs root for debootstrap, chroot and mount; started by
# another user, it runs itself again through sudo.
set -euo pipefail
fail() { echo "fresh-install.sh: $*" >&2; exit 1; }
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || fail "needs root, or sudo: debootstrap, chroot and mount need it"
    exec sudo "$0" "$@"
fi
cd "$(dirname "$0")/.."

mode=commands
case ${1:-} in
    --package) mode=package; shift ;;
    --cross) mode=cross-${2:-}; shift 2 || true ;;
esac
[ $# -eq 1 ] && [ "$mode" != cross- ] \
    || fail "usage: scripts/fresh-install.sh [--package | --cross ARCH] SUITE   (SUITE: bookworm or trixie)"
suite=$1
git rev-parse --verify -q HEAD >/dev/null || fail "needs a git checkout: it copies the committed tree"
[ -z "$(git status --porcelain --untracked-files=no)" ] \
    || echo "fresh-install.sh: uncommitted changes are not copied; this checks HEAD"

source scripts/packages.sh
source scripts/harness.sh
scripts/deps.sh debootstrap "${BUILD_PACKAGES[@]}" "${HARNESS_PACKAGES[@]}"

cache=${TESSARY_FRESH_CACHE:-/var/cache/tessary-fresh}/$suite
log=/var/tmp/tessary-fresh-$suite-$mode.log
: >"$log"
work=$(mktemp -d /var/tmp/tessary-fresh.XXXXXX)
pids=()    # started processes, each leading a process group
mounts=()  # in mounting order

# stop PID: stops the process and the process group it leads.
stop() {
    kill -- "-$1" 2>/dev/null || kill "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
}

cleanup() {
    local status=$? i pid
    harness_stop
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do stop "${pids[i]}"; done
    # Anything still running inside a copy (a daemon started by a package) holds its
    # mounts: stop it by pid too.
    for pid in $(ls /proc | grep -E '^[0-9]+$'); do
        [[ "$(readlink "/proc/$pid/root" 2>/dev/null)" == "$work"/* ]] && kill -9 "$pid" 2>/dev/null
    done
    for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do
        umount "${mounts[i]}" 2>/dev/null || umount -l "${mounts[i]}" || true
    done
    rm -rf --one-file-system "$work"
    if [ "$status" -ne 0 ]; then
        echo "fresh-install.sh: $suite ($mode) FAILED; last lines of $log:" >&2
        tail -n 25 "$log" >&2
        echo "fresh-install.sh: the whole log is $log" >&2
    fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

step() { printf '[%4ds] %s\n' "$SECONDS" "$*" | tee -a "$log"; }

# The base system, made once; the download goes to a side directory and is moved into
# place only when complete, so an interrupted debootstrap leaves no half base behind.
mkdir -p "$cache/archives/partial"
if [ ! -d "$cache/base" ]; then
    step "making a minimal $suite with debootstrap into $cache/base"
    rm -rf "$cache/base.new"
    debootstrap --variant=minbase "$suite" "$cache/base.new" http://deb.debian.org/debian >>"$log" 2>&1 \
        || fail "debootstrap of $suite failed"
    mv "$cache/base.new" "$cache/base"
fi

# new_system NAME: a fresh copy of the base in $work/NAME, with the committed tree in
# /root/tessary, the host's name servers, and /proc, /sys, /dev and the package cache.
new_system() {
    local root=$work/$1 dir
    cp -a "$cache/base" "$root"
    cp /etc/resolv.conf "$root/etc/resolv.conf"
    # The host's certificate authorities too, for npm (the browser tests' driver comes
    # over HTTPS, which on some networks only the host's own authorities vouch for).
    [ ! -f /etc/ssl/certs/ca-certificates.crt ] || cp /etc/ssl/certs/ca-certificates.crt "$root/etc/host-ca-certificates.crt"
    mkdir -p "$root/root/tessary"
    git archive HEAD | tar -x -C "$root/root/tessary"
    mount -t proc proc "$root/proc" && mounts+=("$root/proc")
    mount -t sysfs sysfs "$root/sys" && mounts+=("$root/sys")
    for dir in /dev /dev/pts /dev/shm; do
        mount --bind "$dir" "$root$dir" && mounts+=("$root$dir")
    done
    mount --bind "$cache/archives" "$root/var/cache/apt/archives" && mounts+=("$root/var/cache/apt/archives")
}

# in_system NAME COMMAND: sets `in_system` to the command line that runs the shell
# command in /root/tessary of system NAME as root, in a clean environment but for the
# DISPLAY it is started with.
in_system() {
    # shellcheck disable=SC2016  # expanded by the shell inside the system
    in_system=(chroot "$work/$1" /bin/bash -c 'exec /usr/bin/env -i HOME=/root LANG=C.UTF-8 ${DISPLAY:+DISPLAY=$DISPLAY} \
        PATH=/usr/sbin:/usr/bin:/sbin:/bin LIBGL_ALWAYS_SOFTWARE=1 NODE_EXTRA_CA_CERTS=/etc/host-ca-certificates.crt \
        bash -c "cd /root/tessary && $0"' "$2")
}

# start NAME COMMAND: runs the shell command in system NAME, in the background, in a
# process group of its own so that cleanup stops all of it; its output goes to the log.
start() {
    in_system "$1" "$2"
    env -u DISPLAY setsid "${in_system[@]}" >>"$log" 2>&1 &
    pids+=($!)
}

# run NAME COMMAND [FAILURE]: as start, and waits for it; fails with FAILURE, or naming
# the command.
run() {
    start "$1" "$2"
    wait "${pids[-1]}" || fail "${3:-"'$2' failed in the fresh $suite"}"
}

# picture NAME SECONDS COMMAND: runs the shell command in system NAME through the window
# harness, waits up to SECONDS for its window titled "Tessary" and for a settled picture
# (drawn, and still), keeps the picture beside the log, and stops the command.
picture() {
    local shot=${log%.log}.ppm
    in_system "$1" "$3"
    harness_start --wait "$2" "${in_system[@]}" 2>>"$log" \
        || fail "'$3' ended, or no window titled \"Tessary\" appeared within $2 s"
    harness settled "$shot" 2>>"$log" || fail "the window of '$3' showed no settled picture"
    step "the window shows the start-up picture ($shot)"
    harness_stop
}

step "fresh $suite: $mode; log in $log"
harness_build "$work/harness" >>"$log" 2>&1 || fail "build of the window harness in $work/harness failed"

if [ "$mode" = commands ]; then
    new_system a
    step "scripts/run.sh (installs the build packages, builds, starts the viewer)"
    picture a 1800 "scripts/run.sh"
    # Tests asked for with only the build packages there: configure must stop, naming them.
    run a "! cmake -S . -B /tmp/probe -DTESSARY_TESTS=ON -DTESSARY_BENCHMARKS=ON >/tmp/probe.log 2>&1 \
           && grep -q 'apt-get install libgtest-dev' /tmp/probe.log" \
        "configure with tests but without their packages did not stop naming them"
    step "without the test packages, configure with tests stops and names them"
    step "scripts/test.sh (installs the test packages, builds, runs every test)"
    run a "scripts/test.sh"
    grep -E 'tests passed|tests failed' "$log"
elif [[ "$mode" == cross-* ]]; then
    new_system cross
    step "scripts/cross.sh ${mode#cross-} (installs the architecture and its packages, builds, tests under qemu-user)"
    run cross "scripts/cross.sh ${mode#cross-}"
    grep -E 'tests passed|tests failed|cross.sh: ' "$log"
else
    new_system build
    step "scripts/package.sh (installs what it needs, builds and checks the .deb)"
    run build "scripts/package.sh"
    deb=$(cd "$work/build/root/tessary/build-package" && ls tessary_*.deb) || fail "package.sh made no .deb"
    step "built $deb"

    new_system install
    cp "$work/build/root/tessary/build-package/$deb" "$work/install/root/tessary/"
    run install "dpkg-query -W -f '\${Package}\n' | sort >/root/before"
    step "apt-get install ./$deb"
    run install "apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq ./$deb"
    run install "dpkg-query -W -f '\${Package}\n' | sort | comm -13 /root/before - >/root/added"
    step "it brought in: $(tr '\n' ' ' <"$work/install/root/added")"
    ! grep -E -e '-dev$|^(g\+\+|gcc|cpp|clang|cmake|make|xvfb|xdotool|x11-utils)(-|$)' "$work/install/root/added" \
        || fail "the package pulled in build or test tools"
    picture install 60 "exec tessary"
    # What a software centre and a menu read: the installed metainfo and menu entry pass
    # their validators, and AppStream's own catalogue of this system finds the application.
    run install "DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends appstream desktop-file-utils \
        && appstreamcli validate --no-net --pedantic /usr/share/metainfo/*.metainfo.xml \
        && desktop-file-validate /usr/share/applications/*.desktop \
        && appstreamcli refresh-cache --force && appstreamcli get invalid.tessary.tessary" \
        "the installed metainfo or menu entry fails its validator, or AppStream does not find the application"
    step "the installed metainfo and menu entry pass appstreamcli and desktop-file-validate; AppStream finds the application"
    run install "dpkg -L tessary >/root/files && DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq tessary"
    left=$(chroot "$work/install" bash -c 'while read -r f; do [ -f "$f" ] || [ -L "$f" ] && echo "$f"; done </root/files; [ -e /usr/share/doc/tessary ] && echo /usr/share/doc/tessary; true')
    [ -z "$left" ] || fail "apt-get remove left behind: $left"
    step "apt-get remove tessary left none of its files"
fi
step "fresh $suite: $mode passed"
