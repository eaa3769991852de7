# SPDX-License-Identifier: MIT
# Cross build for a Debian architecture with GNU/Linux's cross compilers and the
# multiarch libraries of that architecture (/usr/lib/<triplet>), tests run under
# qemu-user. Included by toolchain-arm64.cmake and toolchain-armhf.cmake, which set
# TESSARY_TRIPLET (the GNU triplet, also the multiarch directory), TESSARY_PROCESSOR and
# TESSARY_QEMU.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR ${TESSARY_PROCESSOR})
set(CMAKE_C_COMPILER ${TESSARY_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${TESSARY_TRIPLET}-g++)

# Libraries and package files from the target's multiarch directories only. The host's
# own (/usr/lib/<host triplet>) hold the same names for another machine: they are ignored
# outright, so that a missing target package fails configure instead of linking amd64.
set(CMAKE_LIBRARY_ARCHITECTURE ${TESSARY_TRIPLET})
execute_process(COMMAND gcc -print-multiarch OUTPUT_VARIABLE host_triplet
                OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
if(host_triplet AND NOT host_triplet STREQUAL TESSARY_TRIPLET)
  list(APPEND CMAKE_IGNORE_PATH /usr/lib/${host_triplet} /lib/${host_triplet}
       /usr/include/${host_triplet} /usr/lib/${host_triplet}/cmake)
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
# FindGLUT asks pkg-config first: the target's .pc files, not the host's.
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/${TESSARY_TRIPLET}/pkgconfig:/usr/share/pkgconfig)

# ctest, and GoogleTest's discovery at build time, run the target's binaries through
# qemu-user; -L makes the cross toolchain's directory its root for the dynamic loader.
set(CMAKE_CROSSCOMPILING_EMULATOR ${TESSARY_QEMU} -L /usr/${TESSARY_TRIPLET})
