# libFuzzer targets: every tests/fuzz/<name>.cpp is one fuzzer. They exercise the file parsers:
# the INI engine and config.bin in app, str.ini in ui, record.ini in macro. Only these three
# subsystems (and what they need) are built in this configuration.
set(FUZZ_FLAGS -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all)
file(GLOB QOR_FUZZERS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/fuzz/*.cpp)
foreach(f ${QOR_FUZZERS})
  get_filename_component(n ${f} NAME_WE)
  add_executable(fuzz_${n} ${f})
  target_compile_options(fuzz_${n} PRIVATE ${FUZZ_FLAGS} ${QOR_WARNINGS})
  target_link_options(fuzz_${n} PRIVATE ${FUZZ_FLAGS})
  target_link_libraries(fuzz_${n} PRIVATE qor_app qor_ui qor_macro)
endforeach()
foreach(sub app ui device keys pointer dpi_lighting macro protocol emulator)
  get_target_property(kind qor_${sub} TYPE)
  if(kind STREQUAL "INTERFACE_LIBRARY")
    continue()
  endif()
  if(sub STREQUAL "app" OR sub STREQUAL "ui" OR sub STREQUAL "macro")
    # Instrumented, so the fuzzer sees the parsers' branches.
    target_compile_options(qor_${sub} PRIVATE -fsanitize=fuzzer-no-link,address,undefined)
  else()
    set_target_properties(qor_${sub} PROPERTIES EXCLUDE_FROM_ALL ON)
  endif()
endforeach()
