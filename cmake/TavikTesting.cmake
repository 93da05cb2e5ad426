# tavik_add_test_binary(NAME [GUI|WIDGETS] [SLOW FILTER] SOURCES... LIBS...)
# One GoogleTest binary per area; each test case becomes a CTest test. GUI
# binaries get a main that creates a QGuiApplication (fonts, text painting),
# WIDGETS binaries one that creates a QApplication (windows and dialogs).
# Tests run headless (offscreen Qt platform) with the source tree's test data
# folder in TAVIK_TEST_DATA and the programs' folder in TAVIK_BIN. Every
# binary links the shared helpers of tests/support (tavik_test_support).
#
# The test cases that FILTER selects (a GoogleTest filter, "KilledTools.*")
# carry the CTest label "slow", so that `ctest -LE slow` runs the rest.
function(tavik_add_test_binary name)
  cmake_parse_arguments(ARG "GUI;WIDGETS" "SLOW" "SOURCES;LIBS" ${ARGN})
  find_package(GTest REQUIRED)
  if(ARG_WIDGETS)
    find_package(Qt6 REQUIRED COMPONENTS Widgets)
    add_executable(${name} ${ARG_SOURCES} ${CMAKE_SOURCE_DIR}/tests/support/widget_test_main.cpp)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} tavik_test_support Qt6::Widgets GTest::gtest)
  elseif(ARG_GUI)
    add_executable(${name} ${ARG_SOURCES} ${CMAKE_SOURCE_DIR}/tests/support/gui_test_main.cpp)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} tavik_test_support GTest::gtest)
  else()
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} tavik_test_support GTest::gtest GTest::gtest_main)
  endif()
  # Tests reach their shared helpers as "tests/support/...".
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_compile_definitions(${name} PRIVATE
    TAVIK_TEST_DATA="${CMAKE_SOURCE_DIR}/tests/data"
    TAVIK_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    TAVIK_BIN="${CMAKE_BINARY_DIR}/bin")
  include(GoogleTest)
  # Widgets are made offscreen. (The sanitizer build checks leaks by default;
  # a second variable here would need its semicolon escaped through
  # gtest_discover_tests, or it becomes a property name.)
  set(environment "QT_QPA_PLATFORM=offscreen")
  if(ARG_SLOW)
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST TEST_FILTER "-${ARG_SLOW}"
      PROPERTIES ENVIRONMENT "${environment}")
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST TEST_FILTER "${ARG_SLOW}"
      PROPERTIES ENVIRONMENT "${environment}" LABELS slow)
  else()
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST PROPERTIES ENVIRONMENT "${environment}")
  endif()
endfunction()
