# Cross-build 64-bit Windows programs with Debian's mingw-w64. These are a test
# vehicle for machines whose kernel runs no 32-bit programs: the same sources,
# run by Wine's 64-bit loader. What ships is the 32-bit build.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CANTREL_MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/MingwCommon.cmake)
