# SQLite and GoogleTest: the installed packages for a native build; built from source for a
# cross build, which has no such packages for its target.

# VELTA_SQLITE_AMALGAMATION names a folder holding sqlite3.c and sqlite3.h (tools/setup-windows.sh
# makes it from Debian's source package); the library is then built from it.
set(VELTA_SQLITE_AMALGAMATION "" CACHE PATH "Folder with sqlite3.c and sqlite3.h to build SQLite from")
if(VELTA_SQLITE_AMALGAMATION)
  add_library(velta_sqlite3 STATIC ${VELTA_SQLITE_AMALGAMATION}/sqlite3.c)
  target_include_directories(velta_sqlite3 SYSTEM PUBLIC ${VELTA_SQLITE_AMALGAMATION})
  target_compile_definitions(velta_sqlite3 PRIVATE SQLITE_THREADSAFE=1 SQLITE_OMIT_LOAD_EXTENSION)
  set_target_properties(velta_sqlite3 PROPERTIES POSITION_INDEPENDENT_CODE ON)
  add_library(SQLite::SQLite3 ALIAS velta_sqlite3)
else()
  find_package(SQLite3 REQUIRED)
endif()

# VELTA_GTEST_SOURCE names GoogleTest's source tree (Debian's googletest package installs it in
# /usr/src/googletest); it is then built with the tests.
set(VELTA_GTEST_SOURCE "" CACHE PATH "GoogleTest source tree to build the tests with")
if(VELTA_BUILD_TESTS)
  if(VELTA_GTEST_SOURCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
    # Its own build defines the GTest:: names that the tests link.
    add_subdirectory(${VELTA_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  else()
    find_package(GTest REQUIRED)
  endif()
endif()

# libcurl sends Dormix's warnings by SMTP. The programs need it on Linux. The Windows cross build
# takes the static libcurl that tools/setup-windows.sh builds from Debian's source (CURL_DIR names
# its CMake folder); a Windows build without any libcurl sends no warning and keeps the accounts.
if(VELTA_BUILD_GUI AND NOT WIN32)
  find_package(CURL REQUIRED)
else()
  find_package(CURL QUIET)
endif()
