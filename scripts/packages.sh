# The Debian packages each script needs; sourced, not run.
# BUILD_PACKAGES: compiler, CMake, OpenGL (Mesa) and GLUT (freeglut), Mesa's drivers.
# TEST_PACKAGES: GoogleTest, Google Benchmark, Clang with its sanitizer runtimes, and the
# X server and tools the window tests drive.
BUILD_PACKAGES=(g++ cmake make libgl-dev libglut-dev libgl1-mesa-dri)
TEST_PACKAGES=(libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-dev
               xvfb xdotool x11-utils libx11-dev libxtst-dev)
