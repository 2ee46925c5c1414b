# Native build: core tests under sanitizers, the command-line front end, benchmarks.
find_package(GTest REQUIRED)
include(GoogleTest)

# One test executable per folder of src/layers.txt, from tests/<folder>/*.cpp plus the shared
# test support.
file(GLOB QOR_TEST_SUPPORT CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/support/*.cpp)
foreach(sub ${QOR_FOLDERS})
  file(GLOB tsrcs CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/${sub}/*.cpp)
  if(TARGET qor_${sub}_linux)
    file(GLOB linux_tsrcs CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/${sub}/linux/*.cpp)
    list(APPEND tsrcs ${linux_tsrcs})
  endif()
  if(tsrcs)
    add_executable(tests_${sub} ${tsrcs} ${QOR_TEST_SUPPORT})
    target_compile_options(tests_${sub} PRIVATE ${QOR_WARNINGS})
    target_include_directories(tests_${sub} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    target_link_libraries(tests_${sub} PRIVATE qor_core qor_emulator GTest::gtest GTest::gtest_main
                          GTest::gmock)
    if(TARGET qor_${sub}_linux)
      target_link_libraries(tests_${sub} PRIVATE qor_${sub}_linux)
    endif()
    target_compile_definitions(tests_${sub} PRIVATE QOR_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
    gtest_discover_tests(tests_${sub} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 120)
  endif()
endforeach()

# The command-line front end.
file(GLOB QORCTL_SRCS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/cli/*.cpp)
if(QORCTL_SRCS)
  add_executable(qorctl ${QORCTL_SRCS})
  target_compile_options(qorctl PRIVATE ${QOR_WARNINGS})
  target_include_directories(qorctl PRIVATE ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(qorctl PRIVATE qor_core qor_emulator)
  if(TARGET qor_device_linux)
    target_link_libraries(qorctl PRIVATE qor_device_linux)
    target_compile_definitions(qorctl PRIVATE QOR_HIDRAW=1)
  endif()
endif()

# Command-line tests (shell scripts under tests/cli/*.sh, each given the qorctl path).
file(GLOB QOR_CLI_TESTS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/cli/*.sh)
foreach(t ${QOR_CLI_TESTS})
  get_filename_component(n ${t} NAME_WE)
  add_test(NAME cli_${n} COMMAND bash ${t} $<TARGET_FILE:qorctl> ${PROJECT_SOURCE_DIR})
endforeach()

# Benchmarks (Google Benchmark), built when the library is present; not part of `make test`.
find_package(benchmark QUIET)
file(GLOB QOR_BENCH_SRCS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/bench/*.cpp)
if(benchmark_FOUND AND QOR_BENCH_SRCS)
  add_executable(qor_bench ${QOR_BENCH_SRCS})
  target_compile_options(qor_bench PRIVATE ${QOR_WARNINGS})
  target_include_directories(qor_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(qor_bench PRIVATE qor_core qor_emulator benchmark::benchmark)
endif()

# The layers: every file's includes and the links this build made.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_test(NAME layers COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/tools/check-layers
                             ${PROJECT_SOURCE_DIR} ${CMAKE_BINARY_DIR}/qor_links.txt)
