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
#   scripts/fresh-install.sh --windows SUITE   scripts/windows.sh: freeglut's source
#                                              from Debian, the Windows build, its zip and
#                                              installer, and its tests under Wine
#
# Each run starts from a copy of a debootstrap (minbase) system, made once and kept in
# TESSARY_FRESH_CACHE (default /var/cache/tessary-fresh) with the packages downloaded
# so far, and holds the committed tree (git HEAD), no build outputs. The windows go to a
# private Xvfb on this machine. Needs root for debootstrap, chroot and mount; started by
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
    --windows) mode=windows; shift ;;
esac
[ $# -eq 1 ] && [ "$mode" != cross- ] \
    || fail "usage: scripts/fresh-install.sh [--package | --cross ARCH | --windows] SUITE   (SUITE: bookworm or trixie)"
suite=$1
git rev-parse --verify -q HEAD >/dev/null || fail "needs a git checkout: it copies the committed tree"
[ -z "$(git status --porcelain --untracked-files=no)" ] \
    || echo "fresh-install.sh: uncommitted changes are not copied; this checks HEAD"

source scripts/xvfb.sh
scripts/deps.sh debootstrap xvfb x11-utils imagemagick

cache=${TESSARY_FRESH_CACHE:-/var/cache/tessary-fresh}/$suite
log=/var/tmp/tessary-fresh-$suite-$mode.log
: >"$log"
work=$(mktemp -d /var/tmp/tessary-fresh.XXXXXX)
pids=()    # started processes; those that run in a system copy lead a process group
mounts=()  # in mounting order

# stop PID: stops the process and the process group it leads (Xvfb leads none).
stop() {
    kill -- "-$1" 2>/dev/null || kill "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
}

cleanup() {
    local status=$? i pid
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

# start NAME COMMAND: runs the shell command in /root/tessary of system NAME as root, in
# the background, in a process group of its own so that cleanup stops all of it; its
# output goes to the log.
start() {
    setsid chroot "$work/$1" /usr/bin/env -i HOME=/root LANG=C.UTF-8 DISPLAY="$DISPLAY" \
        PATH=/usr/sbin:/usr/bin:/sbin:/bin LIBGL_ALWAYS_SOFTWARE=1 \
        NODE_EXTRA_CA_CERTS=/etc/host-ca-certificates.crt \
        bash -c "cd /root/tessary && $2" >>"$log" 2>&1 &
    pids+=($!)
}

# run NAME COMMAND [FAILURE]: as start, and waits for it; fails with FAILURE, or naming
# the command.
run() {
    start "$1" "$2"
    wait "${pids[-1]}" || fail "${3:-"'$2' failed in the fresh $suite"}"
}

# picture SECONDS: waits up to SECONDS for the window titled "Tessary", while the last
# process started is alive, until it shows a settled picture that is not all black;
# keeps the picture beside the log.
picture() {
    local window shot=${log%.log}.png
    window=$(find_window "$1" "${pids[-1]}") || fail "the program ended, or no window titled \"Tessary\" appeared within $1 s"
    settled_capture "$window" "$shot" 2>>"$log" || fail "could not capture a settled picture of window $window"
    [ "$(convert "$shot" -format '%[fx:maxima > 0]' info:)" = 1 ] || fail "the window stays black (see $shot)"
    step "the window shows the start-up picture ($shot)"
}

# stop_last: stops the last process started, with its group.
stop_last() {
    stop "${pids[-1]}"
    unset 'pids[-1]'
}

start_xvfb "$work" || fail "could not start Xvfb"
step "fresh $suite: $mode; log in $log"

if [ "$mode" = commands ]; then
    new_system a
    step "scripts/run.sh (installs the build packages, builds, starts the viewer)"
    start a "scripts/run.sh"
    picture 1800
    stop_last
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
elif [ "$mode" = windows ]; then
    new_system windows
    step "scripts/windows.sh (installs mingw-w64, Wine and NSIS, fetches and builds freeglut, builds, packages, tests under Wine)"
    run windows "scripts/windows.sh"
    grep -E 'tests passed|tests failed|windows.sh: |installer-test.sh: passed' "$log"
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
    start install "exec tessary"
    picture 60
    stop_last
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
