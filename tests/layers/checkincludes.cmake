# Fails when a file includes from a layer above its own (or Qt outside the Qt view). Run as
#   cmake -DSOURCE_DIR=<repository> -P checkincludes.cmake
# Each rule: a folder, and a regular expression of include lines it must not have.
set(_rules
    "src/common|#include \"(protocol|transport|wiring|data|engine|diagnostics|download|report|records|windowlogic|ui)/"
    "src/crypto|#include \"(protocol|transport|wiring|data|engine|diagnostics|download|report|records|history|windowlogic|ui)/"
    "src/protocol|#include \"(transport|wiring|data|engine|download|records|windowlogic|ui)/"
    "src/transport|#include \"(wiring|data|engine|download|records|windowlogic|ui)/|#include \"protocol/clconnect(all|pipetten)"
    "src/data|#include \"(protocol|transport|wiring|engine|download|records|windowlogic|ui)/"
    "src/engine|#include \"(download|records|windowlogic|ui)/"
    "src/download|#include \"(protocol|transport|wiring|engine|records|windowlogic|ui)/"
    "src/records|#include \"(download|windowlogic|ui)/"
    "src/windowlogic|#include \"ui/"
    "tools/veltrin-cli|#include \"ui/")
set(_failures "")
foreach(_rule IN LISTS _rules)
    string(REPLACE "|" ";" _parts "${_rule}")
    list(POP_FRONT _parts _folder)
    list(JOIN _parts "|" _forbidden)
    file(GLOB_RECURSE _files "${SOURCE_DIR}/${_folder}/*.h" "${SOURCE_DIR}/${_folder}/*.cpp")
    foreach(_file IN LISTS _files)
        file(STRINGS "${_file}" _hits REGEX "${_forbidden}")
        foreach(_hit IN LISTS _hits)
            string(APPEND _failures "${_file}: ${_hit}\n")
        endforeach()
    endforeach()
endforeach()

# Qt only in the Qt view and its tests: the window logic must build where Qt does not exist.
file(GLOB_RECURSE _all "${SOURCE_DIR}/src/*.h" "${SOURCE_DIR}/src/*.cpp")
foreach(_file IN LISTS _all)
    if(NOT _file MATCHES "/src/ui/")
        file(STRINGS "${_file}" _hits REGEX "#include <Q[A-Za-z]*>")
        foreach(_hit IN LISTS _hits)
            string(APPEND _failures "${_file}: ${_hit}\n")
        endforeach()
    endif()
endforeach()

if(_failures)
    message(FATAL_ERROR "includes against the layers:\n${_failures}")
endif()
message(STATUS "layers: every include points downwards")
