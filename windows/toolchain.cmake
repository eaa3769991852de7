# SPDX-License-Identifier: MIT
# Cross build for 64-bit Windows with Debian's mingw-w64. The posix thread model's
# compilers: GoogleTest needs std::mutex, which the win32 model's libstdc++ lacks.
# scripts/windows.sh builds GLUT (freeglut) and GoogleTest for Windows with this same
# file and installs them into TESSARY_WINDOWS_PREFIX, the one place besides mingw-w64's
# own where libraries and headers are looked for.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TESSARY_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TESSARY_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TESSARY_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${TESSARY_TRIPLET}-windres)
set(CMAKE_STRIP ${TESSARY_TRIPLET}-strip)
set(CMAKE_OBJDUMP ${TESSARY_TRIPLET}-objdump)

# Passed on to try_compile's projects too, where the cache is not.
set(TESSARY_WINDOWS_PREFIX "" CACHE PATH "Where freeglut and GoogleTest for Windows are installed")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TESSARY_WINDOWS_PREFIX)
set(CMAKE_FIND_ROOT_PATH /usr/${TESSARY_TRIPLET} ${TESSARY_WINDOWS_PREFIX})
list(APPEND CMAKE_PREFIX_PATH ${TESSARY_WINDOWS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every program linked statically (the tests too, which Wine runs from the build folder),
# so none needs a DLL of mingw-w64's beside it; and no time stamp in the PE header, so the
# same sources give the same bytes.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -Wl,--no-insert-timestamp")

# ctest runs the Windows tests under Wine; scripts/windows.sh sets up its prefix
# (WINEPREFIX) and keeps one wineserver running for them.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)

# FindGLUT asks pkg-config first: only the .pc files built for Windows, not this machine's.
set(ENV{PKG_CONFIG_LIBDIR} ${TESSARY_WINDOWS_PREFIX}/lib/pkgconfig)
