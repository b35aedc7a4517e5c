include(GoogleTest)

# signmaker_add_test(NAME SOURCES ... LIBS ... [LABELS ...])
# One GoogleTest executable; its cases are registered with CTest one by one.
# Window tests run on Qt's offscreen platform.
function(signmaker_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  # Each property value must hold no ";": the discovered tests' properties are
  # passed on as one flat list, so a list value would be cut into names and values.
  # An empty value would shift the list the same way, so LABELS is left out when empty.
  set(properties
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
      ENVIRONMENT_MODIFICATION "SIGNMAKER_SOURCE_DIR=set:${PROJECT_SOURCE_DIR}"
      TIMEOUT 300)
  if(T_LABELS)
    list(APPEND properties LABELS "${T_LABELS}")
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES ${properties})
endfunction()
