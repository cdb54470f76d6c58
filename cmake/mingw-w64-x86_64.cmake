# Cross build for 64-bit Windows with the mingw-w64 compilers of the posix thread model
# (std::thread and std::mutex need it). Programs are linked statically: Wine has none of the
# compiler's runtime DLLs, and a program without them exits at once with code 53.
#
# Programs built here run on Linux through scripts/wine-run.sh, which ctest and
# gtest_discover_tests call as the cross-compiling emulator, in a Wine prefix of this build
# folder's own.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(DAV_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${DAV_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${DAV_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${DAV_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${DAV_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

get_filename_component(DAV_SOURCE_ROOT "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR
    "${DAV_SOURCE_ROOT}/scripts/wine-run.sh;${CMAKE_BINARY_DIR}/wineprefix")
