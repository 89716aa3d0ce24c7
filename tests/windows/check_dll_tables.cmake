# Reads a DLL's export and import tables with the cross toolchain's objdump:
# the exports must be exactly EXPECTED, and the imports only the system's own
# DLLs named in ALLOWED (names without ".dll", separated by "|"), so that
# nothing has to be shipped beside it. When the environment variable
# TESMAR_LIBRARY_DIR names a folder, the DLL of the same name there is read:
# scripts/package checks the DLLs it packed so.
if(DEFINED ENV{TESMAR_LIBRARY_DIR})
    get_filename_component(name ${DLL} NAME)
    set(DLL $ENV{TESMAR_LIBRARY_DIR}/${name})
endif()
execute_process(COMMAND x86_64-w64-mingw32-objdump -p ${DLL} OUTPUT_VARIABLE dump RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "objdump could not read ${DLL}")
endif()

string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table[^\n]*\n(([ \t]+\\[ *[0-9]+\\] [^\n]+\n)*)" _ "${dump}")
string(REGEX MATCHALL "\\] [A-Za-z0-9_]+" found "${CMAKE_MATCH_1}")
string(REPLACE "] " "" found "${found}")
list(SORT found)
set(wanted ${EXPECTED})
list(SORT wanted)
if(NOT found STREQUAL wanted)
    message(FATAL_ERROR "exports differ\n  found:    ${found}\n  expected: ${wanted}")
endif()
list(LENGTH found count)

string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
list(TRANSFORM imports REPLACE "DLL Name: " "")
foreach(import IN LISTS imports)
    string(TOLOWER "${import}" name)
    if(NOT name MATCHES "^(${ALLOWED})\\.dll$")
        message(FATAL_ERROR "${DLL} needs ${import}, which Windows does not have")
    endif()
endforeach()
# Functions of the imported DLLs that must not be used (FORBIDDEN: names
# separated by "|").
if(DEFINED FORBIDDEN)
    string(REGEX MATCHALL "\n\t[0-9a-f]+\t +[0-9]+  (${FORBIDDEN})\n" used "${dump}")
    if(used)
        message(FATAL_ERROR "${DLL} imports ${used}")
    endif()
endif()
message(STATUS "${count} exports as expected; imports: ${imports}")
