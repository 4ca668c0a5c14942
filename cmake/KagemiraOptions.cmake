# Compiler settings shared by every target of one build.

if(WIN32)
  set(KAGEMIRA_WINDOWS ON)
else()
  set(KAGEMIRA_WINDOWS OFF)
endif()

option(KAGEMIRA_SANITIZE "Host build: address and undefined-behaviour sanitizers" OFF)
option(KAGEMIRA_FUZZ "Host build with clang: libFuzzer targets" OFF)
option(KAGEMIRA_BENCH "Host build: benchmarks" ON)

if(MSVC)
  add_compile_options(/W4 /utf-8)
else()
  add_compile_options(-Wall -Wextra -Wno-unused-parameter)
endif()

if(KAGEMIRA_WINDOWS)
  add_compile_definitions(UNICODE _UNICODE NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
  if(MINGW)
    # A self-contained program: no runtime DLLs beside the .scr.
    add_link_options(-static -static-libgcc -static-libstdc++)
  endif()

  # Boost is header-only here; hand the cross compiler a folder that holds nothing but the boost
  # headers, never the host's whole include folder.
  find_path(KAGEMIRA_HOST_BOOST_DIR boost/lexical_cast.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH)
  if(NOT KAGEMIRA_HOST_BOOST_DIR)
    message(FATAL_ERROR "Boost headers not found (install libboost-dev)")
  endif()
  set(KAGEMIRA_BOOST_INCLUDE ${CMAKE_BINARY_DIR}/boost-only)
  file(MAKE_DIRECTORY ${KAGEMIRA_BOOST_INCLUDE})
  file(CREATE_LINK ${KAGEMIRA_HOST_BOOST_DIR}/boost ${KAGEMIRA_BOOST_INCLUDE}/boost SYMBOLIC)
  add_library(kagemira_boost INTERFACE)
  target_include_directories(kagemira_boost SYSTEM INTERFACE ${KAGEMIRA_BOOST_INCLUDE})
else()
  find_package(Boost REQUIRED)
  add_library(kagemira_boost INTERFACE)
  target_link_libraries(kagemira_boost INTERFACE Boost::boost)
  if(KAGEMIRA_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
  endif()
endif()

if(KAGEMIRA_WINDOWS)
  set(ZLIB_USE_STATIC_LIBS ON)  # the .scr must not need zlib1.dll
endif()
find_package(ZLIB REQUIRED)

# Every source folder includes from the top of the tree: #include "base/FatalCheck.h".
include_directories(${PROJECT_SOURCE_DIR})

# A Windows GUI program with a wide entry point.
function(kagemira_windows_program target)
  if(MINGW)
    target_link_options(${target} PRIVATE -municode -mwindows)
  endif()
endfunction()

# Where programs land: Windows programs and their data side by side in <build>/bin, host tools in
# <build>/tools/bin.
set(KAGEMIRA_BIN_DIR ${CMAKE_BINARY_DIR}/bin)
set(KAGEMIRA_HOST_TOOL_DIR ${CMAKE_BINARY_DIR}/tools/bin)

# The Windows build runs tools of the host build (the frame packer, the effect writer) to make its
# data files. tools/test builds the host tree first and passes its tool folder here.
if(KAGEMIRA_WINDOWS)
  set(KAGEMIRA_HOST_TOOLS "${PROJECT_SOURCE_DIR}/build/host/tools/bin" CACHE PATH "Tool folder of the host build")
endif()
