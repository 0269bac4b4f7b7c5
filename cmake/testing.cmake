# GoogleTest from the sources Debian ships, for the native build and for MinGW alike;
# Windows test binaries run under Wine in the build's private prefix.
include(GoogleTest)

macro(lumidrop_setup_googletest)
  set(LUMIDROP_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(${LUMIDROP_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  if(WIN32)
    set(LUMIDROP_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/scripts/wine-run ${LUMIDROP_WINEPREFIX})
    set(LUMIDROP_RUN_WIN_TESTS OFF)
    if(LUMIDROP_WINE_TESTS AND CMAKE_SIZEOF_VOID_P EQUAL 4)
      set(LUMIDROP_RUN_WIN_TESTS ON)
      # One wineserver for the whole run: without it every Wine process lingers 3 s.
      add_test(NAME wineserver_start COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-server start ${LUMIDROP_WINEPREFIX})
      add_test(NAME wineserver_stop COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-server stop ${LUMIDROP_WINEPREFIX})
      set_tests_properties(wineserver_start PROPERTIES FIXTURES_SETUP wineserver)
      set_tests_properties(wineserver_stop PROPERTIES FIXTURES_CLEANUP wineserver)
    endif()
  endif()
endmacro()

# lumidrop_add_gtest(NAME SOURCES... LIBS libs...): one GoogleTest program, registered
# with CTest natively, or under Wine for the 32-bit Windows build.
function(lumidrop_add_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main lumidrop_warnings)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  if(WIN32)
    target_link_libraries(${name} PRIVATE message_resources)
    set_target_properties(${name} PROPERTIES WIN32_EXECUTABLE OFF)
    if(LUMIDROP_RUN_WIN_TESTS)
      gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
        PROPERTIES FIXTURES_REQUIRED wineserver LABELS win)
    endif()
  else()
    gtest_discover_tests(${name} PROPERTIES LABELS native)
  endif()
endfunction()
