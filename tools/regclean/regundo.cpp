#include "tools/regclean/regundo.h"
#include <cstdio>
#include <cwchar>
#include "core/errors.h"
#include "core/paths.h"
#include "core/winhandle.h"

namespace regfile {

std::wstring ValueNameText(const std::wstring& name) {
    if (name.empty()) return L"@";
    std::wstring s = L"\"";
    for (wchar_t c : name) {
        if (c == L'\\' || c == L'"') s += L'\\';
        s += c;
    }
    return s + L"\"";
}

// A REG_SZ that the editor can write as plain quoted text: terminated once, no controls inside.
static bool PlainString(const RegValue& v, std::wstring& text) {
    if (v.data.size() < 2 || v.data.size() % 2 != 0) return false;
    size_t n = v.data.size() / 2;
    const wchar_t* p = reinterpret_cast<const wchar_t*>(v.data.data());
    if (p[n - 1] != L'\0') return false;
    text.assign(p, n - 1);
    for (wchar_t c : text)
        if (c < 0x20) return false;
    return true;
}

std::wstring ValueDataText(const RegValue& v, size_t nameLength) {
    std::wstring text;
    if (v.type == REG_SZ && PlainString(v, text)) {
        std::wstring s = L"\"";
        for (wchar_t c : text) {
            if (c == L'\\' || c == L'"') s += L'\\';
            s += c;
        }
        return s + L"\"";
    }
    wchar_t buf[32];
    if (v.type == REG_DWORD && v.data.size() == 4) {
        DWORD d = static_cast<DWORD>(v.data[0]) | (static_cast<DWORD>(v.data[1]) << 8) |
                  (static_cast<DWORD>(v.data[2]) << 16) | (static_cast<DWORD>(v.data[3]) << 24);
        std::swprintf(buf, 32, L"dword:%08lx", static_cast<unsigned long>(d));
        return buf;
    }
    std::wstring s;
    if (v.type == REG_BINARY) s = L"hex:";
    else {
        std::swprintf(buf, 32, L"hex(%lx):", static_cast<unsigned long>(v.type));
        s = buf;
    }
    size_t column = nameLength + 1 + s.size();
    for (size_t i = 0; i < v.data.size(); ++i) {
        std::swprintf(buf, 32, L"%02x", static_cast<unsigned>(v.data[i]));
        s += buf;
        column += 2;
        if (i + 1 < v.data.size()) {
            s += L',';
            ++column;
            if (column > 76) {
                s += L"\\\r\n  ";
                column = 2;
            }
        }
    }
    return s;
}

std::wstring ValueLine(const std::wstring& name, const RegValue& value) {
    std::wstring n = ValueNameText(name);
    return n + L"=" + ValueDataText(value, n.size());
}

}  // namespace regfile

bool IsRegistryEditorFile(const std::wstring& path) {
    UniqueHandle f(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f) return false;
    char buf[80] = {};
    DWORD got = 0;
    if (!::ReadFile(f.get(), buf, sizeof buf, &got, nullptr)) return false;
    std::string ansi(buf, got);
    if (ansi.rfind("REGEDIT4", 0) == 0) return true;
    std::wstring header = regfile::kHeader;
    size_t need = 2 + header.size() * 2;
    if (got < need || static_cast<unsigned char>(buf[0]) != 0xFF || static_cast<unsigned char>(buf[1]) != 0xFE)
        return false;
    for (size_t i = 0; i < header.size(); ++i) {
        wchar_t c = static_cast<wchar_t>(static_cast<unsigned char>(buf[2 + 2 * i]) |
                                         (static_cast<unsigned char>(buf[3 + 2 * i]) << 8));
        if (c != header[i]) return false;
    }
    return true;
}

HKEY RootFromName(const std::wstring& rootName) {
    if (rootName == L"HKEY_CURRENT_USER") return HKEY_CURRENT_USER;
    if (rootName == L"HKEY_USERS") return HKEY_USERS;
    if (rootName == L"HKEY_LOCAL_MACHINE") return HKEY_LOCAL_MACHINE;
    if (rootName == L"HKEY_CLASSES_ROOT") return HKEY_CLASSES_ROOT;
    return nullptr;
}

