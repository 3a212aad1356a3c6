# Compiler settings, dependencies and the helpers every folder uses:
#   pvl_library(<name> [PORTABLE] SOURCES ... [WIN32_SOURCES ...] [LIBS ...])
#   pvl_test(<name> [WIN32_ONLY] SOURCES ... [LIBS ...])   one CTest entry per executable
#   pvl_bench(<name> SOURCES ... [LIBS ...])

find_program(CCACHE_PROGRAM ccache)
if(CCACHE_PROGRAM)
  set(CMAKE_C_COMPILER_LAUNCHER ${CCACHE_PROGRAM})
  set(CMAKE_CXX_COMPILER_LAUNCHER ${CCACHE_PROGRAM})
endif()

if(NOT CMAKE_BUILD_TYPE)
  set(CMAKE_BUILD_TYPE RelWithDebInfo)
endif()

add_compile_options(-Wall -Wextra -Wno-unused-parameter)
if(PVL_WINDOWS)
  enable_language(RC)
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601 STRICT)
  add_compile_options(-msse2 -mfpmath=sse)
  add_link_options(-static -static-libgcc -static-libstdc++)
elseif(PVL_SANITIZE AND NOT PVL_BENCH_ONLY)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# zlib: libz-mingw-w64-dev for Windows, zlib1g-dev natively.
find_package(ZLIB REQUIRED)

# libjpeg: cross-built from Debian's source package into a cache folder (scripts/build-libjpeg.sh).
if(PVL_WINDOWS)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(pvl_jpeg_default "$ENV{HOME}/.cache/parvolux/libjpeg-mingw64")
  else()
    set(pvl_jpeg_default "$ENV{HOME}/.cache/parvolux/libjpeg-mingw32")
  endif()
  set(PVL_JPEG_ROOT "${pvl_jpeg_default}" CACHE PATH "cross-built libjpeg")
  add_library(pvl_jpeg STATIC IMPORTED GLOBAL)
  set_target_properties(pvl_jpeg PROPERTIES
    IMPORTED_LOCATION ${PVL_JPEG_ROOT}/lib/libjpeg.a
    INTERFACE_INCLUDE_DIRECTORIES ${PVL_JPEG_ROOT}/include)
else()
  find_package(JPEG REQUIRED)
  add_library(pvl_jpeg INTERFACE)
  target_link_libraries(pvl_jpeg INTERFACE JPEG::JPEG)
endif()

# GoogleTest from the sources Debian installs, built with our own compiler.
if(NOT PVL_BENCH_ONLY)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
endif()

set(PVL_FIXTURES_DIR ${CMAKE_BINARY_DIR}/fixtures CACHE PATH "media fixtures made by scripts/make-fixtures.sh")

if(PVL_WINDOWS)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/scripts/wine-exec.sh)
  set(PVL_WINE_DIR ${CMAKE_BINARY_DIR}/wine)
endif()

function(pvl_library name)
  cmake_parse_arguments(A "PORTABLE" "" "SOURCES;WIN32_SOURCES;LIBS;WIN32_LIBS" ${ARGN})
  if(NOT PVL_WINDOWS AND NOT A_PORTABLE)
    return()
  endif()
  set(sources ${A_SOURCES})
  if(PVL_WINDOWS)
    list(APPEND sources ${A_WIN32_SOURCES})
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${A_LIBS})
  if(PVL_WINDOWS)
    target_link_libraries(${name} PUBLIC ${A_WIN32_LIBS})
  endif()
endfunction()

function(pvl_test name)
  cmake_parse_arguments(A "WIN32_ONLY" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(PVL_BENCH_ONLY OR (A_WIN32_ONLY AND NOT PVL_WINDOWS))
    return()
  endif()
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE ${A_LIBS} pvl_test_support GTest::gmock GTest::gtest)
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  if(NOT A_TIMEOUT)
    set(A_TIMEOUT 240)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${A_TIMEOUT})
  if(PVL_WINDOWS)
    # One at a time: every process of the shared prefix rewrites the device categories
    # (audio renderers) in its registry, and a graph built meanwhile finds no renderer.
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK wine_prefix ENVIRONMENT
      "PVL_WINE_DIR=${PVL_WINE_DIR};PVL_FIXTURES=Z:${PVL_FIXTURES_DIR};PVL_SOURCE=Z:${CMAKE_SOURCE_DIR}")
  else()
    set_tests_properties(${name} PROPERTIES ENVIRONMENT
      "PVL_FIXTURES=${PVL_FIXTURES_DIR};PVL_SOURCE=${CMAKE_SOURCE_DIR}")
  endif()
endfunction()

# Native benchmarks build only in the benchmark configuration; WINE ones only for Windows.
function(pvl_bench name)
  cmake_parse_arguments(A "NATIVE;WINE" "" "SOURCES;LIBS" ${ARGN})
  if((A_NATIVE AND PVL_BENCH_ONLY) OR (A_WINE AND PVL_WINDOWS))
    add_executable(${name} ${A_SOURCES})
    target_link_libraries(${name} PRIVATE ${A_LIBS} pvl_bench_support)
  endif()
endfunction()
