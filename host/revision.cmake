# Writes OUTPUT, the text plugin-host --version prints: the release's
# VERSION and the source's revision as git describes it ("unknown" outside a
# git work tree). Run at every build; the file changes only with the text.
execute_process(COMMAND git -C "${SOURCE}" describe --always --dirty --abbrev=12
    OUTPUT_VARIABLE revision OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed ERROR_QUIET)
if(failed OR revision STREQUAL "")
    set(revision unknown)
endif()
file(WRITE "${OUTPUT}.new" "extern const char kVersion[] = \"${VERSION} (${revision})\";\n")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
