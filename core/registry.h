// Registry access. The typed value helpers open their key under HKEY_CURRENT_USER (creating
// it), do one thing and close it again. Lower-level functions take any root.
#pragma once
#include <windows.h>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>
#include "core/winhandle.h"

// The product key under HKEY_CURRENT_USER.
inline constexpr const wchar_t* kProductKey = L"Software\\Ostrel\\Kestrune";

// "\Software\X" and "Software\X" name the same key: drops leading backslashes.
std::wstring NormalizeKeyPath(const std::wstring& path);

// --- typed helpers under HKEY_CURRENT_USER ---------------------------------------------------
// A value of another registry type than the one read throws KesError
// ("Invalid data type for 'Name'").
int32_t ReadRegInteger(const std::wstring& key, const std::wstring& name);
void WriteRegInteger(const std::wstring& key, const std::wstring& name, int32_t value);
bool ReadRegBool(const std::wstring& key, const std::wstring& name);
void WriteRegBool(const std::wstring& key, const std::wstring& name, bool value);
void DeleteRegValue(const std::wstring& key, const std::wstring& name);
// An absent string reads as empty text.
std::wstring ReadRegString(const std::wstring& key, const std::wstring& name);
void WriteRegString(const std::wstring& key, const std::wstring& name, const std::wstring& value);

// --- general access --------------------------------------------------------------------------
// Opens root\path; create=true creates it. Returns an empty key when it cannot be opened.
RegKey OpenKey(HKEY root, const std::wstring& path, bool create, REGSAM access = KEY_READ | KEY_WRITE);
// Opens or throws KesError naming the key.
RegKey OpenKeyOrThrow(HKEY root, const std::wstring& path, bool create, REGSAM access = KEY_READ | KEY_WRITE);
bool KeyExists(HKEY root, const std::wstring& path);
bool ValueExists(HKEY key, const std::wstring& name);
// Deletes the key with all its subkeys; true when it is gone afterwards.
bool DeleteKeyTree(HKEY root, const std::wstring& path);

std::vector<std::wstring> EnumValueNames(HKEY key);
std::vector<std::wstring> EnumSubkeyNames(HKEY key);

// A value as stored: type and raw bytes.
struct RegValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};
std::optional<RegValue> QueryValue(HKEY key, const std::wstring& name);

// Strict typed access on an open key (throw KesError on a type mismatch).
std::optional<std::wstring> GetString(HKEY key, const std::wstring& name);   // REG_SZ / REG_EXPAND_SZ
std::optional<uint32_t> GetDword(HKEY key, const std::wstring& name);
void SetString(HKEY key, const std::wstring& name, const std::wstring& value, DWORD type = REG_SZ);
void SetDword(HKEY key, const std::wstring& name, uint32_t value);
void SetBinary(HKEY key, const std::wstring& name, const void* data, size_t size);

// The text of REG_SZ / REG_EXPAND_SZ data (stops at the first NUL, tolerates a missing one).
std::wstring RegDataToString(const std::vector<BYTE>& data);
