#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The README's two commands on a new machine; run inside a fresh system by
# `scripts/fresh-install.sh SUITE scripts/fresh/commands.sh`:
#   1. scripts/run.sh, with nothing installed, installs the program's packages, builds it
#      and starts it;
#   2. tests asked for without their packages stop configure, which names them;
#   3. scripts/test.sh installs the rest and passes every test;
#   4. scripts/run.sh's viewer shows its start-up picture (seen through the window
#      harness that test.sh built).
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
source scripts/harness.sh

# No display yet, so the program must get as far as opening one: a library or symbol
# missing would stop it earlier, in the dynamic loader, with another message.
if output=$(DISPLAY='' scripts/run.sh 2>&1); then
    fail "run.sh ended without error where no display is open"
fi
grep -q "failed to open display" <<<"$output" || fail "run.sh did not start the viewer: $output"
echo "commands.sh: run.sh installed, built and started the viewer"

if cmake --preset dev -B /tmp/probe >/tmp/probe.log 2>&1; then
    fail "configure with tests but without their packages did not stop"
fi
grep -q 'apt-get install libgtest-dev' /tmp/probe.log || fail "configure stopped without naming the packages: $(tail -5 /tmp/probe.log)"
echo "commands.sh: without the test packages, configure with tests stops and names them"

scripts/test.sh

harness_tool=build-dev/tests/x_session_tool
harness_picture 120 /tmp/run.ppm scripts/run.sh || fail "run.sh's viewer showed no picture"
echo "commands.sh: run.sh's viewer shows the start-up picture"
