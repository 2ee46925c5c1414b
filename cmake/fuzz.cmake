# libFuzzer targets: every tests/fuzz/<name>.cpp is one fuzzer. They exercise the parsers of
# untrusted input (files, report descriptors); the core libraries they reach are instrumented,
# the emulator and the platform adapters are not built in this configuration.
set(FUZZ_FLAGS -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all)
file(GLOB QOR_FUZZERS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/fuzz/*.cpp)
foreach(f ${QOR_FUZZERS})
  get_filename_component(n ${f} NAME_WE)
  add_executable(fuzz_${n} ${f})
  target_compile_options(fuzz_${n} PRIVATE ${FUZZ_FLAGS} ${QOR_WARNINGS})
  target_link_options(fuzz_${n} PRIVATE ${FUZZ_FLAGS})
  target_link_libraries(fuzz_${n} PRIVATE qor_core)
endforeach()
foreach(sub app ui device keys pointer dpi_lighting macro protocol emulator device_linux)
  if(NOT TARGET qor_${sub})
    continue()
  endif()
  get_target_property(kind qor_${sub} TYPE)
  if(kind STREQUAL "INTERFACE_LIBRARY")
    continue()
  endif()
  if(sub STREQUAL "emulator" OR sub STREQUAL "device_linux")
    set_target_properties(qor_${sub} PROPERTIES EXCLUDE_FROM_ALL ON)
  else()
    # Instrumented, so the fuzzer sees the parsers' branches. Clang reports an unused private
    # field in the window's models that GCC, the compiler of the product, does not.
    target_compile_options(qor_${sub} PRIVATE -fsanitize=fuzzer-no-link,address,undefined
                           -Wno-unused-private-field)
  endif()
endforeach()
