# The build's one version number is project()'s VERSION; lumidrop_version.h carries it to
# spdtool --version and to the version resources of the Windows programs.
configure_file(${CMAKE_SOURCE_DIR}/cmake/version.h.in ${CMAKE_BINARY_DIR}/generated/lumidrop_version.h @ONLY)
add_library(lumidrop_version INTERFACE)
target_include_directories(lumidrop_version INTERFACE ${CMAKE_BINARY_DIR}/generated)
# windres reports no included files to the build, so each .rc that takes the version
# resource names them in its OBJECT_DEPENDS.
set(LUMIDROP_VERSION_RC_DEPENDS ${CMAKE_SOURCE_DIR}/res/version_info.inc ${CMAKE_BINARY_DIR}/generated/lumidrop_version.h)
