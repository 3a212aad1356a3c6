# What both Windows forms share; the form's toolchain file sets PVL_MINGW_TRIPLE and the
# processor first. Posix thread model (std::thread, std::mutex), runtime linked in.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${PVL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PVL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${PVL_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${PVL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
