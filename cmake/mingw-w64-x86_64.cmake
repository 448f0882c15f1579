# Cross build for 64-bit Windows with mingw-w64 (posix thread model); tests run under Wine. Not the exe
# that ships (mingw-w64-i686.cmake): `scripts/test win64` builds and tests this one to compare the two.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TARVEL_MINGW_TRIPLE x86_64-w64-mingw32)
find_program(WINE_EXECUTABLE NAMES wine wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
