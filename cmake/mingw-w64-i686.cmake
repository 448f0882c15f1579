# Cross build for 32-bit x86 Windows with mingw-w64 (posix thread model): the Tarvel.exe that ships. It
# runs on 32-bit and 64-bit Windows alike (and on ARM64 Windows through its x86 emulation); tests run
# under Wine with its 32-bit part (wine32). CMakeLists.txt adds -msse2 -mfpmath=sse for this target.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TARVEL_MINGW_TRIPLE i686-w64-mingw32)
# The wrapper, which starts a 32-bit program with Wine's 32-bit loader.
find_program(WINE_EXECUTABLE NAMES wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
