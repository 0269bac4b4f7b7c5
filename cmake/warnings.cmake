# Our own targets link lumidrop_warnings; third-party code keeps its own flags.
add_library(lumidrop_warnings INTERFACE)
target_compile_options(lumidrop_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual -Wcast-qual
  -Wformat=2 -Wmissing-declarations -Wnull-dereference -Wdouble-promotion -Wundef
  -Wredundant-decls -Wimplicit-fallthrough -Wunused
  $<$<CXX_COMPILER_ID:GNU>:-Wlogical-op -Wduplicated-cond -Wduplicated-branches>
  $<$<BOOL:${LUMIDROP_WERROR}>:-Werror>)
if(WIN32)
  # Byte strings throughout: the ANSI ("A") functions of Win32.
  target_compile_definitions(lumidrop_warnings INTERFACE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0501 WINVER=0x0501)
endif()
if(LUMIDROP_SANITIZE AND NOT WIN32)
  target_compile_options(lumidrop_warnings INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  target_link_options(lumidrop_warnings INTERFACE -fsanitize=address,undefined)
endif()
