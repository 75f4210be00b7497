// The undo file: before a tool deletes a registry value or key it appends exactly what is about
// to go to a file in the registry editor's own format, so that importing the file puts back
// what was removed.
#pragma once
#include <windows.h>
#include <string>
#include "core/registry.h"

// The text of one registry-editor file, version 5 ("Windows Registry Editor Version 5.00").
namespace regfile {
inline constexpr const wchar_t* kHeader = L"Windows Registry Editor Version 5.00";
// A quoted value name ("name") or @ for the default value.
std::wstring ValueNameText(const std::wstring& name);
// The part after '=': "text", dword:0000000a, hex:.., hex(2):.., hex(7):.., hex(N):..
// `nameLength` is the length of the text before '=' (the editor wraps hex lines near 80
// columns, with a backslash and two blanks on the following lines).
std::wstring ValueDataText(const RegValue& value, size_t nameLength);
// One line: name=data (without the line break).
std::wstring ValueLine(const std::wstring& name, const RegValue& value);
}  // namespace regfile

// True when the file exists and starts with a registry editor header (UTF-16LE with byte order
// mark and "Windows Registry Editor Version 5.00", or the older ANSI "REGEDIT4").
bool IsRegistryEditorFile(const std::wstring& path);

// The registry root for a hive name ("HKEY_CURRENT_USER", ...), or nullptr.
HKEY RootFromName(const std::wstring& rootName);

class RegUndoFile {
public:
    // The file is made on first use: folder + "Undo_yyyy-mm-dd_hh-nn-ss.reg" (the time of this
    // object's creation; a number is added when such a file exists already).
    explicit RegUndoFile(std::wstring folder);
    // For the program's own folder: ProgramFolder() + "Registry Backup\".
    static std::wstring DefaultFolder();

    // Appends the value `name` of root\keyPath as it is now. Answers false (with the reason in
    // LastError) when the value cannot be read or the file cannot be written; the caller then
    // must not delete the value.
    bool AppendValue(HKEY root, const std::wstring& rootName, const std::wstring& keyPath,
                     const std::wstring& name);
    // Appends the key with all its values and subkeys.
    bool AppendKeyTree(HKEY root, const std::wstring& rootName, const std::wstring& keyPath);

    // The full path of the file (it may not exist yet).
    const std::wstring& Path() const { return path_; }
    bool Created() const { return created_; }
    const std::wstring& LastError() const { return lastError_; }

private:
    bool Write(const std::wstring& text);
    bool AppendTree(HKEY key, const std::wstring& fullName, std::wstring& text, int depth);
    std::wstring folder_, path_, lastError_;
    bool created_ = false;
};
