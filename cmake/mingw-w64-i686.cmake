# Cross build for 32-bit x86 Windows with mingw-w64 (posix thread model): the Tarvel.exe that ships. It
# runs on 32-bit and 64-bit Windows alike (and on ARM64 Windows through its x86 emulation); tests run
# under Wine with its 32-bit part (wine32). CMakeLists.txt adds -msse2 -mfpmath=sse for this target.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(_tc i686-w64-mingw32)
# Named explicitly: the unsuffixed names point to the -win32 variant once that is installed.
set(CMAKE_C_COMPILER   ${_tc}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_tc}-g++-posix)
set(CMAKE_RC_COMPILER  ${_tc}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${_tc})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# No DLL beyond Windows' own: libgcc, libstdc++ and winpthread are linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# The wrapper, which starts a 32-bit program with Wine's 32-bit loader.
find_program(WINE_EXECUTABLE NAMES wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
# Through a launcher that tries again when Wine fails to start a program at all (see the script).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-launch ${WINE_EXECUTABLE})
