# What a user copies to a Windows machine: the output folder holds it side by side (the two
# programs, the animation, the frame packer and a read-me), and target kagemira_package zips it
# into <build>/package/kagemira-<version>.zip and makes the installer
# <build>/package/kagemira-<version>-setup.exe from tools/installer/kagemira.nsi with makensis
# (tools/package builds both).
set(KAGEMIRA_WINDOWS_README ${KAGEMIRA_BIN_DIR}/README.txt)
add_custom_command(
  OUTPUT ${KAGEMIRA_WINDOWS_README}
  COMMAND ${CMAKE_COMMAND} -DINPUT=${PROJECT_SOURCE_DIR}/resources/README-Windows.txt
          -DOUTPUT=${KAGEMIRA_WINDOWS_README} -P ${PROJECT_SOURCE_DIR}/cmake/WindowsTextFile.cmake
  DEPENDS ${PROJECT_SOURCE_DIR}/resources/README-Windows.txt ${PROJECT_SOURCE_DIR}/cmake/WindowsTextFile.cmake
  COMMENT "Writing the Windows read-me"
  VERBATIM)
add_custom_target(kagemira_windows_readme ALL DEPENDS ${KAGEMIRA_WINDOWS_README})

set(package_name kagemira-${PROJECT_VERSION})
set(package_root ${CMAKE_BINARY_DIR}/package)
set(package_folder ${package_root}/${package_name})
set(package_zip ${package_root}/${package_name}.zip)
add_custom_command(
  OUTPUT ${package_zip}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${package_folder} ${package_zip}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${package_folder}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:kagemira> $<TARGET_FILE:Vistrel> ${KAGEMIRA_BIN_DIR}/um.bin
          $<TARGET_FILE:framepack> ${KAGEMIRA_WINDOWS_README} ${package_folder}
  COMMAND ${CMAKE_COMMAND} -E chdir ${package_root} ${CMAKE_COMMAND} -E tar cf ${package_zip} --format=zip ${package_name}
  DEPENDS kagemira Vistrel framepack ${KAGEMIRA_BIN_DIR}/um.bin ${KAGEMIRA_WINDOWS_README}
  COMMENT "Zipping ${package_name}.zip"
  VERBATIM)

find_program(KAGEMIRA_MAKENSIS makensis REQUIRED)
set(installer_script ${PROJECT_SOURCE_DIR}/tools/installer/kagemira.nsi)
set(installer_includes)
foreach(include InstalledFiles Messages Replacement ScreenSaverSetting)
  list(APPEND installer_includes ${PROJECT_SOURCE_DIR}/tools/installer/${include}.nsh)
endforeach()
set(package_installer ${package_root}/${package_name}-setup.exe)
add_custom_command(
  OUTPUT ${package_installer}
  COMMAND ${KAGEMIRA_MAKENSIS} -V2 -INPUTCHARSET UTF8 -DPRODUCT_VERSION=${PROJECT_VERSION}
          -DPROGRAM_DIR=${KAGEMIRA_BIN_DIR} -DSOURCE_DIR=${PROJECT_SOURCE_DIR}
          -DOUTPUT_FILE=${package_installer} ${installer_script}
  DEPENDS kagemira Vistrel kagemira-settings framepack ${KAGEMIRA_BIN_DIR}/um.bin ${KAGEMIRA_WINDOWS_README}
          ${installer_script} ${installer_includes}
          ${PROJECT_SOURCE_DIR}/resources/kagemira.rc ${PROJECT_SOURCE_DIR}/resources/kagemira.ico
  COMMENT "Making ${package_name}-setup.exe"
  VERBATIM)

add_custom_target(kagemira_package DEPENDS ${package_zip} ${package_installer})
add_dependencies(kagemira_package kagemira_default_animation kagemira_windows_readme)
