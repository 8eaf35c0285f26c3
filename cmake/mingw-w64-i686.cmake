# The product's toolchain: MinGW-w64 i686, posix thread model.
set(QUILLOGRAPH_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
# SSE2 arithmetic instead of x87 extended precision: the DLL computes the same floats as
# the native build, so pictures match pixel for pixel (and every host CPU has SSE2).
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
