# Registers one Qt Test executable with CTest. LIBS names what it may use:
# the test support library of its layer, which brings that layer's code and
# nothing above it.
#   quorvel_add_test(NAME <name> SOURCES <files...> LIBS <libraries...> [TIMEOUT <seconds>]
#                    [FIXTURES <fixtures...>] [RESOURCE_LOCK <resources...>]
#                    [ENVIRONMENT <NAME=value...>] [LABELS <labels...>])
# Every test runs on the offscreen platform; its databases and files go below
# build/test-tmp (QUORVEL_TEST_TMP), and its settings into Qt's test-mode
# folders (QStandardPaths::setTestModeEnabled in the test main), so it never
# touches the user's.
# FIXTURES names CTest fixtures the test needs (a running server, say);
# RESOURCE_LOCK keeps tests that share something from running at once.
function(quorvel_add_test)
  cmake_parse_arguments(T "" "NAME;TIMEOUT"
                        "SOURCES;LIBS;FIXTURES;RESOURCE_LOCK;ENVIRONMENT;LABELS" ${ARGN})
  if(T_UNPARSED_ARGUMENTS OR T_KEYWORDS_MISSING_VALUES)
    message(FATAL_ERROR "quorvel_add_test(${T_NAME}): unknown or empty arguments: "
                        "${T_UNPARSED_ARGUMENTS} ${T_KEYWORDS_MISSING_VALUES}")
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} Qt6::Test)
  # Tests of the same Qt modules compile alike and share one header.
  if(T_LIBS MATCHES "quorvel_controls")
    set(headers widgets)
  elseif(T_LIBS MATCHES "^(quorvel_schema;)?quorvel_test_data$")
    set(headers data)
  else()
    set(headers windows)
  endif()
  quorvel_precompile(${T_NAME} ${headers} REUSE tests_${headers})
  set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  set_tests_properties(${T_NAME} PROPERTIES
    TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT
    "QT_QPA_PLATFORM=offscreen;QUORVEL_TEST_TMP=${CMAKE_BINARY_DIR}/test-tmp;${T_ENVIRONMENT}")
  if(T_FIXTURES)
    set_tests_properties(${T_NAME} PROPERTIES FIXTURES_REQUIRED "${T_FIXTURES}")
  endif()
  if(T_RESOURCE_LOCK)
    set_tests_properties(${T_NAME} PROPERTIES RESOURCE_LOCK "${T_RESOURCE_LOCK}")
  endif()
  if(T_LABELS)
    set_tests_properties(${T_NAME} PROPERTIES LABELS "${T_LABELS}")
  endif()
endfunction()
