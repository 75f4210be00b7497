// The kind of a program file: MS-DOS, 16-bit or 32-bit Windows, batch file, setup script.
#pragma once
#include <string>

// Codes: 0 two-phase operation, 1 DOS EXE, 2 DOS COM, 3 DOS batch, 4 Windows (16-bit),
// 5 32-bit Windows, 6 setup .INF; -1 missing file, -2 not an executable, -3 no usable extension.
// useShell asks the shell for the executable type, otherwise the system's binary type is used.
int GetExeType(const std::wstring& path, bool useShell);
std::wstring ExeTypeText(int code);
