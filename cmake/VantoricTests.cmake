# vantoric_add_native_test(name SOURCES ... LIBS ...)
#   A GoogleTest executable of portable code: built and run natively, and also
#   cross-built and run under Wine in the Windows tree.
# vantoric_add_win_test(name SOURCES ... LIBS ... [GUI] [NETSH])
#   A GoogleTest executable that needs Windows (run under Wine here).
#   GUI: creates windows (runs serially; the test script provides a display).
#   NETSH: starts the recording netsh stand-in (shares its log lock).
function(_vantoric_gtest name)
  cmake_parse_arguments(T "GUI;NETSH" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} gtest gtest_main vantoric_options)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  # Unoptimised even in a release tree: the test programs are most of that
  # tree's compile time, and the code they test is built as the product is.
  target_compile_options(${name} PRIVATE $<$<CONFIG:Release>:-O0>)
  set(props "")
  if(T_GUI)
    list(APPEND props RUN_SERIAL TRUE)
  endif()
  if(T_NETSH)
    list(APPEND props RESOURCE_LOCK netsh_standin)
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE ${VANTORIC_DISCOVERY_MODE} DISCOVERY_TIMEOUT 120
                       TEST_PREFIX "${name}." PROPERTIES TIMEOUT 120 ${props})
endfunction()

function(vantoric_add_native_test name)
  _vantoric_gtest(${name} ${ARGN})
endfunction()

function(vantoric_add_win_test name)
  if(WIN32)
    _vantoric_gtest(${name} ${ARGN})
  endif()
endfunction()
