# GUI tests of a Windows build: each runs under its own Xvfb, in the prefix guiprefix of
# that build folder, with one wineserver for the whole run.
set(LUMIDROP_GUI_PREFIX ${CMAKE_BINARY_DIR}/guiprefix)
set(LUMIDROP_GUI_RUN ${CMAKE_SOURCE_DIR}/tests/e2e/gui-run)
if(LUMIDROP_RUN_WIN_TESTS AND NOT TEST gui_session_start)
  add_test(NAME gui_session_start COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/gui-session start ${LUMIDROP_WINE_ARCH} ${LUMIDROP_GUI_PREFIX})
  add_test(NAME gui_session_stop COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/gui-session stop ${LUMIDROP_WINE_ARCH} ${LUMIDROP_GUI_PREFIX})
  set_tests_properties(gui_session_start PROPERTIES FIXTURES_SETUP gui_session)
  set_tests_properties(gui_session_stop PROPERTIES FIXTURES_CLEANUP gui_session)
endif()

# lumidrop_add_gui_gtest(NAME SOURCES... LIBS...): a GoogleTest program that opens windows.
function(lumidrop_add_gui_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main lumidrop_warnings message_resources)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  set_target_properties(${name} PROPERTIES WIN32_EXECUTABLE OFF
    CROSSCOMPILING_EMULATOR "${LUMIDROP_GUI_RUN};${LUMIDROP_WINE_ARCH};${LUMIDROP_GUI_PREFIX}")
  if(LUMIDROP_RUN_WIN_TESTS)
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
      PROPERTIES FIXTURES_REQUIRED gui_session LABELS win RUN_SERIAL TRUE)
  endif()
endfunction()
