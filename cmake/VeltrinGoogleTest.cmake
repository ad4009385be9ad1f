# GoogleTest: the installed package on Linux; for a cross build, built for the target from the
# sources Debian ships, under the same GTest:: names the tests link.
set(VELTRIN_GOOGLETEST_SOURCE "/usr/src/googletest" CACHE PATH
    "GoogleTest sources, built for the target when cross-compiling")
if(NOT CMAKE_CROSSCOMPILING)
    find_package(GTest REQUIRED)
    return()
endif()

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory("${VELTRIN_GOOGLETEST_SOURCE}" "${PROJECT_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL)
foreach(_lib gtest gtest_main gmock gmock_main)
    if(NOT TARGET GTest::${_lib})
        add_library(GTest::${_lib} ALIAS ${_lib})
    endif()
endforeach()
