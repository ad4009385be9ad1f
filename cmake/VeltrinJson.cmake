# JSON for the history and the machine-readable output, as veltrin::json. The library is
# header-only and the same for every target, so a cross build takes it from the build machine:
# only its own folder is copied into the build, since the build machine's other headers must
# never reach a cross compiler.
find_package(nlohmann_json 3 REQUIRED CMAKE_FIND_ROOT_PATH_BOTH)
add_library(veltrin_json INTERFACE)
add_library(veltrin::json ALIAS veltrin_json)
if(CMAKE_CROSSCOMPILING)
    get_target_property(_json_dirs nlohmann_json::nlohmann_json INTERFACE_INCLUDE_DIRECTORIES)
    foreach(_dir IN LISTS _json_dirs)
        if(EXISTS "${_dir}/nlohmann/json.hpp")
            file(COPY "${_dir}/nlohmann" DESTINATION "${PROJECT_BINARY_DIR}/json-include")
        endif()
    endforeach()
    target_include_directories(veltrin_json SYSTEM INTERFACE "${PROJECT_BINARY_DIR}/json-include")
else()
    target_link_libraries(veltrin_json INTERFACE nlohmann_json::nlohmann_json)
endif()
