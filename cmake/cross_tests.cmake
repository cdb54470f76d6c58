# Tests of a cross build. GoogleTest: Debian ships it for the build machine only, so the
# target's copy is built from Debian's sources (package googletest) with the project's
# compilers. The tests run through the cross-compiling emulator (scripts/wine-run.sh), in a
# Wine prefix that the build makes, so that a test run never waits for a new prefix.
set(DAV_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources for cross builds")
if(NOT EXISTS ${DAV_GOOGLETEST_SOURCE}/CMakeLists.txt)
  message(FATAL_ERROR "No GoogleTest sources in ${DAV_GOOGLETEST_SOURCE} (install googletest)")
endif()

# The programs link the C runtime statically; GoogleTest must not ask for the shared one.
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${DAV_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

# The names find_package(GTest) gives on the build machine.
foreach(target gtest gtest_main gmock gmock_main)
  if(TARGET ${target} AND NOT TARGET GTest::${target})
    add_library(GTest::${target} ALIAS ${target})
  endif()
endforeach()

# The emulator is the runner script with the prefix as its first argument; without a program
# it makes the prefix and starts Wine in it.
set(DAV_WINE_PREFIX_READY ${CMAKE_BINARY_DIR}/wineprefix/.dav-prefix-ready)
add_custom_command(OUTPUT ${DAV_WINE_PREFIX_READY}
  COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR}
  COMMENT "Making the Wine prefix that the tests run in"
  VERBATIM)
add_custom_target(dav_wine_prefix ALL DEPENDS ${DAV_WINE_PREFIX_READY})
