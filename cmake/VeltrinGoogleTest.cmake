# GoogleTest and its CMake functions: the installed package on Linux; for a cross build, built for
# the target from the sources Debian ships, under the same GTest:: names the tests link.
set(VELTRIN_GOOGLETEST_SOURCE "/usr/src/googletest" CACHE PATH
    "GoogleTest sources, built for the target when cross-compiling")
include(GoogleTest)
if(NOT CMAKE_CROSSCOMPILING)
    find_package(GTest REQUIRED)
    return()
endif()

# Under Wine every program start costs seconds (far more on a busy machine), so a Windows test
# program is one CTest test that runs all its cases, instead of one start to list them and one
# per case. Its output names each failing case. Test names and properties are as on Linux.
function(gtest_discover_tests target)
    cmake_parse_arguments(PARSE_ARGV 1 _gtest "NO_PRETTY_TYPES;NO_PRETTY_VALUES"
        "TEST_PREFIX;TEST_SUFFIX;WORKING_DIRECTORY;TEST_LIST;DISCOVERY_TIMEOUT;XML_OUTPUT_DIR;DISCOVERY_MODE"
        "EXTRA_ARGS;PROPERTIES")
    if(NOT _gtest_WORKING_DIRECTORY)
        set(_gtest_WORKING_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}")
    endif()
    set(_name "${_gtest_TEST_PREFIX}${target}${_gtest_TEST_SUFFIX}")
    add_test(NAME "${_name}" COMMAND ${target} ${_gtest_EXTRA_ARGS}
             WORKING_DIRECTORY "${_gtest_WORKING_DIRECTORY}")
    if(_gtest_PROPERTIES)
        set_tests_properties("${_name}" PROPERTIES ${_gtest_PROPERTIES})
    endif()
endfunction()

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory("${VELTRIN_GOOGLETEST_SOURCE}" "${PROJECT_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL)
foreach(_lib gtest gtest_main gmock gmock_main)
    if(NOT TARGET GTest::${_lib})
        add_library(GTest::${_lib} ALIAS ${_lib})
    endif()
endforeach()
