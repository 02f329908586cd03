# Cross-compiling for 64-bit ARM Linux with Debian's g++-aarch64-linux-gnu. Libraries come
# from Debian's multiarch packages (libpng-dev:arm64 and so on, in /usr/lib/aarch64-linux-gnu);
# the tests run under qemu-user, with the cross C and C++ runtimes beside the compiler.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)

set(CMAKE_C_COMPILER   aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)
set(PKG_CONFIG_EXECUTABLE aarch64-linux-gnu-pkg-config)

set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64 -L /usr/aarch64-linux-gnu)

# Programs (the host's tools) from the host; headers and libraries only from the target's
# multiarch directories, never the host's x86-64 ones.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
