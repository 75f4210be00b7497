// The uninstall-list cleaner's rules: which registrations of the system's uninstall list are
// orphaned, the scan of the list and the removal of one entry.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

class RegUndoFile;

inline constexpr const wchar_t* kUninstallKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// The file a command line starts, as the system would find it: a quoted first path, or the
// shortest blank-separated start of the command that names an existing file (".exe" is tried
// for a name without extension); a bare name is looked for in the system folder, the Windows
// folder and the folders of the search path. Environment variables are expanded first. Empty
// when no such file exists. `arguments` receives the rest of the command.
std::wstring FindCommandProgram(const std::wstring& command, std::wstring* arguments = nullptr);

// True when the registration is invalid: the command is empty, the program it starts is missing,
// or the last drive-qualified path among its arguments (a path without '/') names nothing.
// Commands through RunDll are always valid.
bool IsOrphanedUninstall(const std::wstring& command);

struct UninstallRow {
    std::wstring displayName;
    std::wstring keyName;
    std::wstring uninstallString;
};

// The orphaned registrations below machine\kUninstallKey, in the order the registry lists them.
// Entries without "DisplayName", Microsoft Office 2000 and "INETFIND" are never listed. Throws
// KesError when the key cannot be opened for writing (no administrator rights).
std::vector<UninstallRow> FindOrphanedEntries(HKEY machine);

// A subkey name that names exactly one direct subkey (not empty, no backslash).
bool IsPlainSubkeyName(const std::wstring& name);

// Saves the whole entry to the undo file, then deletes it with all its values and subkeys.
// False, with the reason, when the name is not a plain subkey name, the entry cannot be saved
// (nothing is deleted then) or it still exists after the deletion.
bool RemoveUninstallEntry(HKEY machine, const std::wstring& keyName, RegUndoFile& undo, std::wstring& error);
