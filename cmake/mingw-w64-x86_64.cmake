# MinGW-w64 x86-64. Builds a 64-bit twin of the DLL and the test host for machines whose
# kernel cannot run 32-bit x86 code (and so no wine32): the same sources, driven under wine64.
set(QUILLOGRAPH_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
