# 32-bit Windows programs from Debian's MinGW-w64 (posix thread model), linked
# fully static: nothing but Windows' own DLLs beside them.
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(NOCE_MINGW_TRIPLE i686-w64-mingw32)

# The -posix compilers by name: the unsuffixed ones follow whichever thread
# model the machine's alternatives point at, and only posix has std::thread
# with winpthread.
set(CMAKE_C_COMPILER ${NOCE_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${NOCE_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${NOCE_MINGW_TRIPLE}-windres)

# The MinGW sysroot, and the libraries cross-built for the project
# (scripts/prepara-windows.sh puts libzip and GoogleTest there).
get_filename_component(NOCE_RADICE_SORGENTI "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(NOCE_DIPENDENZE_WIN "${NOCE_RADICE_SORGENTI}/build-win/dipendenze")
set(CMAKE_FIND_ROOT_PATH /usr/${NOCE_MINGW_TRIPLE} ${NOCE_DIPENDENZE_WIN})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# zlib's archive, not its import library: no zlib1.dll beside the program.
set(ZLIB_USE_STATIC_LIBS ON)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
