# What a user copies to a Windows machine: the output folder holds it side by side (the two
# programs, the animation, the frame packer and a read-me), and target kagemira_package zips it
# into <build>/package/kagemira-<version>.zip and makes the installer
# <build>/package/kagemira-<version>-setup.exe from tools/installer/kagemira.nsi with makensis
# (tools/package builds both). Both carry the programs without their symbols (a tenth of the
# size), from <build>/package/programs; the symbols stay in <build>/package/kagemira-<version>-symbols
# for reading a crash report.
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
set(package_programs ${package_root}/programs)
set(package_symbols ${package_root}/${package_name}-symbols)

# The same files the tests ran, without symbols: each program's symbols go into <name>.debug,
# which the stripped program names (a debugger given the folder finds them).
find_program(KAGEMIRA_OBJCOPY NAMES ${MINGW_PREFIX}-objcopy objcopy REQUIRED)
set(package_targets kagemira Vistrel kagemira-settings framepack)
set(package_program_files kagemira.scr Vistrel.exe kagemira-settings.exe framepack.exe)
set(package_files)
foreach(program file_name IN ZIP_LISTS package_targets package_program_files)
  add_custom_command(
    OUTPUT ${package_programs}/${file_name} ${package_symbols}/${file_name}.debug
    COMMAND ${CMAKE_COMMAND} -E make_directory ${package_programs} ${package_symbols}
    COMMAND ${KAGEMIRA_OBJCOPY} --only-keep-debug $<TARGET_FILE:${program}> ${package_symbols}/${file_name}.debug
    COMMAND ${CMAKE_COMMAND} -E chdir ${package_symbols} ${KAGEMIRA_OBJCOPY} --strip-all
            --add-gnu-debuglink=${file_name}.debug $<TARGET_FILE:${program}> ${package_programs}/${file_name}
    DEPENDS ${program}
    COMMENT "Stripping ${file_name}"
    VERBATIM)
  list(APPEND package_files ${package_programs}/${file_name})
endforeach()
add_custom_command(
  OUTPUT ${package_programs}/um.bin ${package_programs}/README.txt
  COMMAND ${CMAKE_COMMAND} -E make_directory ${package_programs}
  COMMAND ${CMAKE_COMMAND} -E copy ${KAGEMIRA_BIN_DIR}/um.bin ${KAGEMIRA_WINDOWS_README} ${package_programs}
  DEPENDS ${KAGEMIRA_BIN_DIR}/um.bin ${KAGEMIRA_WINDOWS_README}
  VERBATIM)
list(APPEND package_files ${package_programs}/um.bin ${package_programs}/README.txt)

set(package_folder ${package_root}/${package_name})
set(package_zip ${package_root}/${package_name}.zip)
add_custom_command(
  OUTPUT ${package_zip}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${package_folder} ${package_zip}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${package_folder}
  COMMAND ${CMAKE_COMMAND} -E chdir ${package_programs} ${CMAKE_COMMAND} -E copy
          kagemira.scr Vistrel.exe um.bin framepack.exe README.txt ${package_folder}
  COMMAND ${CMAKE_COMMAND} -E chdir ${package_root} ${CMAKE_COMMAND} -E tar cf ${package_zip} --format=zip ${package_name}
  DEPENDS ${package_files}
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
          -DPROGRAM_DIR=${package_programs} -DSOURCE_DIR=${PROJECT_SOURCE_DIR}
          -DOUTPUT_FILE=${package_installer} ${installer_script}
  DEPENDS ${package_files} ${installer_script} ${installer_includes}
          ${PROJECT_SOURCE_DIR}/resources/kagemira.rc ${PROJECT_SOURCE_DIR}/resources/kagemira.ico
  COMMENT "Making ${package_name}-setup.exe"
  VERBATIM)

add_custom_target(kagemira_package DEPENDS ${package_zip} ${package_installer})
add_dependencies(kagemira_package kagemira_default_animation kagemira_windows_readme)
