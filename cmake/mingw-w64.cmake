# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (the POSIX thread model, which the
# standard library's threads and GoogleTest need).
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
#         -DORVASEL_WINDOWS_QT=$(scripts/windows-qt.sh)
# Without ORVASEL_WINDOWS_QT (a Qt for Windows, as scripts/windows-qt.sh builds it) only the
# Qt-free file code and its tests can be built: add -DORVASEL_GUI=OFF -DORVASEL_BENCH=OFF.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ORVASEL_MINGW_PREFIX x86_64-w64-mingw32)
find_program(CMAKE_C_COMPILER NAMES ${ORVASEL_MINGW_PREFIX}-gcc-posix ${ORVASEL_MINGW_PREFIX}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${ORVASEL_MINGW_PREFIX}-g++-posix ${ORVASEL_MINGW_PREFIX}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${ORVASEL_MINGW_PREFIX}-windres REQUIRED)

set(CMAKE_FIND_ROOT_PATH /usr/${ORVASEL_MINGW_PREFIX})
if(ORVASEL_WINDOWS_QT)
  # Qt for Windows is searched under its own prefix; its build tools (moc, rcc) are the host's.
  list(APPEND CMAKE_FIND_ROOT_PATH ${ORVASEL_WINDOWS_QT})
  list(APPEND CMAKE_PREFIX_PATH ${ORVASEL_WINDOWS_QT})
  set(QT_HOST_PATH /usr CACHE PATH "")
  set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "")
endif()
set(CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ORVASEL_WINDOWS_QT)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The tests run through Wine, both to list their cases and to run them.
find_program(ORVASEL_WINE NAMES wine wine64)
if(ORVASEL_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${ORVASEL_WINE})
endif()
