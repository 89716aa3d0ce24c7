# Exports the demo meshes to an Alembic archive with the DLL under Wine, at a
# path whose folder name reaches beyond ASCII, and reads the archive back
# with the Alembic tools of the build machine.
set(folder "${WORK}/é 日本")
file(REMOVE_RECURSE "${folder}")
file(MAKE_DIRECTORY "${folder}")
execute_process(COMMAND wine ${HOST} Z:${DLL} doAddMeshes --text "Z:${folder}/demo.abc"
                        --list "Z:${MESHES}/" Cube Sphere Pyramid
                OUTPUT_VARIABLE called ERROR_VARIABLE called RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT called MATCHES "doAddMeshes -> 0 ")
    message(FATAL_ERROR "the export failed: ${called}")
endif()
execute_process(COMMAND abctree "${folder}/demo.abc" OUTPUT_VARIABLE listing RESULT_VARIABLE status)
string(REGEX REPLACE "[ |`\r-]+" "" objects "${listing}")
string(REPLACE "\n" ";" objects "${objects}")
if(NOT status EQUAL 0 OR NOT objects STREQUAL "ABC;Cube;Cube;Sphere;Sphere;Pyramid;Pyramid;")
    message(FATAL_ERROR "the archive reads back as\n${listing}")
endif()
message(STATUS "objects: ${objects}")
