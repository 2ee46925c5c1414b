# mingw-w64 build: the Win32 shell, Qor.exe (real HID and demo) and the Windows tests under Wine.
set(GTEST_SRC /usr/src/googletest CACHE PATH "GoogleTest sources for the cross build")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
add_subdirectory(${GTEST_SRC} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0A00
                        WINVER=0x0A00)

# The Windows adapters of each folder (src/<folder>/win32/*.cpp) are a library of that folder's
# layer: it links its folder's core and the adapters of the folders below it. The program's
# entry and its two backends are the executables' own (program.cmake).
set(QOR_WIN32_SYSTEM_LIBS hid setupapi comctl32 gdiplus shlwapi winmm shell32 user32 gdi32 ole32
    comdlg32)
set(QOR_WIN32_LIBS)
foreach(folder ${QOR_FOLDERS})
  qor_folder_dir(${folder} dir)
  file(GLOB srcs CONFIGURE_DEPENDS ${dir}/win32/*.cpp)
  list(FILTER srcs EXCLUDE REGEX ".*/(winmain|backend_[a-z]+)\\.cpp$")
  if(NOT srcs)
    continue()
  endif()
  add_library(qor_${folder}_win32 STATIC ${srcs})
  target_compile_options(qor_${folder}_win32 PRIVATE ${QOR_WARNINGS})
  set(links)
  if(TARGET qor_${folder})
    list(APPEND links qor_${folder})
  endif()
  foreach(dep ${QOR_LINKS_${folder}})
    if(TARGET qor_${dep}_win32)
      list(APPEND links qor_${dep}_win32)
    else()
      list(APPEND links qor_${dep})
    endif()
  endforeach()
  target_link_libraries(qor_${folder}_win32 PUBLIC ${links} ${QOR_WIN32_SYSTEM_LIBS})
  list(APPEND QOR_WIN32_LIBS qor_${folder}_win32)
endforeach()
add_library(qor_win32 INTERFACE)
target_link_libraries(qor_win32 INTERFACE qor_core ${QOR_WIN32_LIBS})

# Windows tests: every tests/<subsystem>/win32/<name>.cpp is one GoogleTest executable run
# under Wine through the cross-compiling emulator.
file(GLOB QOR_WIN_TESTS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/*/win32/*.cpp)
foreach(t ${QOR_WIN_TESTS})
  get_filename_component(n ${t} NAME_WE)
  add_executable(win_${n} ${t})
  target_compile_options(win_${n} PRIVATE ${QOR_WARNINGS})
  target_include_directories(win_${n} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(win_${n} PRIVATE qor_win32 qor_emulator gtest gtest_main)
  add_test(NAME win_${n} COMMAND win_${n})
  set_tests_properties(win_${n} PROPERTIES TIMEOUT 600)
endforeach()

# The program itself, when its sources exist.
include(${PROJECT_SOURCE_DIR}/cmake/program.cmake OPTIONAL)

# The layers of the Windows build's links too.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_test(NAME layers_win32 COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/tools/check-layers
                                   ${PROJECT_SOURCE_DIR} ${CMAKE_BINARY_DIR}/qor_links.txt)
