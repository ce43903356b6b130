# Shared compile settings for the program's own targets.
function(orv_target_settings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
  target_compile_definitions(${target} PRIVATE _GLIBCXX_ASSERTIONS QT_NO_KEYWORDS
                             QT_NO_CAST_FROM_BYTEARRAY)
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()

# orv_library(NAME SOURCES... [LINKS ...])
function(orv_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINKS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  orv_target_settings(${name})
  if(ARG_LINKS)
    target_link_libraries(${name} PUBLIC ${ARG_LINKS})
  endif()
endfunction()

# The sanitizers' run-time options for the tests of an ORV_SANITIZE build:
# leak detection on, every report ends the test with a failure, and the
# leaks of the system libraries listed in tests/lsan.supp are left out.
set(ORV_SANITIZER_ENV)
if(ORV_SANITIZE)
  set(ORV_SANITIZER_ENV
      "ASAN_OPTIONS=detect_leaks=1:fast_unwind_on_malloc=0"
      "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0"
      "UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1")
endif()

# orv_test(NAME SOURCES... [LINKS ...]): one GoogleTest executable; each test
# case becomes a CTest test that runs headless.
function(orv_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINKS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  orv_target_settings(${name})
  target_link_libraries(${name} PRIVATE orv_testmain ${ARG_LINKS})
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT 120)
  # gtest_discover_tests hands a list on as separate values, so it can't set
  # an environment of more than one variable: the discovered tests get theirs
  # from a file that CTest reads after the discovery.
  set(env "QT_QPA_PLATFORM=offscreen" "ORV_TEST_DATA=${PROJECT_SOURCE_DIR}/tests/data" ${ORV_SANITIZER_ENV})
  set(env_file "${CMAKE_CURRENT_BINARY_DIR}/${name}_environment.cmake")
  file(WRITE "${env_file}"
       "if(${name}_TESTS)\n  set_tests_properties(\${${name}_TESTS} PROPERTIES ENVIRONMENT [==[${env}]==])\nendif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${env_file}")
endfunction()

# orv_fuzz(NAME ENTRY fn SOURCES... LINKS...): a libFuzzer binary (only with
# ORV_FUZZ=ON and clang) around `int fn(const uint8_t*, size_t)` defined in
# SOURCES. The same sources are also linked into an ordinary test that replays
# the seed corpus under tests/data/fuzz/NAME.
function(orv_fuzz name)
  cmake_parse_arguments(ARG "" "ENTRY" "SOURCES;LINKS" ${ARGN})
  if(ORV_FUZZ)
    add_executable(${name} ${ARG_SOURCES} ${PROJECT_SOURCE_DIR}/tests/fuzz_main.cpp)
    orv_target_settings(${name})
    target_compile_definitions(${name} PRIVATE ORV_FUZZ_ENTRY=${ARG_ENTRY})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(${name} PRIVATE ${ARG_LINKS})
  endif()
endfunction()
