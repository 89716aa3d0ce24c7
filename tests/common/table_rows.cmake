cmake_minimum_required(VERSION 3.25)
# Reads a table with one row the build would miss (indented) through the
# build's own reading: run with -DSOURCE=... -DWORK=..., it must fail.
include(${SOURCE}/common/exports.cmake)
set(TESMAR_COMMAND_LIST ${WORK}/table_rows_list.h)
file(WRITE ${TESMAR_COMMAND_LIST} "// a comment\n\nCOMMAND(Good, LibBrindle, ArgNone)\n  COMMAND(Indented, LibBrindle, ArgNone)\n")
tesmar_exported_names(LibBrindle names)
