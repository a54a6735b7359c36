# Warnings and code generation shared by every target of the project.
add_library(skarvel_options INTERFACE)
target_compile_options(skarvel_options INTERFACE
  -Wall -Wextra
  $<$<CONFIG:Release>:-O2>
)
# Debug and test builds abort on a failed internal check; release builds report and carry on.
target_compile_definitions(skarvel_options INTERFACE
  $<$<CONFIG:Debug>:SKARVEL_ASSERT_ABORTS=1>
)
if(SKARVEL_SANITIZE)
  target_compile_options(skarvel_options INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer)
  target_link_options(skarvel_options INTERFACE -fsanitize=address,undefined)
endif()
