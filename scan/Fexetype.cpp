#include "scan/Fexetype.h"
#include <windows.h>
#include <shellapi.h>

namespace {

std::wstring UpperExtension(const std::wstring& path) {
    size_t slash = path.find_last_of(L"\\/:");
    std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    size_t dot = name.find_last_of(L'.');
    if (dot == std::wstring::npos) return std::wstring();
    std::wstring ext = name.substr(dot);
    ::CharUpperBuffW(ext.data(), static_cast<DWORD>(ext.size()));
    return ext;
}

}  // namespace

int GetExeType(const std::wstring& path, bool useShell) {
    if (path.empty()) return 0;
    size_t dot = path.find(L'.');
    if (dot == std::wstring::npos || path.size() - dot - 1 < 3) return -3;
    DWORD attr = ::GetFileAttributesW(path.c_str());
    if (attr == INVALID_FILE_ATTRIBUTES || (attr & FILE_ATTRIBUTE_DIRECTORY)) return -1;
    const std::wstring ext = UpperExtension(path);

    if (useShell) {
        SHFILEINFOW sfi{};
        DWORD_PTR r = ::SHGetFileInfoW(path.c_str(), 0, &sfi, sizeof(sfi), SHGFI_EXETYPE);
        switch (LOWORD(r)) {
        case 0x454E: return 4;   // "NE"
        case 0x4550: return 5;   // "PE"
        case 0x5A4D:             // "MZ"
            if (ext == L".EXE") return 1;
            if (ext == L".COM") return 2;
            if (ext == L".BAT") return 3;
            return -2;
        default:
            return ext == L".INF" ? 6 : -2;
        }
    }

    DWORD type = 0;
    if (!::GetBinaryTypeW(path.c_str(), &type)) return -2;
    switch (type) {
    case SCS_32BIT_BINARY:
    case SCS_64BIT_BINARY:   // a 64-bit program is a Windows program of the same format
        return 5;
    case SCS_DOS_BINARY:
        if (ext == L".EXE") return 1;
        if (ext == L".COM") return 2;
        return -2;
    case SCS_WOW_BINARY:
        return 4;
    default:
        if (ext == L".INF") return 6;
        if (ext == L".BAT") return 3;
        return -2;
    }
}

std::wstring ExeTypeText(int code) {
    switch (code) {
    case 0: return L"(two phase operation)";
    case 1: return L"DOS EXE file";
    case 2: return L"DOS COM file";
    case 3: return L"DOS batch file";
    case 4: return L"Windows Executable";
    case 5: return L"32-bit Windows Executable";
    case 6: return L"Setup .INF file";
    case -1: return L"File does not exist";
    case -2: return L"Not an executable file";
    default: return std::wstring();
    }
}
