#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Opens a Windows shortcut under Wine as a double-click does, and lasts as long as the
# installed program that it started:
#
#   windows/start-shortcut.sh SHORTCUT.lnk
#
# The window test of windows/installer-test.sh starts the installed Tessary through its
# Start-menu shortcut with this script, and takes the end of this script for the end of
# the program. Wine's start opens a shortcut through the shell, which hands it no handle
# on the program started, so start returns at once, with /wait too. This script waits
# instead, for C:\Program Files\Tessary\tessary.exe in its own process group (which Wine's
# programs keep), until that ends; the test stops the whole group.
set -euo pipefail
source "$(dirname "$0")/../scripts/lib.sh"
{ [ $# -eq 1 ] && [ -f "$1" ]; } || fail "usage: windows/start-shortcut.sh SHORTCUT.lnk"
wine start /unix "$1" || fail "wine start could not open $1"
# Wine names each of its processes by its Windows path.
group=$(ps -o pgid= $$ | tr -d ' ')
started() { pgrep -g "$group" -x -f 'C:\\Program Files\\Tessary\\tessary\.exe' >/dev/null; }
for _ in $(seq 100); do
    started && break
    sleep 0.1
done
started || fail "$1 started no C:\\Program Files\\Tessary\\tessary.exe within 10 s"
while started; do sleep 0.2; done
