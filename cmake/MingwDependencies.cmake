# Libraries of the Windows build that Debian does not ship for MinGW-w64, built from source
# with the cross compiler:
#   - libyaml from Debian's own source package (fetched with `apt-get source libyaml` into the
#     build folder on the first configure, or taken from SKARVEL_LIBYAML_SOURCE_DIR), compiled
#     as a static library and offered under the same target name as the Linux build's
#     pkg-config import (PkgConfig::YAML);
#   - GoogleTest from /usr/src/googletest (GTest::gtest, GTest::gtest_main).
# Nothing third-party is kept in the repository.

# M_PI and the other <cmath> constants, which MinGW's headers hide in strict C++ mode.
add_compile_definitions(_USE_MATH_DEFINES)

# A Linux build of the same tree (scripts/build.sh makes ./build): the Windows tests compare the
# DLL's render with its module's, and the Windows bundle takes the pictures it drew (drawing
# them needs cairo, which the Windows build does not have).
set(SKARVEL_LINUX_BUILD_DIR "" CACHE PATH "Linux build of the same tree (reference render, pictures)")
set(SKARVEL_RENDER_TOLERANCE "1e-4" CACHE STRING "Largest sample difference allowed between the Windows and Linux renders")

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

# The Windows bundle: the pictures drawn by the Linux build, copied beside the DLL.
function(skarvel_windows_bundle_pictures)
  set(pictures Skarvel_logo.png Skarvel_tile.png)
  set(outputs "")
  foreach(picture ${pictures})
    set(source "${SKARVEL_LINUX_BUILD_DIR}/bundle/Skarvel/${picture}")
    if(NOT SKARVEL_LINUX_BUILD_DIR OR NOT EXISTS "${source}")
      message(WARNING "${picture} is not in the Windows bundle: build for Linux first and set SKARVEL_LINUX_BUILD_DIR")
      return()
    endif()
    add_custom_command(OUTPUT "${SKARVEL_BUNDLE_DIR}/${picture}"
      COMMAND ${CMAKE_COMMAND} -E copy "${source}" "${SKARVEL_BUNDLE_DIR}/${picture}"
      DEPENDS "${source}"
      COMMENT "Copying ${picture} from the Linux build into the Windows bundle"
      VERBATIM)
    list(APPEND outputs "${SKARVEL_BUNDLE_DIR}/${picture}")
  endforeach()
  add_custom_target(skarvel_windows_pictures ALL DEPENDS ${outputs})
  add_dependencies(skarvel_data skarvel_windows_pictures)
endfunction()
