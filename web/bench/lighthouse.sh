#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Lighthouse's mobile audit of the site against a hand-written WebGL page, three runs
# each, in turn: builds the page, installs Lighthouse as web/bench/package-lock.json pins
# it (apart from the tests' packages), and runs lighthouse.mjs, which says which goal was
# missed and which audits cost points. A benchmark: its figures move with the machine's
# load, so no test runs it.
#   web/bench/lighthouse.sh                          # build-web/site/
#   web/bench/lighthouse.sh build-web/tessary.html   # the single page, as a site's index.html
#   web/bench/lighthouse.sh FOLDER --reports DIR     # also each run's report, HTML and JSON
set -euo pipefail
start=$PWD  # where the paths given are relative to
source "$(dirname "$0")/../../scripts/lib.sh"
deps "${WEB_BUILD_PACKAGES[@]}" "${WEB_TEST_PACKAGES[@]}"
scripts/web.sh >/dev/null || fail "build of the page failed"
npm_ci web/bench

status=0
top=$PWD
(cd "$start" && node "$top/web/bench/lighthouse.mjs" "$@") || status=$?
case $status in
    0) ;;
    1) fail "a goal was missed (above)" ;;
    *) fail "the audit failed (above)" ;;
esac
