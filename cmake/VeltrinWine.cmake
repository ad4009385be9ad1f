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

set(VELTRIN_WINEPREFIX "${PROJECT_BINARY_DIR}/wineprefix")
set(VELTRIN_WINE_RUN "${PROJECT_BINARY_DIR}/wine-run.sh")
configure_file("${CMAKE_CURRENT_LIST_DIR}/wine/wine-run.sh.in" "${VELTRIN_WINE_RUN}"
    @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                           WORLD_READ WORLD_EXECUTE)
# Read when each target is created, so this comes before the targets.
set(CMAKE_CROSSCOMPILING_EMULATOR "${VELTRIN_WINE_RUN}")
