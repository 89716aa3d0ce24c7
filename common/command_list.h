// Every symbol the libraries export, in one table: the exported commands with
// the libraries that carry them and the arguments they read, then the other
// exported symbols. The C++ code includes it with its own COMMAND and SYMBOL
// macros; the build reads the same lines to derive each library's export list.
//
// Libraries: LibBrindle (Brindle for macOS and Linux), LibBrindleWin (Brindle
// for Windows), LibLauncher (TesmarLauncherDLL).

COMMAND(DropdownNew, LibBrindle | LibBrindleWin | LibLauncher, ArgNone)
COMMAND(DropdownDelete, LibBrindle | LibBrindleWin | LibLauncher, ArgNone)
COMMAND(DropdownLoad, LibBrindle | LibBrindleWin | LibLauncher, ArgValue)
COMMAND(DropdownClear, LibBrindle | LibBrindleWin | LibLauncher, ArgNone)
COMMAND(DropdownGetCount, LibBrindle | LibBrindleWin | LibLauncher, ArgNone)
COMMAND(DropdownGet, LibBrindle | LibBrindleWin | LibLauncher, ArgValue | ArgBuffer1 | ArgBuffer1Size)
COMMAND(DropdownSet, LibBrindle | LibBrindleWin | LibLauncher, ArgText | ArgValue)
COMMAND(DropdownFind, LibBrindle | LibBrindleWin | LibLauncher, ArgText)
COMMAND(DropdownAdd, LibBrindle | LibBrindleWin | LibLauncher, ArgText)
COMMAND(DropdownInsert, LibBrindle | LibBrindleWin | LibLauncher, ArgText | ArgValue)
COMMAND(DropdownRemove, LibBrindle | LibBrindleWin | LibLauncher, ArgValue)
COMMAND(DropdownSelect, LibBrindle | LibBrindleWin | LibLauncher, ArgValue)
COMMAND(DropdownGetSelected, LibBrindle | LibBrindleWin | LibLauncher, ArgNone)
COMMAND(DropdownShow, LibBrindle | LibBrindleWin | LibLauncher, ArgText | ArgHost)
COMMAND(DropdownGetSize, LibBrindle, ArgText | ArgValue | ArgBuffer1 | ArgBuffer1Size | ArgBuffer2 | ArgBuffer2Size | ArgHost)
COMMAND(RenameButton, LibBrindle | LibBrindleWin | LibLauncher, ArgText | ArgBuffer1 | ArgHost)
COMMAND(RenameSetNext, LibBrindle | LibBrindleWin | LibLauncher, ArgText | ArgHost)
COMMAND(AppendNewSubTool, LibBrindle | LibBrindleWin | LibLauncher, ArgText | ArgHost)
COMMAND(ChangeButtonIcon, LibBrindle, ArgText | ArgValue | ArgBuffer1 | ArgHost)
COMMAND(ExecuteCallback, LibBrindle, ArgText | ArgValue | ArgBuffer1 | ArgBuffer1Size | ArgBuffer2 | ArgBuffer2Size | ArgHost)
COMMAND(GetCurrentLanguage, LibBrindle | LibBrindleWin | LibLauncher, ArgHost)
COMMAND(RegisterLocalizationFile, LibBrindle | LibBrindleWin | LibLauncher, ArgText | ArgHost)
COMMAND(GetLocalizedText, LibBrindle | LibBrindleWin | LibLauncher, ArgText | ArgBuffer1 | ArgBuffer1Size | ArgHost)
COMMAND(GetLocalizedTitle, LibBrindle | LibBrindleWin | LibLauncher, ArgText | ArgBuffer1 | ArgBuffer1Size | ArgHost)
COMMAND(GetLocalizedInfo, LibBrindle | LibBrindleWin | LibLauncher, ArgText | ArgBuffer1 | ArgBuffer1Size | ArgHost)
COMMAND(GetLocalizedDescr, LibBrindle | LibBrindleWin | LibLauncher, ArgText | ArgBuffer1 | ArgBuffer1Size | ArgHost)
COMMAND(StrReplaceArg, LibBrindle | LibBrindleWin | LibLauncher, ArgText | ArgValue | ArgBuffer1 | ArgBuffer1Size)

// Exported symbols that are not commands: CName for data with a plain name,
// CxxName for C++ functions (matched by name, whatever their decoration).
SYMBOL(g_dropdowns, LibBrindle, CName)
SYMBOL(g_currentDropdown, LibBrindle, CName)
SYMBOL(widen, LibBrindle, CxxName)
SYMBOL(narrow, LibBrindle, CxxName)
