#include "tools/regclean/regscan.h"
#include <shellapi.h>
#include <cstdio>
#include <cwctype>
#include "core/errors.h"
#include "core/paths.h"
#include "core/registry.h"
#include "core/winhandle.h"
#include "tools/regclean/regundo.h"

namespace {

// Whether the folder can be made the current folder; the current folder is put back.
bool CanEnterFolder(const std::wstring& folder) {
    DWORD n = ::GetCurrentDirectoryW(0, nullptr);
    std::wstring saved(n, L'\0');
    n = ::GetCurrentDirectoryW(n, &saved[0]);
    saved.resize(n);
    bool ok = ::SetCurrentDirectoryW(folder.c_str()) != FALSE;
    if (ok && !saved.empty()) ::SetCurrentDirectoryW(saved.c_str());
    return ok;
}

std::wstring LocaleText(LCTYPE type, const wchar_t* fallback) {
    wchar_t buf[16] = {};
    if (::GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buf, 16) <= 0) return fallback;
    return buf;
}

bool KeyTime(HKEY key, FILETIME& ft, DWORD* subkeys = nullptr) {
    return ::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, subkeys, nullptr, nullptr, nullptr, nullptr, nullptr,
                              nullptr, &ft) == ERROR_SUCCESS;
}

}  // namespace

