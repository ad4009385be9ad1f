# Adds every direct subfolder that has a CMakeLists.txt, so a new area of tests, tools,
# benchmarks or fuzz targets joins the build without editing a shared file.
function(veltrin_add_all_subdirectories)
    file(GLOB _dirs LIST_DIRECTORIES true "${CMAKE_CURRENT_SOURCE_DIR}/*")
    foreach(_dir IN LISTS _dirs)
        if(IS_DIRECTORY "${_dir}" AND EXISTS "${_dir}/CMakeLists.txt")
            add_subdirectory("${_dir}")
        endif()
    endforeach()
endfunction()
