# SPDX-License-Identifier: MIT
# 64-bit ARM (Debian arm64): Raspberry Pi 3 and later on a 64-bit system, ARM laptops.
set(TESSARY_TRIPLET aarch64-linux-gnu)
set(TESSARY_PROCESSOR aarch64)
set(TESSARY_QEMU qemu-aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain.cmake)
