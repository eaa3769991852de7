# The Debian packages each script needs; sourced, not run.
# SPDX-License-Identifier: MIT
# BUILD_PACKAGES: compiler, CMake, OpenGL (Mesa) and GLUT (freeglut), Mesa's drivers.
# TEST_PACKAGES: GoogleTest, Google Benchmark, Clang with its sanitizer runtimes, and the
# X server and tools the window tests drive.
BUILD_PACKAGES=(g++ cmake make libgl-dev libglut-dev libgl1-mesa-dri)
TEST_PACKAGES=(libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-dev
               xvfb xdotool x11-utils libx11-dev libxtst-dev)
# PACKAGE_PACKAGES: what CPack needs to make a .deb (dpkg-shlibdeps, file) and Debian's
# checkers for the package, the menu entry, the metainfo and the manual page; rsvg-convert
# to draw the icons again and compare.
PACKAGE_PACKAGES=(dpkg-dev file lintian desktop-file-utils appstream groff-base librsvg2-bin)
