# Libraries of the Windows build that Debian does not ship for MinGW-w64, built from source
# with the cross compiler:
#   - libyaml from Debian's own source package (fetched with `apt-get source libyaml` into the
#     build folder on the first configure, or taken from SKARVEL_LIBYAML_SOURCE_DIR), compiled
#     as a static library and offered under the same target name as the Linux build's
#     pkg-config import (PkgConfig::YAML);
#   - GoogleTest from /usr/src/googletest (GTest::gtest, GTest::gtest_main).
# Nothing third-party is kept in the repository.

set(SKARVEL_LIBYAML_SOURCE_DIR "" CACHE PATH "Unpacked libyaml source (empty: apt-get source into the build folder)")
set(libyaml_source "${SKARVEL_LIBYAML_SOURCE_DIR}")
if(NOT libyaml_source)
  set(libyaml_download "${CMAKE_BINARY_DIR}/_deps/libyaml")
  file(GLOB libyaml_found LIST_DIRECTORIES true "${libyaml_download}/libyaml-*")
  if(NOT libyaml_found)
    file(MAKE_DIRECTORY "${libyaml_download}")
    message(STATUS "Fetching Debian's libyaml source package")
    execute_process(COMMAND apt-get source -qq libyaml
      WORKING_DIRECTORY "${libyaml_download}"
      RESULT_VARIABLE libyaml_result OUTPUT_QUIET ERROR_QUIET)
    file(GLOB libyaml_found LIST_DIRECTORIES true "${libyaml_download}/libyaml-*")
    if(NOT libyaml_found)
      message(FATAL_ERROR "apt-get source libyaml failed (${libyaml_result}): a deb-src entry is needed "
                          "(scripts/install-deps.sh --windows adds one), or set SKARVEL_LIBYAML_SOURCE_DIR")
    endif()
  endif()
  list(GET libyaml_found 0 libyaml_source)
endif()
if(NOT EXISTS "${libyaml_source}/src/parser.c" OR NOT EXISTS "${libyaml_source}/include/yaml.h")
  message(FATAL_ERROR "No libyaml source in ${libyaml_source}")
endif()

file(GLOB libyaml_sources "${libyaml_source}/src/*.c")
add_library(skarvel_libyaml STATIC ${libyaml_sources})
target_include_directories(skarvel_libyaml SYSTEM PUBLIC "${libyaml_source}/include")
target_include_directories(skarvel_libyaml PRIVATE "${libyaml_source}/src")
target_compile_definitions(skarvel_libyaml
  PUBLIC YAML_DECLARE_STATIC
  PRIVATE YAML_VERSION_MAJOR=0 YAML_VERSION_MINOR=2 YAML_VERSION_PATCH=5 YAML_VERSION_STRING="0.2.5")
target_compile_options(skarvel_libyaml PRIVATE -w)
add_library(PkgConfig::YAML ALIAS skarvel_libyaml)

if(SKARVEL_BUILD_TESTS)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest "${CMAKE_BINARY_DIR}/_deps/googletest" EXCLUDE_FROM_ALL SYSTEM)
  # GoogleTest's own build defines GTest::gtest and GTest::gtest_main.
endif()
