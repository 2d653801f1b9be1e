# velmora_add_tests(<library> SOURCES ... [LIBRARIES ...] [GUI])
#
# Gives a library its one GoogleTest binary, <library>_tests, and registers
# every test in it with CTest. GUI test binaries run on the offscreen platform.
function(velmora_add_tests library)
  if(NOT VELMORA_TESTS)
    return()
  endif()
  cmake_parse_arguments(PARSE_ARGV 1 ARG "GUI" "" "SOURCES;LIBRARIES")
  set(target ${library}_tests)
  add_executable(${target} ${ARG_SOURCES})
  target_link_libraries(${target} PRIVATE ${library} ${ARG_LIBRARIES} velmora_test_support GTest::gtest_main)
  set(properties LABELS ${library})
  if(ARG_GUI)
    list(APPEND properties ENVIRONMENT QT_QPA_PLATFORM=offscreen)
  endif()
  gtest_discover_tests(${target}
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    PROPERTIES ${properties}
    DISCOVERY_TIMEOUT 60)
endfunction()
