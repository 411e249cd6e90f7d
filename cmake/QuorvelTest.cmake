# Registers one Qt Test executable with CTest.
#   quorvel_add_test(NAME <name> SOURCES <files...> LIBS <libraries...> [TIMEOUT <seconds>])
# Every test runs on the offscreen platform in its own temporary home, so the
# settings file and the embedded engine's lock files never touch the user's.
function(quorvel_add_test)
  cmake_parse_arguments(T "" "NAME;TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} quorvel_test_support Qt6::Test)
  set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  set_tests_properties(${T_NAME} PROPERTIES
    TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QUORVEL_TEST_TMP=${CMAKE_BINARY_DIR}/test-tmp")
endfunction()
