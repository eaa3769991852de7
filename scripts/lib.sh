# shellcheck shell=bash
# SPDX-License-Identifier: MIT
# What every script shares, sourced right after `set -euo pipefail`:
#
#   source "$(dirname "$0")/lib.sh"
#
# It moves to the top of the tree, reads the package lists (packages.sh) and defines:
#   fail MESSAGE...            says what failed, under the script's name, and exits 1
#   deps PACKAGE...            installs the Debian packages that are missing (deps.sh)
#   as_root COMMAND...         runs the command as root, directly or through sudo
#   configure PRESET [ARG...]  configures PRESET's build folder (CMakePresets.json)
#   build DIR [TARGET...]      builds the targets (all by default) in DIR
#   stop_pid PID               stops a process this script started, by its id
#   npm_ci [DIR]               installs DIR's npm packages (default web/) as its lock file pins them
#   release_version            the release's version, V, from packaging/changelog's top entry
#   release_date               its day, YYYY-MM-DD, as the build reads it
#   reproducible               sets up the build of an artefact that anyone rebuilds bit for bit
#   zip_tree DIR ZIP           zips DIR's files into ZIP the same way wherever it is made
#   exe_version RES NAME       a Windows version resource's string NAME (FileVersion, ...)
#   arch_deps ARCH             installs what a cross build for the Debian architecture ARCH needs
cd "$(dirname "${BASH_SOURCE[0]}")/.." || exit 1
# shellcheck source=scripts/packages.sh
source scripts/packages.sh

fail() {
    echo "${0##*/}: $*" >&2
    exit 1
}

deps() { scripts/deps.sh "$@" || fail "could not install the packages it needs: $*"; }

as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    elif command -v sudo >/dev/null; then
        sudo "$@"
    else
        fail "needs root, or sudo, for: $*"
    fi
}

configure() {
    cmake --preset "$@" >/dev/null || fail "cmake configure of the $1 preset failed"
}

build() {
    local targets=()
    [ $# -le 1 ] || targets=(--target "${@:2}")
    cmake --build "$1" -j"$(nproc)" "${targets[@]}" || fail "build in $1/ failed"
}

# TERM first; what has not ended within 3 s gets KILL. Reaped, when it is our child.
stop_pid() {
    kill "$1" 2>/dev/null || return 0
    for _ in $(seq 30); do
        kill -0 "$1" 2>/dev/null || break
        sleep 0.1
    done
    kill -9 "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
}

# The DevTools driver only: PUPPETEER_SKIP_DOWNLOAD, as no browser is downloaded; the
# tests drive Debian's Chromium and Firefox.
npm_ci() {
    local dir=${1:-web}
    (cd "$dir" && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --ignore-scripts --no-audit --no-fund >/dev/null) \
        || fail "npm ci in $dir/ failed (is the npm registry reachable?)"
}

# The release's version, V, and its day, YYYY-MM-DD: packaging/changelog's top entry, read
# by the build's own reader, packaging/release.cmake, which also holds it to NEWS.md.
release() {
    local read
    read=$(cmake -P packaging/release.cmake 2>&1) || fail "packaging/changelog and NEWS.md do not give a release: $read"
    echo "$read"
}
release_version() { local read; read=$(release) && echo "${read% *}"; }
release_date() { local read; read=$(release) && echo "${read#* }"; }

# The same tree gives the same bytes, whoever builds it, where and when: files dated from
# the release (never from git, so that a build from the source tarball matches a build
# from a clone), modes from umask 022, times and messages in UTC and C.UTF-8. Paths and
# the compilers' notes are the build's business (CMakeLists.txt, packaging/CMakeLists.txt).
reproducible() {
    local date
    date=$(sed -n '/^ -- /{s/^ -- .*>  //p;q}' packaging/changelog)
    [ -n "$date" ] || fail "packaging/changelog's top entry has no date (its ' -- NAME <MAIL>  DATE' line)"
    SOURCE_DATE_EPOCH=$(date -u -d "$date" +%s) || fail "packaging/changelog's date '$date' is not a date"
    umask 022
    export SOURCE_DATE_EPOCH TZ=UTC LC_ALL=C.UTF-8
}

# zip_tree DIR ZIP: ZIP holds a copy of DIR's files under the folder named as ZIP without
# .zip. Its bytes depend on nothing but the files' contents: names sorted (not in the
# order the file system lists them), every time SOURCE_DATE_EPOCH's (zip writes local
# time: reproducible sets TZ=UTC), files 0644 or 0755 and folders 0755, and no extra
# fields (-X: no owner, no second set of times).
zip_tree() {
    local zip top stage
    zip=$(realpath -m "$2")
    top=$(basename "$zip" .zip)
    stage=$(mktemp -d)
    cp -R "$1" "$stage/$top" \
        && chmod -R u=rwX,go=rX "$stage/$top" \
        && find "$stage/$top" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} + \
        && rm -f "$zip" \
        && (cd "$stage" && find "$top" -print | LC_ALL=C sort | zip -q -X -@ "$zip") \
        || { rm -rf "$stage"; fail "could not zip $1 into $zip"; }
    rm -rf "$stage"
}

# exe_version RES NAME: the value of the string NAME in RES, a version resource as
# `wrestool -x --raw --type=version` gives it (UTF-16, each string after its name).
exe_version() { strings -el "$1" | grep -A1 -x "$2" | tail -n 1; }

# apt offers ARCH's packages only once dpkg knows the architecture; deps.sh then runs
# apt-get update before it installs anything. Both ARM architectures are added at once,
# so that the first cross build's libraries already take a version the other has too
# (deps.sh): added one after the other, the second could find them newer than it can go.
arch_deps() {
    local arch
    for arch in "${CROSS_ARCHES[@]}"; do
        dpkg --print-foreign-architectures | grep -qx "$arch" \
            || as_root dpkg --add-architecture "$arch" || fail "could not add the architecture $arch to dpkg"
    done
    deps "${BUILD_PACKAGES[@]}" "${PACKAGE_PACKAGES[@]}" "crossbuild-essential-$1" "${TARGET_PACKAGES[@]/%/:$1}"
}
