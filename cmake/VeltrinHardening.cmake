# Debian's hardening flags (stack protector, fortified C library calls, read-only relocations
# bound at start) for the programs we ship, taken from dpkg-buildflags so they follow the
# distribution's policy. Only for an optimised native build: fortification needs optimisation,
# and a sanitizer build is never shipped.
include_guard(GLOBAL)

function(veltrin_apply_hardening_flags)
    if(WIN32 OR CMAKE_CROSSCOMPILING OR VELTRIN_SANITIZE)
        return()
    endif()
    if(NOT CMAKE_BUILD_TYPE MATCHES "^(Release|RelWithDebInfo|MinSizeRel)$")
        return()
    endif()
    find_program(VELTRIN_DPKG_BUILDFLAGS dpkg-buildflags)
    if(NOT VELTRIN_DPKG_BUILDFLAGS)
        return()
    endif()
    foreach(_kind CPPFLAGS CXXFLAGS LDFLAGS)
        execute_process(
            COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                    "${VELTRIN_DPKG_BUILDFLAGS}" --get ${_kind}
            OUTPUT_VARIABLE _flags OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE _result)
        if(NOT _result EQUAL 0)
            return()
        endif()
        separate_arguments(_flags UNIX_COMMAND "${_flags}")
        # The build type already chooses optimisation and debug information; a path map of
        # this folder would make the shared compiler cache miss between work trees.
        list(FILTER _flags EXCLUDE REGEX "^-(O[0-3s]?|g[0-9]?|ffile-prefix-map=.*|fdebug-prefix-map=.*)$")
        set(_${_kind} ${_flags})
    endforeach()
    add_compile_options(${_CPPFLAGS} ${_CXXFLAGS})
    add_link_options(${_LDFLAGS})
endfunction()
