# Shared part of the MinGW-w64 toolchain files; the caller sets DORVANE_MINGW_TRIPLE
# and CMAKE_SYSTEM_PROCESSOR.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_VERSION 6.1)

# The -posix compilers by default: their libstdc++ has std::thread,
# std::mutex and std::call_once (the -win32 ones of GCC 12 lack them), which
# the tests use; the static link set up in CMakeLists.txt keeps winpthread
# inside the exe. The program itself uses none of them: the packages' builds
# take the -win32 ones (DORVANE_MINGW_THREADS=win32), which leave the 32 KB
# of winpthread out of what ships.
if(NOT DORVANE_MINGW_THREADS)
  set(DORVANE_MINGW_THREADS posix)
endif()
set(CMAKE_C_COMPILER   ${DORVANE_MINGW_TRIPLE}-gcc-${DORVANE_MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${DORVANE_MINGW_TRIPLE}-g++-${DORVANE_MINGW_THREADS})
set(CMAKE_RC_COMPILER  ${DORVANE_MINGW_TRIPLE}-windres)
set(CMAKE_RC_FLAGS_INIT "--codepage=65001")

set(CMAKE_FIND_ROOT_PATH /usr/${DORVANE_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# ctest runs Windows executables through Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)
