# GoogleTest from the sources Debian ships, for the native build and for MinGW alike;
# Windows test binaries run under Wine in the build's private prefix.
include(GoogleTest)

macro(lumidrop_setup_googletest)
  set(LUMIDROP_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(${LUMIDROP_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  if(WIN32)
    # Each Windows build runs its tests in a prefix of its own architecture, through
    # that architecture's loader, and only where this machine can run it at all.
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
      set(LUMIDROP_WINE_ARCH win64)
    else()
      set(LUMIDROP_WINE_ARCH win32)
    endif()
    set(LUMIDROP_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/scripts/wine-run ${LUMIDROP_WINE_ARCH} ${LUMIDROP_WINEPREFIX})
    set(LUMIDROP_RUN_WIN_TESTS OFF)
    execute_process(COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-archs --explain
      OUTPUT_VARIABLE wine_archs OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_VARIABLE wine_archs_error)
    string(REGEX MATCH "${LUMIDROP_WINE_ARCH}: [^\n]*" wine_arch_line "${wine_archs}")
    if(NOT LUMIDROP_WINE_TESTS)
      message(STATUS "Windows tests: off (LUMIDROP_WINE_TESTS)")
    elseif(wine_arch_line STREQUAL "${LUMIDROP_WINE_ARCH}: runs")
      set(LUMIDROP_RUN_WIN_TESTS ON)
      # One wineserver for the whole run: without it every Wine process lingers 3 s.
      add_test(NAME wineserver_start COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-server start ${LUMIDROP_WINE_ARCH} ${LUMIDROP_WINEPREFIX})
      add_test(NAME wineserver_stop COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-server stop ${LUMIDROP_WINE_ARCH} ${LUMIDROP_WINEPREFIX})
      set_tests_properties(wineserver_start PROPERTIES FIXTURES_SETUP wineserver)
      set_tests_properties(wineserver_stop PROPERTIES FIXTURES_CLEANUP wineserver)
    else()
      message(STATUS "Windows tests: not registered; ${wine_arch_line}${wine_archs_error}")
    endif()
  endif()
endmacro()

# lumidrop_add_gtest(NAME SOURCES... LIBS libs... [ENVIRONMENT VAR=VALUE]): one GoogleTest
# program, its tests run with the given environment variable set, registered
# with CTest natively, or under Wine for a Windows build this machine runs.
function(lumidrop_add_gtest name)
  cmake_parse_arguments(ARG "" "ENVIRONMENT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main lumidrop_warnings)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  if(WIN32)
    target_link_libraries(${name} PRIVATE message_resources)
    set_target_properties(${name} PROPERTIES WIN32_EXECUTABLE OFF)
    if(LUMIDROP_RUN_WIN_TESTS)
      gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
        PROPERTIES FIXTURES_REQUIRED wineserver LABELS win ENVIRONMENT "${ARG_ENVIRONMENT}")
    endif()
  else()
    gtest_discover_tests(${name} PROPERTIES LABELS native)
  endif()
endfunction()
