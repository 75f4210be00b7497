// The program folder: where the executable lives, and with it the logs, backups and reports.
#pragma once
#include <string>

// The folder of the running executable, with its trailing backslash.
std::wstring ProgramFolder();
// Tests point the program folder at a scratch folder; an empty text restores the real one.
void SetProgramFolderOverride(const std::wstring& folder);

// Path helpers on Windows paths.
std::wstring IncludeTrailingBackslash(const std::wstring& path);
std::wstring ExcludeTrailingBackslash(const std::wstring& path);
std::wstring ExtractFilePath(const std::wstring& path);   // up to and including the last '\' or ':'
std::wstring ExtractFileName(const std::wstring& path);
std::wstring ExtractFileExt(const std::wstring& path);    // with the dot, or empty
bool FileExists(const std::wstring& path);                 // an existing file, not a folder
bool DirectoryExists(const std::wstring& path);
