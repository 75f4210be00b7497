#include "core/paths.h"
#include <windows.h>
#include <vector>

static std::wstring& Override() {
    static std::wstring value;
    return value;
}

std::wstring ProgramFolder() {
    if (!Override().empty()) return Override();
    std::vector<wchar_t> buf(MAX_PATH);
    for (;;) {
        DWORD n = ::GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n == 0) return L".\\";
        if (n < buf.size()) return ExtractFilePath(std::wstring(buf.data(), n));
        buf.resize(buf.size() * 2);
    }
}

void SetProgramFolderOverride(const std::wstring& folder) {
    Override() = folder.empty() ? std::wstring() : IncludeTrailingBackslash(folder);
}

std::wstring IncludeTrailingBackslash(const std::wstring& path) {
    if (!path.empty() && path.back() == L'\\') return path;
    return path + L'\\';
}

std::wstring ExcludeTrailingBackslash(const std::wstring& path) {
    std::wstring s = path;
    if (!s.empty() && s.back() == L'\\') s.pop_back();
    return s;
}

std::wstring ExtractFilePath(const std::wstring& path) {
    size_t p = path.find_last_of(L"\\:");
    return p == std::wstring::npos ? std::wstring() : path.substr(0, p + 1);
}

std::wstring ExtractFileName(const std::wstring& path) {
    size_t p = path.find_last_of(L"\\:");
    return p == std::wstring::npos ? path : path.substr(p + 1);
}

std::wstring ExtractFileExt(const std::wstring& path) {
    size_t p = path.find_last_of(L".\\:");
    if (p == std::wstring::npos || path[p] != L'.') return std::wstring();
    return path.substr(p);
}

bool FileExists(const std::wstring& path) {
    DWORD a = ::GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::wstring& path) {
    DWORD a = ::GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}
