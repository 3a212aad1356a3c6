# 64-bit Windows, the same sources as the 32-bit program: for machines that cannot run
# 32-bit programs.
set(PVL_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
