#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds Tessary (Release, in build/) and starts the viewer. Arguments go to the
# program, which hands them to GLUT (for instance -display :1). Needs only the program's
# own packages.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
deps "${BUILD_PACKAGES[@]}"
configure release
build build tessary
exec build/tessary "$@"