RegUndoFile::RegUndoFile(std::wstring folder) : folder_(IncludeTrailingBackslash(folder)) {
    SYSTEMTIME st;
    ::GetLocalTime(&st);
    wchar_t stamp[64];
    std::swprintf(stamp, 64, L"Undo_%04u-%02u-%02u_%02u-%02u-%02u", st.wYear, st.wMonth, st.wDay, st.wHour,
                  st.wMinute, st.wSecond);
    path_ = folder_ + stamp + L".reg";
    for (int n = 2; ::GetFileAttributesW(path_.c_str()) != INVALID_FILE_ATTRIBUTES; ++n)
        path_ = folder_ + stamp + L"_" + std::to_wstring(n) + L".reg";
}

std::wstring RegUndoFile::DefaultFolder() { return ProgramFolder() + L"Registry Backup\\"; }

static std::wstring KeyHeading(const std::wstring& rootName, const std::wstring& keyPath) {
    std::wstring path = NormalizeKeyPath(keyPath);
    while (!path.empty() && path.back() == L'\\') path.pop_back();
    return L"[" + rootName + (path.empty() ? L"" : L"\\" + path) + L"]\r\n";
}

bool RegUndoFile::Write(const std::wstring& text) {
    ::CreateDirectoryW(ExcludeTrailingBackslash(folder_).c_str(), nullptr);
    UniqueHandle f(::CreateFileW(path_.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f) {
        lastError_ = L"The undo file " + path_ + L" cannot be written: " + SystemErrorText(::GetLastError());
        return false;
    }
    LARGE_INTEGER size{};
    ::GetFileSizeEx(f.get(), &size);
    std::wstring all;
    if (size.QuadPart == 0) all = L"\xFEFF" + std::wstring(regfile::kHeader) + L"\r\n\r\n";
    all += text;
    DWORD bytes = static_cast<DWORD>(all.size() * sizeof(wchar_t)), written = 0;
    if (!::WriteFile(f.get(), all.data(), bytes, &written, nullptr) || written != bytes || !::FlushFileBuffers(f.get())) {
        lastError_ = L"The undo file " + path_ + L" cannot be written: " + SystemErrorText(::GetLastError());
        return false;
    }
    created_ = true;
    return true;
}

bool RegUndoFile::AppendValue(HKEY root, const std::wstring& rootName, const std::wstring& keyPath,
                              const std::wstring& name) {
    RegKey key = OpenKey(root, NormalizeKeyPath(keyPath), false, KEY_QUERY_VALUE);
    if (!key) {
        lastError_ = L"The key " + rootName + L"\\" + NormalizeKeyPath(keyPath) + L" cannot be opened.";
        return false;
    }
    std::optional<RegValue> v = QueryValue(key.get(), name);
    if (!v) {
        lastError_ = L"The value \"" + name + L"\" cannot be read.";
        return false;
    }
    return Write(KeyHeading(rootName, keyPath) + regfile::ValueLine(name, *v) + L"\r\n\r\n");
}

bool RegUndoFile::AppendTree(HKEY key, const std::wstring& fullName, std::wstring& text, int depth) {
    if (depth > 512) {
        lastError_ = L"The key " + fullName + L" is nested too deeply.";
        return false;
    }
    text += L"[" + fullName + L"]\r\n";
    for (const std::wstring& name : EnumValueNames(key)) {
        std::optional<RegValue> v = QueryValue(key, name);
        if (!v) {
            lastError_ = L"The value \"" + name + L"\" of " + fullName + L" cannot be read.";
            return false;
        }
        text += regfile::ValueLine(name, *v) + L"\r\n";
    }
    text += L"\r\n";
    for (const std::wstring& sub : EnumSubkeyNames(key)) {
        RegKey child = OpenKey(key, sub, false, KEY_READ);
        if (!child) {
            lastError_ = L"The key " + fullName + L"\\" + sub + L" cannot be opened.";
            return false;
        }
        if (!AppendTree(child.get(), fullName + L"\\" + sub, text, depth + 1)) return false;
    }
    return true;
}

bool RegUndoFile::AppendKeyTree(HKEY root, const std::wstring& rootName, const std::wstring& keyPath) {
    std::wstring path = NormalizeKeyPath(keyPath);
    RegKey key = OpenKey(root, path, false, KEY_READ);
    if (!key) {
        lastError_ = L"The key " + rootName + L"\\" + path + L" cannot be opened.";
        return false;
    }
    std::wstring text;
    if (!AppendTree(key.get(), rootName + (path.empty() ? L"" : L"\\" + path), text, 0)) return false;
    return Write(text);
}
