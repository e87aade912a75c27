# Cross-compiles to WebAssembly (wasm32-wasi) with Debian's clang-19, lld-19, wasi-libc and libc++
# for wasm32. That libc++ has no exception runtime, so everything is built without exceptions.
set(CMAKE_SYSTEM_NAME Generic)
set(CMAKE_SYSTEM_VERSION 1)
set(CMAKE_SYSTEM_PROCESSOR wasm32)
set(CMAKE_C_COMPILER clang-19)
set(CMAKE_CXX_COMPILER clang++-19)
set(CMAKE_C_COMPILER_TARGET wasm32-wasi)
set(CMAKE_CXX_COMPILER_TARGET wasm32-wasi)
set(CMAKE_C_FLAGS_INIT "-fno-exceptions")
set(CMAKE_CXX_FLAGS_INIT "-fno-exceptions -DJSON_NOEXCEPTION")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-fuse-ld=lld")
# Header-only nlohmann-json is found where the host keeps it; nothing else is taken from the host.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)
