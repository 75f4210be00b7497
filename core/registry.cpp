#include "core/registry.h"
#include "core/errors.h"

std::wstring NormalizeKeyPath(const std::wstring& path) {
    size_t i = 0;
    while (i < path.size() && path[i] == L'\\') ++i;
    std::wstring s = path.substr(i);
    while (!s.empty() && s.back() == L'\\') s.pop_back();
    return s;
}

static LONG OpenOrCreate(HKEY root, const std::wstring& path, bool create, REGSAM access, RegKey& key) {
    std::wstring p = NormalizeKeyPath(path);
    LONG rc = create ? ::RegCreateKeyExW(root, p.c_str(), 0, nullptr, 0, access, nullptr, key.put(), nullptr)
                     : ::RegOpenKeyExW(root, p.c_str(), 0, access, key.put());
    if (rc != ERROR_SUCCESS) key.reset();
    return rc;
}

RegKey OpenKey(HKEY root, const std::wstring& path, bool create, REGSAM access) {
    RegKey key;
    OpenOrCreate(root, path, create, access, key);
    return key;
}

RegKey OpenKeyOrThrow(HKEY root, const std::wstring& path, bool create, REGSAM access) {
    RegKey key;
    LONG rc = OpenOrCreate(root, path, create, access, key);
    if (rc != ERROR_SUCCESS) ThrowSystemError(L"Failed to open key \\" + NormalizeKeyPath(path), static_cast<DWORD>(rc));
    return key;
}

bool KeyExists(HKEY root, const std::wstring& path) {
    return static_cast<bool>(OpenKey(root, path, false, KEY_READ));
}

