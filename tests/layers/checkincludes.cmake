# Fails when a file includes from a folder its own folder may not use (or Qt outside the Qt view),
# and when docs/architecture.md draws other arrows than the ones checked here. Run as
#   cmake -DSOURCE_DIR=<repository> -P checkincludes.cmake
# Each rule: a folder, then every folder it may include from besides itself. An include names its
# folder as the part before the first slash; a folder missing here fails the check, so a new one
# cannot slip in without its arrows.
cmake_policy(SET CMP0007 NEW)
set(_rules
    "src/common|"
    "src/crypto|common"
    "src/protocol|common"
    "src/transport|common,protocol"
    "src/wiring|common,protocol,transport"
    "src/data|common"
    "src/diagnostics|common"
    "src/report|common"
    "src/events|"
    "src/engine|common,data,diagnostics,protocol,report,transport"
    "src/download|common,crypto,data"
    "src/history|common,crypto,download,engine,protocol,report"
    "src/records|common,data,engine"
    "src/windowlogic|common,data,diagnostics,download,engine,history,records,report"
    "src/ui|common,engine,windowlogic,wiring"
    "src/win32ui|common,engine,transport,windowlogic,wiring"
    "tools/pipette-sim|common,protocol"
    "tools/sample-data|common,data"
    "tools/update-server|common,support"
    "tools/demo-window|common,ui,windowlogic,wiring"
    "tools/veltrin-cli|common,data,diagnostics,download,engine,events,history,protocol,records,report,transport,wiring")
# The names an include can start with that mean another folder; anything else is a file or a
# subfolder of the including folder itself.
set(_folders common crypto protocol transport wiring data diagnostics report events engine download
    history records windowlogic ui win32ui support pipette-sim sample-data update-server
    demo-window veltrin-cli)

# Adds to _failures each include in the files (named by files_var) whose part before the first
# slash is one of the folders in known_var but not one in allowed_var.
function(check_includes files_var known_var allowed_var)
    set(_found "")
    foreach(_file IN LISTS ${files_var})
        file(STRINGS "${_file}" _hits REGEX "^[ \t]*#[ \t]*include[ \t]+\"[^\"/]+/")
        foreach(_hit IN LISTS _hits)
            string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]+\"([^\"/]+)/.*" "\\1" _target "${_hit}")
            list(FIND ${known_var} "${_target}" _known)
            list(FIND ${allowed_var} "${_target}" _ok)
            if(_known GREATER -1 AND _ok EQUAL -1)
                string(APPEND _found "${_file}: ${_hit}\n")
            endif()
        endforeach()
    endforeach()
    set(_failures "${_failures}${_found}" PARENT_SCOPE)
endfunction()

set(_failures "")
set(_ruled "")
foreach(_rule IN LISTS _rules)
    string(REPLACE "|" ";" _parts "${_rule}")
    list(GET _parts 0 _folder)
    list(LENGTH _parts _count)
    set(_allowed "")
    if(_count GREATER 1)
        list(GET _parts 1 _allowed)
        string(REPLACE "," ";" _allowed "${_allowed}")
    endif()
    get_filename_component(_self "${_folder}" NAME)
    list(APPEND _allowed "${_self}")
    list(APPEND _ruled "${_folder}")
    file(GLOB_RECURSE _files "${SOURCE_DIR}/${_folder}/*.h" "${SOURCE_DIR}/${_folder}/*.cpp")
    check_includes(_files _folders _allowed)
    set(_arrows_${_folder} "${_allowed}")
endforeach()

# The transports derive from the connection base only; the command set sits above them.
file(GLOB_RECURSE _files "${SOURCE_DIR}/src/transport/*.h" "${SOURCE_DIR}/src/transport/*.cpp")
foreach(_file IN LISTS _files)
    file(STRINGS "${_file}" _hits REGEX "#include \"protocol/clconnect(all|pipetten)")
    foreach(_hit IN LISTS _hits)
        string(APPEND _failures "${_file}: ${_hit}\n")
    endforeach()
endforeach()

# Inside the command-line front end each folder is a library of its own, with its arrows
# downwards: the commands over the owners of a worker, both over the arguments and the output;
# the platform's calls stand apart for the program.
set(_cli_folders args output platform owners commands)
set(_cli_rules "args|" "output|" "platform|" "owners|args,output" "commands|args,output,owners")
foreach(_rule IN LISTS _cli_rules)
    string(REPLACE "|" ";" _parts "${_rule}")
    list(GET _parts 0 _folder)
    list(GET _parts 1 _allowed)
    string(REPLACE "," ";" _allowed "${_allowed}")
    list(APPEND _allowed "${_folder}")
    file(GLOB _files "${SOURCE_DIR}/tools/veltrin-cli/${_folder}/*.h"
         "${SOURCE_DIR}/tools/veltrin-cli/${_folder}/*.cpp")
    check_includes(_files _cli_folders _allowed)
endforeach()

# Every folder with code has its rule.
foreach(_top src tools)
    file(GLOB _dirs LIST_DIRECTORIES true "${SOURCE_DIR}/${_top}/*")
    foreach(_dir IN LISTS _dirs)
        file(GLOB_RECURSE _code "${_dir}/*.h" "${_dir}/*.cpp")
        file(RELATIVE_PATH _relative "${SOURCE_DIR}" "${_dir}")
        if(IS_DIRECTORY "${_dir}" AND _code)
            list(FIND _ruled "${_relative}" _has)
            if(_has EQUAL -1)
                string(APPEND _failures "${_relative}: no layer rule\n")
            endif()
        endif()
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

# The architecture page's table of arrows is the same as the rules: a row per folder,
# "| `src/engine/` | `common`, `data`, ... |", with the folder itself left out.
file(STRINGS "${SOURCE_DIR}/docs/architecture.md" _rows REGEX "^\\| `(src|tools)/[a-z0-9-]+/` \\|")
set(_documented "")
foreach(_row IN LISTS _rows)
    string(REGEX REPLACE "^\\| `([a-z]+/[a-z0-9-]+)/` \\|([^|]*)\\|.*" "\\1" _folder "${_row}")
    string(REGEX REPLACE "^\\| `([a-z]+/[a-z0-9-]+)/` \\|([^|]*)\\|.*" "\\2" _cell "${_row}")
    string(REGEX MATCHALL "`[a-z0-9-]+`" _names "${_cell}")
    string(REPLACE "`" "" _names "${_names}")
    get_filename_component(_self "${_folder}" NAME)
    list(APPEND _names "${_self}")
    list(SORT _names)
    set(_expected "${_arrows_${_folder}}")
    list(SORT _expected)
    if(NOT "${_names}" STREQUAL "${_expected}")
        string(APPEND _failures
               "docs/architecture.md: ${_folder} may include '${_names}', the rule says '${_expected}'\n")
    endif()
    list(APPEND _documented "${_folder}")
endforeach()
foreach(_folder IN LISTS _ruled)
    list(FIND _documented "${_folder}" _has)
    if(_has EQUAL -1)
        string(APPEND _failures "docs/architecture.md: no row for ${_folder}\n")
    endif()
endforeach()

if(_failures)
    message(FATAL_ERROR "includes against the layers:\n${_failures}")
endif()
message(STATUS "layers: every include follows its folder's arrows, and the map agrees")
