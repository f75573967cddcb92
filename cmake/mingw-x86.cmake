# 32-bit Windows (x86) cross build with mingw-w64. The posix thread model is what GoogleTest needs;
# everything is linked statically, so the choice never shows in the DLL's imports.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(RUVENKAL_MINGW_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
