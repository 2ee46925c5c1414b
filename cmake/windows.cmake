# mingw-w64 build: the Win32 shell, Qor.exe (real HID and demo) and the Windows tests under Wine.
set(GTEST_SRC /usr/src/googletest CACHE PATH "GoogleTest sources for the cross build")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
add_subdirectory(${GTEST_SRC} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0A00
                        WINVER=0x0A00)

# Windows adapters of every subsystem: src/<subsystem>/win32/*.cpp, except the program's entry.
file(GLOB QOR_WIN32_SRCS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/*/win32/*.cpp)
list(FILTER QOR_WIN32_SRCS EXCLUDE REGEX ".*/winmain\\.cpp$")
list(FILTER QOR_WIN32_SRCS EXCLUDE REGEX ".*/backend_.*\\.cpp$")
if(QOR_WIN32_SRCS)
  add_library(qor_win32 STATIC ${QOR_WIN32_SRCS})
  target_compile_options(qor_win32 PRIVATE ${QOR_WARNINGS})
  target_link_libraries(qor_win32 PUBLIC qor_core)
  target_link_libraries(qor_win32 PUBLIC hid setupapi comctl32 gdiplus shlwapi winmm shell32
                        user32 gdi32 ole32 comdlg32)
else()
  add_library(qor_win32 INTERFACE)
  target_link_libraries(qor_win32 INTERFACE qor_core)
endif()

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
