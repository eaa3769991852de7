# The Debian packages each script needs; sourced, not run.
# SPDX-License-Identifier: MIT
# BUILD_PACKAGES: compiler, CMake, OpenGL (Mesa) and GLUT (freeglut), Mesa's drivers.
# TEST_PACKAGES: GoogleTest, Google Benchmark, Clang with its sanitizer runtimes, and the
# X server and tools the window tests drive.
BUILD_PACKAGES=(g++ cmake make libgl-dev libglut-dev libgl1-mesa-dri)
TEST_PACKAGES=(libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-dev
               xvfb xdotool x11-utils libx11-dev libxtst-dev)
# PACKAGE_PACKAGES: what CPack needs to make a .deb (dpkg-shlibdeps, file) and Debian's
# checkers for the package, the menu entry and the manual page.
PACKAGE_PACKAGES=(dpkg-dev file lintian desktop-file-utils groff-base)
# WEB_BUILD_PACKAGES: Debian's Emscripten, the node that runs its tools, and the acorn
# parser it needs. WEB_TEST_PACKAGES: Chromium and Firefox ESR for the browser tests,
# npm for their DevTools driver, ImageMagick to read the pictures, the X tools for the
# desktop picture. npm is left out where some npm already runs (a nodejs from elsewhere
# carries its own, which Debian's npm conflicts with).
WEB_BUILD_PACKAGES=(emscripten nodejs node-acorn cmake make)
WEB_TEST_PACKAGES=(chromium firefox-esr imagemagick xvfb xdotool x11-utils)
command -v npm >/dev/null || WEB_TEST_PACKAGES+=(npm)
