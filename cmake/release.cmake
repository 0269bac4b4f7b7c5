# What a release ships, as CPack archives (scripts/release runs cpack in each build): a zip
# per Windows architecture with the programs, the sample screensaver's package files and
# the docs, and a tarball of the Linux spdtool. Each unpacks into one folder named after
# the product, the version and the system. Only the "release" component is packed, so
# that nothing else a subproject installs slips in.
if(WIN32)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(release_system win64)
  else()
    set(release_system win32)
  endif()
  install(TARGETS setup uninstaller spdtool RUNTIME DESTINATION . COMPONENT release)
  # The build gathers the sample's files beside its manifest (target sample_package_files).
  install(DIRECTORY ${CMAKE_BINARY_DIR}/sample/ DESTINATION sample COMPONENT release)
  set(CPACK_GENERATOR ZIP)
else()
  string(TOLOWER "linux-${CMAKE_SYSTEM_PROCESSOR}" release_system)
  install(TARGETS spdtool RUNTIME DESTINATION . COMPONENT release)
  set(CPACK_GENERATOR TGZ)
endif()
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION . COMPONENT release)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/ DESTINATION docs COMPONENT release)

set(CPACK_PACKAGE_NAME lumidrop-setup)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME lumidrop-setup-${PROJECT_VERSION}-${release_system})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};${PROJECT_NAME};release;/")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/dist)
include(CPack)
