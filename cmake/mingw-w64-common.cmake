# What both mingw-w64 toolchain files share; each sets CMAKE_SYSTEM_PROCESSOR and TARVEL_MINGW_TRIPLE
# first, and the Wine command that starts its programs.
set(CMAKE_SYSTEM_NAME Windows)
# Named explicitly: the unsuffixed names point to the -win32 thread model once that is installed.
set(CMAKE_C_COMPILER   ${TARVEL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TARVEL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${TARVEL_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TARVEL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# No DLL beyond Windows' own: libgcc, libstdc++ and winpthread are linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# Through a launcher that tries again when Wine fails to start a program at all (see the script).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-launch ${WINE_EXECUTABLE})
