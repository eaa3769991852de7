# SPDX-License-Identifier: MIT
# 32-bit ARM with hard float (Debian armhf: ARMv7, VFPv3-D16): Raspberry Pi 2 and later
# on a 32-bit system.
set(TESSARY_TRIPLET arm-linux-gnueabihf)
set(TESSARY_PROCESSOR armv7l)
set(TESSARY_QEMU qemu-arm)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain.cmake)
