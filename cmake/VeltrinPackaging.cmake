# Installation of the programs, the desktop entry and the icon, and a Debian package via CPack.
include(GNUInstallDirs)

foreach(_program veltrin veltrin-cli pipette-sim veltrin-sample-data veltrin-update-server)
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
install(FILES "${PROJECT_SOURCE_DIR}/README.md" DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_PACKAGE_NAME "veltrin")
set(CPACK_PACKAGE_VENDOR "Veltrin developers")
set(CPACK_PACKAGE_CONTACT "Veltrin developers <dev@veltrin.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Firmware updater for USB laboratory pipettes")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_GENERATOR "DEB")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "science")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
include(CPack)
