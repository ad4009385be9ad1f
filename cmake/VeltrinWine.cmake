# Windows programs built on Linux run under Wine: CTest starts every test program (and the
# gtest discovery) through a small launcher that uses a Wine prefix inside the build folder.
find_program(VELTRIN_WINE NAMES wine wine64 REQUIRED)
find_program(VELTRIN_WINEBOOT NAMES wineboot REQUIRED)
find_program(VELTRIN_WINESERVER NAMES wineserver REQUIRED)
find_program(VELTRIN_FLOCK NAMES flock REQUIRED)

# The Linux build of this tree whose wine-com-harness plays the device on the COM ports of the
# serial and window tests. Defined here, before any test folder reads it.
set(VELTRIN_HOST_BUILD_DIR "${PROJECT_SOURCE_DIR}/build" CACHE PATH
    "A Linux build of this tree; its wine-com-harness plays the device for the COM port tests")

# The Windows version the test prefix reports: the oldest the programs support.
set(VELTRIN_WINE_WINDOWS win7 CACHE STRING "Windows version of the Wine prefix the tests run in")
set(VELTRIN_WINEPREFIX "${PROJECT_BINARY_DIR}/wineprefix")
set(VELTRIN_WINE_RUN "${PROJECT_BINARY_DIR}/wine-run.sh")
configure_file("${CMAKE_CURRENT_LIST_DIR}/wine/wine-run.sh.in" "${VELTRIN_WINE_RUN}"
    @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                           WORLD_READ WORLD_EXECUTE)
# Read when each target is created, so this comes before the targets.
set(CMAKE_CROSSCOMPILING_EMULATOR "${VELTRIN_WINE_RUN}")

# Windows draws these windows' text in Tahoma. Wine ships a Tahoma of its own (Debian: fonts-wine)
# but does not load it from its data folder, so a bare prefix draws "Tahoma" in what fontconfig
# offers instead (DejaVu Sans, about a tenth wider), and the pictures and the text-fit checks
# would show text that a Windows user never sees. The window tests copy it into their prefix.
find_path(VELTRIN_WINE_FONT_DIR tahoma.ttf
    PATHS /usr/share/wine/fonts /usr/lib/wine/fonts /usr/local/share/wine/fonts
          /opt/wine-stable/share/wine/fonts
    NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(VELTRIN_WINE_FONT_DIR)
    set(VELTRIN_WINE_FONTS "${VELTRIN_WINE_FONT_DIR}/tahoma.ttf ${VELTRIN_WINE_FONT_DIR}/tahomabd.ttf")
else()
    message(WARNING "Wine's Tahoma (Debian package fonts-wine) not found: the window tests draw "
                    "in a substitute and their text-fit check fails")
    set(VELTRIN_WINE_FONTS "")
endif()
