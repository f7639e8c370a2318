# Cross-building the Windows program with Debian's mingw-w64 for the
# architecture that the including toolchain file names in mingw_arch.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${mingw_arch})

set(tool_prefix ${mingw_arch}-w64-mingw32)
set(CMAKE_C_COMPILER ${tool_prefix}-gcc)
set(CMAKE_CXX_COMPILER ${tool_prefix}-g++)
set(CMAKE_RC_COMPILER ${tool_prefix}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${tool_prefix})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