bool IsValidReference(const std::wstring& s) {
    if (s.size() < 3) return true;
    wchar_t drive = static_cast<wchar_t>(std::towupper(s[0]));
    if (drive < L'C' || drive > L'Z') return true;
    if (s.find_first_of(L";, ") != std::wstring::npos) return true;
    if (s[1] != L':' || s[2] != L'\\') return true;
    // Masks and quoted or piped text are not paths of one file or folder.
    if (s.find_first_of(L"*?\"<>|") != std::wstring::npos) return true;
    std::wstring root = std::wstring(1, drive) + L":\\";
    if (::GetDriveTypeW(root.c_str()) != DRIVE_FIXED) return true;
    size_t slash = s.find_last_of(L'\\');
    std::wstring last = s.substr(slash + 1);
    if (last.find(L'.') != std::wstring::npos) {
        if (!CanEnterFolder(s.substr(0, slash + 1))) return false;
        return ::GetFileAttributesW(s.c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    return CanEnterFolder(IncludeTrailingBackslash(s));
}

std::wstring DriveRootOf(const std::wstring& path) {
    if (path.size() >= 2 && path[1] == L':' && std::iswalpha(path[0])) return path.substr(0, 2) + L"\\";
    if (path.size() > 2 && path[0] == L'\\' && path[1] == L'\\') {
        size_t server = path.find(L'\\', 2);
        if (server == std::wstring::npos || server == 2) return L"";
        size_t share = path.find(L'\\', server + 1);
        if (share == server + 1) return L"";
        return IncludeTrailingBackslash(path.substr(0, share));
    }
    return L"";
}

std::wstring FormatKeyTime(const FILETIME& ft) {
    SYSTEMTIME st{};
    if (!::FileTimeToSystemTime(&ft, &st)) return L"";
    std::wstring ds = LocaleText(LOCALE_SDATE, L"/"), ts = LocaleText(LOCALE_STIME, L":");
    unsigned hour = st.wHour % 12;
    if (hour == 0) hour = 12;
    wchar_t buf[64];
    std::swprintf(buf, 64, L"%02u%ls%02u%ls%04u %02u%ls%02u%ls", st.wMonth, ds.c_str(), st.wDay, ds.c_str(), st.wYear,
                  hour, ts.c_str(), st.wMinute, st.wHour < 12 ? L"AM" : L"PM");
    return buf;
}

bool ParseRowCaption(const std::wstring& caption, std::wstring& rootName, std::wstring& keyPath, HKEY& root) {
    size_t colon = caption.find(L':');
    if (colon == std::wstring::npos) return false;
    rootName = caption.substr(0, colon);
    keyPath = colon + 2 <= caption.size() ? caption.substr(colon + 2) : std::wstring();
    if (keyPath.empty() || keyPath[0] != L'\\') keyPath = L"\\" + keyPath;
    root = RootFromName(rootName);
    return root != nullptr;
}

bool RegistryWalker::ScanKeys(const std::wstring& startPath) {
    RegKey start = OpenKey(root_, startPath, false, KEY_READ);
    if (!start) return false;
    Walk(start.get(), NormalizeKeyPath(startPath), 0);
    return true;
}

void RegistryWalker::Walk(HKEY key, const std::wstring& path, int depth) {
    if (depth > 512) return;
    std::vector<std::wstring> names = EnumSubkeyNames(key);
    for (const std::wstring& name : names) {
        RegKey child;
        if (::RegOpenKeyExW(key, name.c_str(), 0, KEY_READ, child.put()) == ERROR_SUCCESS) {
            std::wstring childPath = path + L"\\" + name;
            AnalyzeValues(child.get(), childPath, name);
            if (Stop()) break;
            DWORD subkeys = 0;
            FILETIME ft;
            if (KeyTime(child.get(), ft, &subkeys) && subkeys > 0) Walk(child.get(), childPath, depth + 1);
        } else {
            child.reset();
        }
        if (Stop()) break;
    }
}

void RegistryWalker::AnalyzeValues(HKEY key, const std::wstring& path, const std::wstring& name) {
    bool haveTime = false;
    std::wstring modified;
    for (const std::wstring& valueName : EnumValueNames(key)) {
        DWORD type = REG_NONE;
        if (::RegQueryValueExW(key, valueName.c_str(), nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS) continue;
        if (type != REG_SZ && type != REG_EXPAND_SZ) continue;
        if (OnAnalyzing) OnAnalyzing(name);
        if (Stop()) return;
        std::optional<RegValue> v = QueryValue(key, valueName);
        if (!v) continue;
        std::wstring data = RegDataToString(v->data);
        if (IsValidReference(valueName) && IsValidReference(data)) continue;
        if (!haveTime) {
            FILETIME ft{};
            if (KeyTime(key, ft)) modified = FormatKeyTime(ft);
            haveTime = true;
        }
        if (OnRow) OnRow(RegRow{rootName_ + L": " + path, kImgKeyRow, modified, valueName, data});
    }
}

bool RegistryWalker::DoAnalyzeDLLs(const std::wstring& keyPath, bool excludeRemote) {
    RegKey key = OpenKey(root_, keyPath, false, KEY_READ);
    if (!key) return false;
    FILETIME ft{};
    std::wstring modified = KeyTime(key.get(), ft) ? FormatKeyTime(ft) : L"";
    std::wstring caption = rootName_ + L": " + NormalizeKeyPath(keyPath);
    for (const std::wstring& name : EnumValueNames(key.get())) {
        if (!ValueExists(key.get(), name)) continue;
        bool skip = false;
        if (excludeRemote) {
            std::wstring root = DriveRootOf(name);
            if (!root.empty()) {
                UINT type = ::GetDriveTypeW(root.c_str());
                skip = type == DRIVE_CDROM || type == DRIVE_REMOTE;
            }
        }
        if (!skip && !FileExists(name) && OnRow) OnRow(RegRow{caption, kImgDllRow, modified, name, name});
        if (Stop()) break;
    }
    return true;
}

RemoveResult RemoveRowValue(const RegRow& row, RegUndoFile& undo, std::wstring& error) {
    std::wstring rootName, keyPath;
    HKEY root = nullptr;
    if (!ParseRowCaption(row.caption, rootName, keyPath, root)) {
        error = L"Not a registry key: " + row.caption;
        return RemoveResult::KeyMissing;
    }
    RegKey key = OpenKey(root, keyPath, false, KEY_QUERY_VALUE | KEY_SET_VALUE);
    if (!key) {
        error = L"Error opening registry key " + keyPath;
        return RemoveResult::KeyMissing;
    }
    if (!ValueExists(key.get(), row.valueName)) {
        error = L"The value no longer exists.";
        return RemoveResult::ValueMissing;
    }
    if (!undo.AppendValue(root, rootName, keyPath, row.valueName)) {
        error = undo.LastError();
        return RemoveResult::NotSaved;
    }
    LONG rc = ::RegDeleteValueW(key.get(), row.valueName.c_str());
    if (rc != ERROR_SUCCESS) {
        error = SystemErrorText(static_cast<DWORD>(rc));
        return RemoveResult::Failed;
    }
    return RemoveResult::Removed;
}

bool RegistryEditor::Run(HWND owner, const std::wstring& parameters, std::wstring& error) const {
    SHELLEXECUTEINFOW sei{};
    sei.cbSize = sizeof sei;
    sei.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    sei.hwnd = owner;
    sei.lpVerb = L"open";
    sei.lpFile = program.c_str();
    sei.lpParameters = parameters.c_str();
    sei.nShow = SW_SHOW;
    if (!::ShellExecuteExW(&sei) || !sei.hProcess) {
        DWORD code = ::GetLastError();
        error = L"The registry editor could not be started (" + std::to_wstring(code) + L"): " + SystemErrorText(code);
        return false;
    }
    UniqueHandle process(sei.hProcess);
    ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    HANDLE h = process.get();
    for (;;) {
        ULONGLONG now = ::GetTickCount64();
        if (now >= deadline) {
            ::TerminateProcess(h, 1);
            ::WaitForSingleObject(h, 5000);
            error = L"The registry editor did not finish in time.";
            return false;
        }
        DWORD wait = static_cast<DWORD>(deadline - now);
        DWORD rc = ::MsgWaitForMultipleObjects(1, &h, FALSE, wait, QS_ALLINPUT);
        if (rc == WAIT_OBJECT_0) return true;
        if (rc == WAIT_OBJECT_0 + 1) {
            if (OnWaiting) OnWaiting();
            continue;
        }
        error = L"Waiting for the registry editor failed: " + SystemErrorText(::GetLastError());
        return false;
    }
}

bool ExportRegistry(const RegistryEditor& editor, HWND owner, const std::wstring& target, std::wstring& error) {
    std::wstring temp = target.substr(0, target.size() - ExtractFileExt(target).size()) + L".new.reg";
    ::DeleteFileW(temp.c_str());
    if (!editor.Run(owner, L"/e \"" + temp + L"\"", error)) {
        ::DeleteFileW(temp.c_str());
        return false;
    }
    if (!IsRegistryEditorFile(temp)) {
        ::DeleteFileW(temp.c_str());
        error = L"The registry editor wrote no backup file.";
        return false;
    }
    if (!::MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DWORD code = ::GetLastError();
        ::DeleteFileW(temp.c_str());
        error = L"The backup file could not be replaced: " + SystemErrorText(code);
        return false;
    }
    return true;
}
