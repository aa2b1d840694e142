# 64-bit Windows: the same program for machines whose kernel runs no 32-bit
# code, where only 64-bit Wine can run it.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
