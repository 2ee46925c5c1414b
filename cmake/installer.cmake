# The per-user installer and the portable zip of what dist/ holds, both in installer/ and named
# with the project's version; and the Wine test of the installer in a Wine prefix of its own.
find_program(QOR_MAKENSIS makensis)
if(NOT QOR_MAKENSIS)
  message(WARNING "makensis not found (tools/bootstrap installs nsis): no installer is built")
  return()
endif()

set(QOR_INSTALLER_DIR ${CMAKE_BINARY_DIR}/installer)
set(QOR_SETUP ${QOR_INSTALLER_DIR}/Qor-Setup-${PROJECT_VERSION}.exe)
set(QOR_PORTABLE_ZIP ${QOR_INSTALLER_DIR}/Qor-${PROJECT_VERSION}-portable.zip)
set(QOR_NSI ${QOR_RESOURCES}/installer/qor.nsi)

# The uninstaller deletes the factory skins file by file, so that a skin the user added stays.
file(GLOB_RECURSE QOR_SKIN_FILES CONFIGURE_DEPENDS RELATIVE ${QOR_RESOURCES}/Skins
     ${QOR_RESOURCES}/Skins/*)
list(SORT QOR_SKIN_FILES)
set(lines)
set(dirs)
foreach(f ${QOR_SKIN_FILES})
  string(REPLACE "/" "\\" win ${f})
  list(APPEND lines "Delete \"$INSTDIR\\Skins\\${win}\"")
  get_filename_component(d ${f} DIRECTORY)
  while(d)
    list(APPEND dirs ${d})
    get_filename_component(d ${d} DIRECTORY)
  endwhile()
endforeach()
list(REMOVE_DUPLICATES dirs)
list(SORT dirs)
list(REVERSE dirs) # deepest first
foreach(d ${dirs})
  string(REPLACE "/" "\\" win ${d})
  list(APPEND lines "RMDir \"$INSTDIR\\Skins\\${win}\"")
endforeach()
list(APPEND lines "RMDir \"$INSTDIR\\Skins\"")
list(JOIN lines "\n" text)
set(QOR_SKINS_UNINSTALL ${QOR_INSTALLER_DIR}/skins_uninstall.nsh)
file(CONFIGURE OUTPUT ${QOR_SKINS_UNINSTALL} CONTENT "${text}\n" @ONLY)

set(QOR_STAGE ${CMAKE_BINARY_DIR}/dist)
set(QOR_STAGED_INPUTS ${QOR_RESOURCES}/config.bin ${QOR_RESOURCES}/str.ini
    ${QOR_RESOURCES}/record.ini ${QOR_RESOURCES}/qor.ico)
foreach(f ${QOR_SKIN_FILES})
  list(APPEND QOR_STAGED_INPUTS ${QOR_RESOURCES}/Skins/${f})
endforeach()

add_custom_command(OUTPUT ${QOR_SETUP}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${QOR_INSTALLER_DIR}
  COMMAND ${QOR_MAKENSIS} -V2 -DVERSION=${PROJECT_VERSION} -DSTAGE=${QOR_STAGE}
          -DRESOURCES=${QOR_RESOURCES} -DSKINS_UNINSTALL=${QOR_SKINS_UNINSTALL}
          -DOUTFILE=${QOR_SETUP} ${QOR_NSI}
  DEPENDS qor_dist qor_dist_files ${QOR_NSI} ${QOR_SKINS_UNINSTALL} ${QOR_STAGED_INPUTS}
  COMMENT "Building installer/Qor-Setup-${PROJECT_VERSION}.exe" VERBATIM)

# The zip holds one folder, Qor\, with what the installer installs.
set(QOR_PORTABLE_STAGE ${QOR_INSTALLER_DIR}/portable)
add_custom_command(OUTPUT ${QOR_PORTABLE_ZIP}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${QOR_PORTABLE_STAGE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${QOR_PORTABLE_STAGE}/Qor
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:qor_dist> ${QOR_STAGE}/config.bin
          ${QOR_STAGE}/str.ini ${QOR_STAGE}/record.ini ${QOR_PORTABLE_STAGE}/Qor
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${QOR_STAGE}/Skins ${QOR_PORTABLE_STAGE}/Qor/Skins
  COMMAND ${CMAKE_COMMAND} -E rm -f ${QOR_PORTABLE_ZIP}
  COMMAND ${CMAKE_COMMAND} -E chdir ${QOR_PORTABLE_STAGE} ${CMAKE_COMMAND} -E tar cf
          ${QOR_PORTABLE_ZIP} --format=zip Qor
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${QOR_PORTABLE_STAGE}
  WORKING_DIRECTORY ${QOR_INSTALLER_DIR}
  DEPENDS qor_dist qor_dist_files ${QOR_STAGED_INPUTS}
  COMMENT "Building installer/Qor-${PROJECT_VERSION}-portable.zip" VERBATIM)

add_custom_target(installer ALL DEPENDS ${QOR_SETUP} ${QOR_PORTABLE_ZIP})

# Install, start, upgrade and uninstall in a fresh Wine prefix of the test's own.
if(QOR_XDOTOOL)
  add_test(NAME installer
           COMMAND bash ${PROJECT_SOURCE_DIR}/tests/program/smoke/installer.sh ${QOR_SETUP}
                   ${CMAKE_BINARY_DIR}/installer-test)
  set_tests_properties(installer PROPERTIES TIMEOUT 300 RESOURCE_LOCK qor_desktop)
endif()
