# The manual page of a command-line program: its --help text turned into troff by help2man at
# build time, so the two never disagree, and the rest of the page (NAME, DESCRIPTION, EXIT STATUS,
# EXAMPLES, SEE ALSO ...) from <program>.h2m beside its CMakeLists.txt. Installed with the
# program. A cross build cannot run the program here and gets no page.
include_guard(GLOBAL)
find_program(VELTRIN_HELP2MAN help2man)
find_program(VELTRIN_GZIP gzip)

# NO_INSTALL: the page is built (and checked) but not installed, for a program we do not ship.
function(veltrin_add_manpage program)
    cmake_parse_arguments(PARSE_ARGV 1 _page "NO_INSTALL" "" "")
    if(NOT VELTRIN_HELP2MAN OR NOT VELTRIN_GZIP OR CMAKE_CROSSCOMPILING)
        return()
    endif()
    # In the function's own scope: the module sets the folders as variables of the scope that
    # includes it, and this file is included once for the whole tree.
    include(GNUInstallDirs)
    set(_include "${CMAKE_CURRENT_SOURCE_DIR}/${program}.h2m")
    set(_man "${CMAKE_CURRENT_BINARY_DIR}/${program}.1")
    add_custom_command(OUTPUT "${_man}.gz"
        COMMAND "${VELTRIN_HELP2MAN}" --no-info --no-discard-stderr
                --version-string=${PROJECT_VERSION} --section=1
                --include=${_include} --output=${_man} $<TARGET_FILE:${program}>
        COMMAND "${VELTRIN_GZIP}" -9nf "${_man}"
        DEPENDS ${program} "${_include}"
        COMMENT "Writing the manual page ${program}(1)"
        VERBATIM)
    add_custom_target(${program}-manpage ALL DEPENDS "${_man}.gz")
    if(NOT _page_NO_INSTALL)
        install(FILES "${_man}.gz" DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    endif()
endfunction()

# A page written by hand (a program without a --help of its own, such as the window), compressed
# the same way.
function(veltrin_add_written_manpage name source)
    if(NOT VELTRIN_GZIP)
        return()
    endif()
    include(GNUInstallDirs)
    set(_man "${CMAKE_CURRENT_BINARY_DIR}/${name}.gz")
    add_custom_command(OUTPUT "${_man}"
        COMMAND "${VELTRIN_GZIP}" -9nc "${source}" > "${_man}"
        DEPENDS "${source}"
        COMMENT "Writing the manual page ${name}"
        VERBATIM)
    string(REPLACE "." "-" _target "${name}")
    add_custom_target(${_target}-manpage ALL DEPENDS "${_man}")
    install(FILES "${_man}" DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()
