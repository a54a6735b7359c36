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
# SKARVEL_SANITIZE: ON (or address) for AddressSanitizer with UndefinedBehaviorSanitizer, thread
# for ThreadSanitizer. Every target gets the same flags, so the plug-in module and the programs
# that load it share one runtime.
if(SKARVEL_SANITIZE)
  string(TOLOWER "${SKARVEL_SANITIZE}" skarvel_sanitize)
  if(skarvel_sanitize STREQUAL "thread")
    set(skarvel_sanitizers thread)
    set(skarvel_sanitizer_runtime tsan)
  else()
    # gcc leaves float-to-integer overflow (NaN or huge values converted) out of "undefined".
    set(skarvel_sanitizers address,undefined,float-cast-overflow)
    set(skarvel_sanitizer_runtime asan)
  endif()
  target_compile_options(skarvel_options INTERFACE -fsanitize=${skarvel_sanitizers} -fno-omit-frame-pointer)
  target_link_options(skarvel_options INTERFACE -fsanitize=${skarvel_sanitizers})
  if(CMAKE_CXX_COMPILER_ID MATCHES "Clang" AND skarvel_sanitize STREQUAL "thread")
    # clang 14's shared ThreadSanitizer runtime crashes before main on current kernels, so
    # executables keep the static runtime, which exports its symbols to the modules they load:
    # the modules are linked with those symbols left open.
    set(skarvel_module_runtime_from_host ON)
  elseif(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    # clang links its runtime statically into executables and not at all into shared objects:
    # the module would keep unresolved runtime symbols (refused by --no-undefined) and a host
    # program would carry a second copy of the runtime. The shared runtime serves both; it
    # lives in clang's own folder, which the programs find through their run path.
    target_link_options(skarvel_options INTERFACE -shared-libsan)
    execute_process(
      COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libclang_rt.${skarvel_sanitizer_runtime}-${CMAKE_SYSTEM_PROCESSOR}.so
      OUTPUT_VARIABLE skarvel_sanitizer_library OUTPUT_STRIP_TRAILING_WHITESPACE)
    get_filename_component(skarvel_sanitizer_dir "${skarvel_sanitizer_library}" DIRECTORY)
    if(IS_DIRECTORY "${skarvel_sanitizer_dir}")
      target_link_options(skarvel_options INTERFACE "LINKER:-rpath,${skarvel_sanitizer_dir}")
    endif()
  endif()
endif()

# Plug-in modules leave nothing unresolved, except the sanitizer runtime a host program brings.
if(skarvel_module_runtime_from_host)
  set(SKARVEL_MODULE_NO_UNDEFINED "")
else()
  set(SKARVEL_MODULE_NO_UNDEFINED "LINKER:--no-undefined")
endif()
