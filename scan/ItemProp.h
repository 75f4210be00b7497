// The shell's Properties sheet of a file.
#pragma once
#include <windows.h>
#include <string>

// Shows the sheet as the file's context-menu command "Properties" would. False, showing
// nothing, when the shell cannot resolve the file or the item has no property sheet.
bool ShowFileProperties(const std::wstring& path, HWND owner);
