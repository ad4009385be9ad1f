# The Windows packages, made on Linux: an MSI (wixl from msitools) that installs the programs under
# Program Files with a Start-menu entry and an uninstall entry, and a portable zip beside it.
# `cmake --build build-win --target windows-packages` writes both into build-win/dist/.
if(NOT WIN32 OR NOT TARGET veltrin-cli)
    return()
endif()
find_program(VELTRIN_WIXL wixl)
if(NOT VELTRIN_WIXL)
    message(WARNING "wixl (Debian package wixl) not found: no MSI target")
    return()
endif()

set(_dist "${PROJECT_BINARY_DIR}/dist")
set(_stem "veltrin-${PROJECT_VERSION}-windows-x64")
# wixl finds the files it packs by bare name in one folder: everything is staged there first.
set(_msidir "${PROJECT_BINARY_DIR}/packaging/msi")
set(_icon "${PROJECT_SOURCE_DIR}/packaging/windows/veltrin.ico")
set(_readme "${PROJECT_SOURCE_DIR}/README.md")
set(_programs veltrin-cli)

# The desktop program joins the package, with its Start-menu shortcut, once it is built.
set(VELTRIN_MSI_GUI_FILE "")
set(VELTRIN_MSI_GUI_MENU "")
set(VELTRIN_MSI_GUI_REFS "")
if(TARGET veltrin)
    list(APPEND _programs veltrin)
    set(VELTRIN_MSI_GUI_FILE [=[
          <Component Id="DesktopProgram" Guid="A1C7E3F5-2B4D-4F6A-9C8E-3D5B7F9A1C2E" Win64="yes">
            <File Id="VeltrinExe" Name="veltrin.exe" Source="veltrin.exe" KeyPath="yes"/>
          </Component>]=])
    set(VELTRIN_MSI_GUI_MENU [=[
      <Directory Id="ProgramMenuFolder">
        <Component Id="StartMenuEntry" Guid="9A4B2C7D-1E3F-4A5B-8C6D-7E8F9A0B1C2D" Win64="yes">
          <Shortcut Id="VeltrinShortcut" Name="Veltrin" Description="Update the firmware of a pipette"
                    Target="[INSTALLDIR]veltrin.exe" WorkingDirectory="INSTALLDIR" Icon="VeltrinIcon"/>
          <RegistryValue Root="HKCU" Key="Software\Veltrin" Name="StartMenuEntry" Type="integer"
                         Value="1" KeyPath="yes"/>
        </Component>
      </Directory>]=])
    set(VELTRIN_MSI_GUI_REFS [=[
      <ComponentRef Id="DesktopProgram"/>
      <ComponentRef Id="StartMenuEntry"/>]=])
endif()

configure_file("${PROJECT_SOURCE_DIR}/packaging/windows/veltrin.wxs.in" "${_msidir}/veltrin.wxs" @ONLY)

set(_program_files "")
foreach(_program IN LISTS _programs)
    list(APPEND _program_files "$<TARGET_FILE:${_program}>")
endforeach()

add_custom_command(
    OUTPUT "${_dist}/${_stem}.msi"
    COMMAND "${CMAKE_COMMAND}" -E make_directory "${_dist}"
    COMMAND "${CMAKE_COMMAND}" -E copy ${_program_files} "${_readme}" "${_icon}" "${_msidir}"
    COMMAND "${VELTRIN_WIXL}" -a x64 -I "${_msidir}" -o "${_dist}/${_stem}.msi" veltrin.wxs
    WORKING_DIRECTORY "${_msidir}"
    DEPENDS ${_programs} "${_msidir}/veltrin.wxs" "${_icon}" "${_readme}"
    COMMENT "Windows installer ${_stem}.msi"
    VERBATIM)

# The portable zip: the same programs in one folder, to run from a USB stick without installing.
set(_zipdir "${PROJECT_BINARY_DIR}/packaging/${_stem}")
add_custom_command(
    OUTPUT "${_dist}/${_stem}.zip"
    COMMAND "${CMAKE_COMMAND}" -E rm -rf "${_zipdir}"
    COMMAND "${CMAKE_COMMAND}" -E make_directory "${_zipdir}" "${_dist}"
    COMMAND "${CMAKE_COMMAND}" -E copy ${_program_files} "${_readme}" "${_zipdir}"
    COMMAND "${CMAKE_COMMAND}" -E chdir "${PROJECT_BINARY_DIR}/packaging"
            "${CMAKE_COMMAND}" -E tar cf "${_dist}/${_stem}.zip" --format=zip "${_stem}"
    DEPENDS ${_programs} "${_readme}"
    COMMENT "Portable zip ${_stem}.zip"
    VERBATIM)

add_custom_target(windows-packages ALL
    DEPENDS "${_dist}/${_stem}.msi" "${_dist}/${_stem}.zip")
set(VELTRIN_WINDOWS_MSI "${_dist}/${_stem}.msi" CACHE INTERNAL "The Windows installer")
