# Cross-building for ARM64 Linux with Debian's cross compiler and the multiarch (:arm64) libraries
# installed beside the machine's own, as scripts/cross-arm64.sh does in its root:
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64-linux-gnu.cmake ...
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)
# Debian keeps ARM64 libraries and their CMake packages under /usr/lib/aarch64-linux-gnu: naming the
# architecture makes find_package and find_library look there and never in the machine's own
# /usr/lib/x86_64-linux-gnu. The roots searched are the cross compiler's prefix and the multiarch
# system itself.
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)
set(CMAKE_FIND_ROOT_PATH /usr/aarch64-linux-gnu /)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Qt's code generators are the machine's own (qt6-base-dev-tools), not ARM64 programs.
set(QT_HOST_PATH /usr)
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake)
# CTest, gtest discovery and the tests that start the program run ARM64 programs through qemu. Its
# library prefix is the whole root: the multiarch libraries and their loader live there. The cross
# compiler's own prefix (/usr/aarch64-linux-gnu) would pair its loader with the multiarch C library,
# and every thread start then spins.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/qemu-aarch64 -L /)
