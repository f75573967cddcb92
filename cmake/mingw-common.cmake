set(CMAKE_C_COMPILER ${RUVENKAL_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${RUVENKAL_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${RUVENKAL_MINGW_PREFIX}-windres)
set(CMAKE_OBJDUMP ${RUVENKAL_MINGW_PREFIX}-objdump)

set(CMAKE_FIND_ROOT_PATH /usr/${RUVENKAL_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# ctest runs the cross-built test programs through Wine; the scripts provide the display and prefix.
# Wine's 64-bit loader runs x64 programs without any 32-bit program, and hands 32-bit ones to the
# 32-bit loader; Debian's `wine` wrapper would start the 32-bit loader even for x64 programs.
set(RUVENKAL_WINE /usr/lib/wine/wine64 CACHE FILEPATH "Wine's 64-bit loader")
set(CMAKE_CROSSCOMPILING_EMULATOR ${RUVENKAL_WINE})
