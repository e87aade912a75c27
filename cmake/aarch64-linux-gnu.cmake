# Cross-compiling for 64-bit Arm Linux with Debian's g++-aarch64-linux-gnu; programs run under
# qemu-aarch64 (qemu-user), so ctest runs the suite on this machine. Only the arm64 C and C++
# runtime is present (no multiarch packages): build with -DPAVENDA_UNICODE=builtin, GoogleTest from
# its sources, and without the tool's image libraries.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64 -L /usr/aarch64-linux-gnu)

# Libraries only from the arm64 sysroot; header-only packages (nlohmann-json) from the host.
set(CMAKE_FIND_ROOT_PATH /usr/aarch64-linux-gnu)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
