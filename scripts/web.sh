#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the browser page, build-web/tessary.html: the program compiled by Debian's
# Emscripten through the same CMakeLists (emcmake), warnings treated as errors, into
# one self-contained file that opens from disk. Installs the Debian packages it needs.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
fail() { echo "web.sh: $*" >&2; exit 1; }
scripts/deps.sh "${WEB_BUILD_PACKAGES[@]}"

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

emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release -DTESSARY_WERROR=ON >/dev/null \
    || fail "configure of build-web/ through emcmake failed"
cmake --build build-web -j"$(nproc)" || fail "build of build-web/tessary.html failed"
[ -s build-web/tessary.html ] || fail "the build made no build-web/tessary.html"
echo "web.sh: built build-web/tessary.html; open it in a browser (file:// is fine)"
