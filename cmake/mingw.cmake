# MinGW-w64 cross toolchain for the stub sources. KQ_MINGW_ARCH picks the
# target: i686 for the shipped stub (PE32), x86_64 for the 64-bit build of the
# same sources and the Windows-side tests, which run under wine64. The posix
# thread model gives GoogleTest its std::mutex.
#
# CMake reads this file again for each try-compile project, which sees only
# the variables named in CMAKE_TRY_COMPILE_PLATFORM_VARIABLES.
if(NOT KQ_MINGW_ARCH MATCHES "^(i686|x86_64)$")
  message(FATAL_ERROR "cmake/mingw.cmake: set KQ_MINGW_ARCH to i686 or x86_64 (got \"${KQ_MINGW_ARCH}\")")
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES KQ_MINGW_ARCH)
list(REMOVE_DUPLICATES CMAKE_TRY_COMPILE_PLATFORM_VARIABLES)

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${KQ_MINGW_ARCH})
set(CMAKE_C_COMPILER ${KQ_MINGW_ARCH}-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER ${KQ_MINGW_ARCH}-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER ${KQ_MINGW_ARCH}-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${KQ_MINGW_ARCH}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# The 64-bit test programs run under Wine.
if(KQ_MINGW_ARCH STREQUAL "x86_64")
  set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run")
endif()
