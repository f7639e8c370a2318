# The Windows program for 64-bit Windows (package g++-mingw-w64-x86-64):
# where 32-bit programs cannot run on the build machine, the tests run this
# build of the same sources under 64-bit Wine.
set(mingw_arch x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
