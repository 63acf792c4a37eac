# talvenor_add_test(<name> SOURCES ... [LIBS ...] [DESKTOP] [TIMEOUT s])
# One GoogleTest executable, one ctest test. On Windows builds ctest runs it through
# tools/wine-run (the crosscompiling emulator) inside the build tree's private prefix,
# after the wineserver fixture has started. DESKTOP serialises tests that need focus.
function(talvenor_add_test name)
  cmake_parse_arguments(T "DESKTOP" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} gmock talvenor_test_main)
  add_test(NAME ${name} COMMAND ${name})
  # Under Wine a process can die inside nested window procedures (a stack overflow) with exit
  # code 0 and half its output: only GoogleTest's own summary counts as a pass.
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT}
                       PASS_REGULAR_EXPRESSION "\\[  PASSED  \\] [0-9]+ tests?\\."
                       FAIL_REGULAR_EXPRESSION "\\[  FAILED  \\]")
  if(WIN32)
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wineserver
                                            ENVIRONMENT "WINEPREFIX=${TALVENOR_WINEPREFIX}")
    if(T_DESKTOP)
      set_tests_properties(${name} PROPERTIES RESOURCE_LOCK desktop)
    endif()
  endif()
endfunction()

add_library(talvenor_test_main STATIC ${PROJECT_SOURCE_DIR}/tests/support/test_main.cpp)
target_link_libraries(talvenor_test_main PUBLIC gtest)
target_include_directories(talvenor_test_main PUBLIC ${PROJECT_SOURCE_DIR})

if(WIN32)
  set(TALVENOR_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/tools/wine-run)
  add_test(NAME wineserver_start COMMAND ${PROJECT_SOURCE_DIR}/tools/wine-run --start)
  add_test(NAME wineserver_stop COMMAND ${PROJECT_SOURCE_DIR}/tools/wine-run --stop)
  set_tests_properties(wineserver_start PROPERTIES FIXTURES_SETUP wineserver
                       ENVIRONMENT "WINEPREFIX=${TALVENOR_WINEPREFIX}" TIMEOUT 300)
  set_tests_properties(wineserver_stop PROPERTIES FIXTURES_CLEANUP wineserver
                       ENVIRONMENT "WINEPREFIX=${TALVENOR_WINEPREFIX}" TIMEOUT 120)
endif()

if(WIN32)
  # Counting a process's GDI objects, for the leak checks of the tests and the measurements.
  add_library(talvenor_gdi_objects STATIC ${PROJECT_SOURCE_DIR}/tests/support/gdi_objects.cpp)
  target_include_directories(talvenor_gdi_objects PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(talvenor_gdi_objects PUBLIC ntdll user32)

  # Answering the modal dialogs that a call opens in the test's own thread.
  add_library(talvenor_modal_driver STATIC ${PROJECT_SOURCE_DIR}/tests/support/modal_driver.cpp)
  target_link_libraries(talvenor_modal_driver PUBLIC gtest user32)
  target_include_directories(talvenor_modal_driver PUBLIC ${PROJECT_SOURCE_DIR})

  # Stands in for the programs that the library's links start (tests/support/launch_stand_ins.h).
  add_executable(fake_launcher WIN32 ${PROJECT_SOURCE_DIR}/tests/support/fake_launcher.cpp)
endif()

# talvenor_add_dpi_test(<name> <target> <gtest filter> <timeout s>)
# One test of <target> again at 144 dots per inch, in the prefix kept at that resolution; the
# desktop lock also keeps two such tests from sharing that prefix at once.
function(talvenor_add_dpi_test name target filter timeout)
  add_test(NAME ${name}
           COMMAND ${PROJECT_SOURCE_DIR}/tests/support/at_dpi.sh 144
                   ${CMAKE_BINARY_DIR}/wineprefix-144dpi $<TARGET_FILE:${target}>
                   --gtest_filter=${filter})
  set_tests_properties(${name} PROPERTIES TIMEOUT ${timeout} RESOURCE_LOCK desktop
                       PASS_REGULAR_EXPRESSION "\\[  PASSED  \\] 1 test\\."
                       FAIL_REGULAR_EXPRESSION "\\[  FAILED  \\]")
endfunction()
