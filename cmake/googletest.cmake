# GoogleTest for the tests: the system's package, or the library built from
# its sources with RM460_GTEST_SOURCE. A cross build takes Debian's source
# package (/usr/src/googletest), as no MinGW build of it is packaged; nothing
# is downloaded.
if(CMAKE_CROSSCOMPILING)
  set(RM460_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources to build the tests with")
else()
  set(RM460_GTEST_SOURCE "" CACHE PATH "GoogleTest sources to build the tests with")
endif()

if(NOT RM460_GTEST_SOURCE)
  find_package(GTest REQUIRED)
  return()
endif()

if(NOT EXISTS ${RM460_GTEST_SOURCE}/CMakeLists.txt)
  message(FATAL_ERROR "No GoogleTest sources in ${RM460_GTEST_SOURCE} (Debian: googletest)")
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
# The library and the tests share one C runtime with MSVC.
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
# The project's warning flags are for our code; the library keeps its own.
get_directory_property(rm460_saved_options COMPILE_OPTIONS)
set_directory_properties(PROPERTIES COMPILE_OPTIONS "")
add_subdirectory(${RM460_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
set_directory_properties(PROPERTIES COMPILE_OPTIONS "${rm460_saved_options}")
# Its own build names the targets GTest::gtest and GTest::gmock.
