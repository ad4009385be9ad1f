# Cross build for 64-bit Windows with Debian's MinGW-w64 compiler. The "-posix" flavour is the
# one whose C++ runtime has std::thread. Programs link statically, so they need no DLL beyond
# Windows' own, and the tests run under Wine (see VeltrinWine.cmake).
#
#   cmake -S . -B build-win -G Ninja \
#         -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_mingw x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${_mingw}-windres)
set(CMAKE_OBJDUMP ${_mingw}-objdump CACHE FILEPATH "Object dumper")

# Libraries and headers of the target only; programs (ninja, openssl, wine) from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${_mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The oldest Windows the programs run on: Windows 7 SP1. The system headers leave out every call
# that came later, so a newer call does not compile; the few newer ones the windows use when
# present (per-monitor DPI) are looked up at run time. A test reads the programs' import tables
# for the same reason (tests/static-programs), the manifest and the installer's launch condition
# name the same systems.
set(VELTRIN_WINDOWS_TARGET 0x0601)
foreach(_lang C CXX RC)
    set(CMAKE_${_lang}_FLAGS_INIT
        "-D_WIN32_WINNT=${VELTRIN_WINDOWS_TARGET} -DWINVER=${VELTRIN_WINDOWS_TARGET}")
endforeach()

# The C and C++ runtimes and winpthreads linked in: the .exe files run on a bare Windows.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
