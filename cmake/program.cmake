# Qor.exe twice: for real mice (dist/) and against the built-in mouse emulator (demo/), each
# staged with the factory files and the skins beside it, plus the Wine smoke tests of the demo.
set(QOR_APP_WIN32 ${PROJECT_SOURCE_DIR}/src/program/win32)
set(QOR_RESOURCES ${PROJECT_SOURCE_DIR}/resources)
if(NOT EXISTS ${QOR_APP_WIN32}/winmain.cpp)
  return()
endif()
enable_language(RC)

function(qor_program target folder backend)
  add_executable(${target} WIN32 ${QOR_APP_WIN32}/winmain.cpp ${QOR_APP_WIN32}/${backend}
                                 ${QOR_RESOURCES}/qor.rc)
  target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:${QOR_WARNINGS}>)
  target_link_options(${target} PRIVATE -municode -mwindows $<$<CONFIG:Release>:-s>)
  target_link_libraries(${target} PRIVATE qor_win32 ${ARGN})
  set_target_properties(${target} PROPERTIES OUTPUT_NAME Qor
                        RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/${folder})
  set_property(SOURCE ${QOR_RESOURCES}/qor.rc APPEND PROPERTY OBJECT_DEPENDS
               ${QOR_RESOURCES}/qor.ico ${QOR_RESOURCES}/qor.manifest)
  # The factory files and skins beside the executable, refreshed at every build.
  add_custom_target(${target}_files ALL
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/${folder}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${QOR_RESOURCES}/config.bin
            ${QOR_RESOURCES}/str.ini ${QOR_RESOURCES}/record.ini ${CMAKE_BINARY_DIR}/${folder}
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${QOR_RESOURCES}/Skins
            ${CMAKE_BINARY_DIR}/${folder}/Skins
    COMMENT "Staging ${folder}/" VERBATIM)
  add_dependencies(${target} ${target}_files)
endfunction()

qor_program(qor_dist dist backend_hid.cpp)
qor_program(qor_demo demo backend_demo.cpp qor_emulator)

# The demo backend's own test runs it outside the program. Its window of the program's class
# would take the --demo-event messages meant for a smoke test's Qor.exe, so the two do not run at
# the same time.
if(TARGET win_demo_backend)
  target_sources(win_demo_backend PRIVATE ${QOR_APP_WIN32}/backend_demo.cpp)
  set_tests_properties(win_demo_backend PROPERTIES RESOURCE_LOCK qor_desktop)
endif()

# Smoke tests: the demo Qor.exe under Wine beside Wine's own tray window (no desktop, so that the
# program's exit code is known), driven through X like a user with tools/ui-driver. They share
# Wine's tray and the X display, so they run one at a time.
find_program(QOR_XDOTOOL xdotool)
file(GLOB QOR_SMOKE_SCRIPT ${PROJECT_SOURCE_DIR}/tests/program/smoke/qor_smoke.sh)
if(QOR_SMOKE_SCRIPT AND QOR_XDOTOOL)
  foreach(case startup tray_click second_instance dpi_balloon tray_exit close_paths)
    add_test(NAME smoke_${case}
             COMMAND bash ${QOR_SMOKE_SCRIPT} ${case} ${CMAKE_BINARY_DIR}/demo
                     ${CMAKE_BINARY_DIR}/smoke)
    set_tests_properties(smoke_${case} PROPERTIES TIMEOUT 240 RESOURCE_LOCK qor_desktop)
  endforeach()
endif()

# What the system reports for the pointer options, for the Advanced page's test.
add_executable(spi_probe ${PROJECT_SOURCE_DIR}/tests/program/smoke/spi_probe.cpp)
target_compile_options(spi_probe PRIVATE ${QOR_WARNINGS})

# The main window through the UI driver, in a Wine desktop, with the demo's wire trace: its
# frame, both pages and the dialogs worked as a user works them.
if(QOR_XDOTOOL)
  foreach(page frame basic dialogs advanced macro faults profiles)
    add_test(NAME ui_${page} COMMAND bash ${PROJECT_SOURCE_DIR}/tests/program/smoke/ui_${page}.sh
                                     ${CMAKE_BINARY_DIR}/demo ${CMAKE_BINARY_DIR}/ui)
    set_tests_properties(ui_${page} PROPERTIES TIMEOUT 300 RESOURCE_LOCK qor_desktop
                         ENVIRONMENT "QOR_SPI_PROBE=$<TARGET_FILE:spi_probe>")
  endforeach()
endif()

# The drawing toolkit's test also draws the shipped skin (through Wine's Z: drive).
if(TARGET win_drawing_toolkit)
  target_compile_definitions(win_drawing_toolkit PRIVATE
                             QOR_SKINS_DIR=L"Z:${PROJECT_SOURCE_DIR}/resources/Skins")
endif()

if(QOR_SMOKE_SCRIPT AND QOR_XDOTOOL)
  add_test(NAME smoke_absent_mouse
           COMMAND bash ${QOR_SMOKE_SCRIPT} absent_mouse ${CMAKE_BINARY_DIR}/dist
                   ${CMAKE_BINARY_DIR}/smoke)
  set_tests_properties(smoke_absent_mouse PROPERTIES TIMEOUT 240 RESOURCE_LOCK qor_desktop)
endif()

# Changing the pointer options broadcasts WM_SETTINGCHANGE to every window of the Wine prefix;
# while a smoke test's Qor.exe is busy being hidden (without a window manager that takes Wine a
# few seconds) each broadcast waits, so the two do not run at the same time.
if(TARGET win_pointer_system_win32)
  set_tests_properties(win_pointer_system_win32 PROPERTIES RESOURCE_LOCK qor_desktop)
endif()
# It puts an icon of its own into the tray, where the smoke tests expect only Qor's.
if(TARGET win_smoke_shell_parts)
  set_tests_properties(win_smoke_shell_parts PROPERTIES RESOURCE_LOCK qor_desktop)
endif()

# The installer and the portable zip.
include(${PROJECT_SOURCE_DIR}/cmake/installer.cmake)
