#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the browser page, build-web/tessary.html: the program compiled by Debian's
# Emscripten through the same CMakeLists (preset web), warnings treated as errors, into
# one self-contained file that opens from disk; and the same page as a site a phone can
# install, build-web/site/ (web/site.mjs). Installs the Debian packages it needs.
#
#   scripts/web.sh             builds the page
#   scripts/web.sh --bundled   also lists the members of Emscripten's libraries whose code
#                              the page links in, from the linker's map of a second build
#                              (build-web-map/): the licences in web/CMakeLists.txt follow it
set -euo pipefail
source "$(dirname "$0")/lib.sh"
deps "${WEB_BUILD_PACKAGES[@]}"
# The same tree gives the same page, whoever builds it, where and when.
reproducible

# Debian's emscripten runs its JavaScript tools with node and needs Debian's acorn, which
# a node from elsewhere does not look for.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
# Where Emscripten's own cache is not writable (Debian 13's is built on first use), it
# goes in a cache of ours that outlives build-web/.
cache=$(em-config CACHE 2>/dev/null) || fail "em-config failed: is Debian's emscripten installed whole?"
if [ ! -w "$cache" ] && [ -z "${EM_CACHE:-}" ]; then
    export EM_CACHE=${XDG_CACHE_HOME:-$HOME/.cache}/tessary-emscripten
    mkdir -p "$EM_CACHE"
fi

configure web
build build-web
[ -s build-web/tessary.html ] || fail "the build made no build-web/tessary.html"
[ -s build-web/site/index.html ] || fail "the build made no build-web/site/"
if [ "${1:-}" = --bundled ]; then
    configure web -B build-web-map -DCMAKE_EXE_LINKER_FLAGS=-Wl,--print-map
    rm -f build-web-map/web/tessary.html
    cmake --build build-web-map --target tessary >build-web-map/map.txt || fail "the build with a map failed"
    grep -oE '[a-z_+-]+\.a\([^)]*\)' build-web-map/map.txt | sort -u
fi
echo "web.sh: built build-web/tessary.html; open it in a browser (file:// is fine)"
echo "web.sh: built build-web/site/; serve it over https from any static host (docs/web.md)"