bool ValueExists(HKEY key, const std::wstring& name) {
    return ::RegQueryValueExW(key, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

bool DeleteKeyTree(HKEY root, const std::wstring& path) {
    std::wstring p = NormalizeKeyPath(path);
    if (p.empty()) return false;  // never the root itself
    LONG rc = ::RegDeleteTreeW(root, p.c_str());
    if (rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND) {
        // RegDeleteTree leaves the key itself when given a subkey path on some systems.
        ::RegDeleteKeyW(root, p.c_str());
    }
    return !KeyExists(root, p);
}

std::vector<std::wstring> EnumValueNames(HKEY key) {
    std::vector<std::wstring> names;
    DWORD count = 0, maxLen = 0;
    if (::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, &maxLen,
                           nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return names;
    std::vector<wchar_t> buf(maxLen + 2);
    for (DWORD i = 0;; ++i) {
        DWORD len = static_cast<DWORD>(buf.size());
        LONG rc = ::RegEnumValueW(key, i, buf.data(), &len, nullptr, nullptr, nullptr, nullptr);
        if (rc == ERROR_MORE_DATA) { buf.resize(buf.size() * 2 + 256); --i; continue; }
        if (rc != ERROR_SUCCESS) break;
        names.emplace_back(buf.data(), len);
    }
    return names;
}

std::vector<std::wstring> EnumSubkeyNames(HKEY key) {
    std::vector<std::wstring> names;
    wchar_t buf[512];
    for (DWORD i = 0;; ++i) {
        DWORD len = 512;
        LONG rc = ::RegEnumKeyExW(key, i, buf, &len, nullptr, nullptr, nullptr, nullptr);
        if (rc != ERROR_SUCCESS) break;
        names.emplace_back(buf, len);
    }
    return names;
}

std::optional<RegValue> QueryValue(HKEY key, const std::wstring& name) {
    DWORD type = 0, size = 0;
    LONG rc = ::RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size);
    if (rc != ERROR_SUCCESS) return std::nullopt;
    RegValue v;
    v.type = type;
    for (int attempt = 0; attempt < 4; ++attempt) {
        v.data.resize(size);
        rc = ::RegQueryValueExW(key, name.c_str(), nullptr, &type, size ? v.data.data() : nullptr, &size);
        if (rc == ERROR_MORE_DATA) continue;
        if (rc != ERROR_SUCCESS) return std::nullopt;
        v.type = type;
        v.data.resize(size);
        return v;
    }
    return std::nullopt;
}

std::wstring RegDataToString(const std::vector<BYTE>& data) {
    size_t n = data.size() / sizeof(wchar_t);
    const wchar_t* p = reinterpret_cast<const wchar_t*>(data.data());
    size_t len = 0;
    while (len < n && p[len] != L'\0') ++len;
    return std::wstring(p, len);
}

static std::wstring InvalidType(const std::wstring& name) {
    return L"Invalid data type for '" + name + L"'";
}

std::optional<std::wstring> GetString(HKEY key, const std::wstring& name) {
    auto v = QueryValue(key, name);
    if (!v) return std::nullopt;
    if (v->type != REG_SZ && v->type != REG_EXPAND_SZ) throw KesError(InvalidType(name));
    return RegDataToString(v->data);
}

std::optional<uint32_t> GetDword(HKEY key, const std::wstring& name) {
    auto v = QueryValue(key, name);
    if (!v) return std::nullopt;
    if (v->type != REG_DWORD || v->data.size() != 4) throw KesError(InvalidType(name));
    uint32_t x;
    memcpy(&x, v->data.data(), 4);
    return x;
}

void SetString(HKEY key, const std::wstring& name, const std::wstring& value, DWORD type) {
    LONG rc = ::RegSetValueExW(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                               static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    if (rc != ERROR_SUCCESS) ThrowSystemError(L"Failed to set data for '" + name + L"'", static_cast<DWORD>(rc));
}

void SetDword(HKEY key, const std::wstring& name, uint32_t value) {
    LONG rc = ::RegSetValueExW(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4);
    if (rc != ERROR_SUCCESS) ThrowSystemError(L"Failed to set data for '" + name + L"'", static_cast<DWORD>(rc));
}

void SetBinary(HKEY key, const std::wstring& name, const void* data, size_t size) {
    LONG rc = ::RegSetValueExW(key, name.c_str(), 0, REG_BINARY, static_cast<const BYTE*>(data),
                               static_cast<DWORD>(size));
    if (rc != ERROR_SUCCESS) ThrowSystemError(L"Failed to set data for '" + name + L"'", static_cast<DWORD>(rc));
}

// --- typed helpers -----------------------------------------------------------------------------

int32_t ReadRegInteger(const std::wstring& key, const std::wstring& name) {
    RegKey k = OpenKeyOrThrow(HKEY_CURRENT_USER, key, true);
    auto v = GetDword(k.get(), name);
    return v ? static_cast<int32_t>(*v) : 0;
}

void WriteRegInteger(const std::wstring& key, const std::wstring& name, int32_t value) {
    RegKey k = OpenKeyOrThrow(HKEY_CURRENT_USER, key, true);
    SetDword(k.get(), name, static_cast<uint32_t>(value));
}

bool ReadRegBool(const std::wstring& key, const std::wstring& name) {
    RegKey k = OpenKeyOrThrow(HKEY_CURRENT_USER, key, true);
    auto v = GetDword(k.get(), name);
    return v ? *v != 0 : true;
}

void WriteRegBool(const std::wstring& key, const std::wstring& name, bool value) {
    RegKey k = OpenKeyOrThrow(HKEY_CURRENT_USER, key, true);
    SetDword(k.get(), name, value ? 1u : 0u);
}

void DeleteRegValue(const std::wstring& key, const std::wstring& name) {
    RegKey k = OpenKeyOrThrow(HKEY_CURRENT_USER, key, true);
    ::RegDeleteValueW(k.get(), name.c_str());
}

std::wstring ReadRegString(const std::wstring& key, const std::wstring& name) {
    RegKey k = OpenKeyOrThrow(HKEY_CURRENT_USER, key, true);
    return GetString(k.get(), name).value_or(L"");
}

void WriteRegString(const std::wstring& key, const std::wstring& name, const std::wstring& value) {
    RegKey k = OpenKeyOrThrow(HKEY_CURRENT_USER, key, true);
    SetString(k.get(), name, value);
}
