# Installation of the programs, the desktop entry and the icon, and a Debian package via CPack.
include(GNUInstallDirs)

# The test HTTPS server stays out: it serves test certificates only, and would pull its HTTP
# library into every installation.
foreach(_program veltrin veltrin-cli pipette-sim veltrin-sample-data)
    if(TARGET ${_program})
        install(TARGETS ${_program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    endif()
endforeach()
if(TARGET veltrin)
    install(FILES "${PROJECT_SOURCE_DIR}/packaging/veltrin.desktop"
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES "${PROJECT_SOURCE_DIR}/packaging/veltrin.svg"
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()
# Debian looks for a package's documents under its package name, not the project's.
set(VELTRIN_DOC_DIR "${CMAKE_INSTALL_DATADIR}/doc/veltrin")
install(FILES "${PROJECT_SOURCE_DIR}/README.md" DESTINATION ${VELTRIN_DOC_DIR})

# What Debian expects of every package's documentation folder: the copyright and, for a package
# that is its own upstream, the changelog, compressed reproducibly (gzip -n: no name, no time).
install(FILES "${PROJECT_SOURCE_DIR}/packaging/copyright" DESTINATION ${VELTRIN_DOC_DIR})
find_program(VELTRIN_GZIP gzip)
if(VELTRIN_GZIP)
    configure_file("${PROJECT_SOURCE_DIR}/packaging/changelog.in"
                   "${PROJECT_BINARY_DIR}/packaging/changelog" @ONLY)
    add_custom_command(OUTPUT "${PROJECT_BINARY_DIR}/packaging/changelog.gz"
        COMMAND "${VELTRIN_GZIP}" -9nkf "${PROJECT_BINARY_DIR}/packaging/changelog"
        DEPENDS "${PROJECT_BINARY_DIR}/packaging/changelog"
        VERBATIM)
    add_custom_target(veltrin-package-changelog ALL
        DEPENDS "${PROJECT_BINARY_DIR}/packaging/changelog.gz")
    install(FILES "${PROJECT_BINARY_DIR}/packaging/changelog.gz"
            DESTINATION ${VELTRIN_DOC_DIR})
endif()

set(CPACK_PACKAGE_NAME "veltrin")
set(CPACK_PACKAGE_VENDOR "Veltrin developers")
set(CPACK_PACKAGE_CONTACT "Veltrin developers <dev@veltrin.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Firmware updater for USB laboratory pipettes")
# The extended description, in lines short enough for Debian's package tools.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Veltrin fetches the newest firmware and variant parameters from the update\n"
    "server, finds the one connected pipette on its serial port, checks battery,\n"
    "identity and version, and writes bootloader, data modules and application\n"
    "into it across its restarts. The package holds the desktop program, the\n"
    "command-line front end veltrin-cli (which also updates several pipettes at\n"
    "once), a pipette simulator and a sample update-data generator.")
# Debian ships binaries without their symbols.
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_GENERATOR "DEB")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "science")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window draws in Tahoma, which Debian has only as Wine's; the libraries' dependencies are
# added to this one.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wine")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
include(CPack)
