# Checks the plug-in DLL with objdump (cmake -DDLL=... -DOBJDUMP=... -P CheckDll.cmake): it must
# export exactly VSTPluginMain and main, and import only DLLs every Windows has, never a MinGW
# runtime DLL (libstdc++, libgcc, winpthread) that would have to ship beside it.
execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE dump RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "objdump could not read ${DLL}")
endif()

string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
list(TRANSFORM imports REPLACE "DLL Name: " "")
message(STATUS "imports: ${imports}")
foreach(import ${imports})
  string(TOLOWER "${import}" lower)
  if(lower MATCHES "libstdc|libgcc|pthread|mingw")
    message(FATAL_ERROR "the DLL imports the MinGW runtime DLL ${import}")
  endif()
endforeach()

# The export table lists "[ ordinal] name" lines after "[Ordinal/Name Pointer] Table" (square
# brackets are replaced first: CMake lists treat them specially).
string(REPLACE "[" "<" dump "${dump}")
string(REPLACE "]" ">" dump "${dump}")
string(FIND "${dump}" "<Ordinal/Name Pointer> Table" table)
if(table EQUAL -1)
  message(FATAL_ERROR "the DLL has no export name table")
endif()
string(SUBSTRING "${dump}" ${table} -1 exportPart)
string(REGEX MATCH "Table[^\n]*\n(([ \t]+< *[0-9]+> [^\n]+\n)+)" _ "${exportPart}")
string(REGEX MATCHALL "> [^\n]+" exportLines "${CMAKE_MATCH_1}")
set(exports "")
foreach(line ${exportLines})
  string(SUBSTRING "${line}" 2 -1 name)
  list(APPEND exports "${name}")
endforeach()
list(SORT exports)
message(STATUS "exports: ${exports}")
if(NOT exports STREQUAL "VSTPluginMain;main")
  message(FATAL_ERROR "the DLL must export exactly VSTPluginMain and main, not: ${exports}")
endif()
