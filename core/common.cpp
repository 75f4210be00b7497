#include "core/common.h"
#include <shellapi.h>
#include <shlobj.h>
#include <userenv.h>
#include <cwctype>
#include <vector>
#include "core/errors.h"
#include "core/paths.h"
#include "core/registry.h"
#include "core/winhandle.h"
#include "ui/dialogs.h"
#include "ui/ui.h"

// --- text ---------------------------------------------------------------------------------------

std::wstring UpperCase(const std::wstring& s) {
    std::wstring r = s;
    if (!r.empty()) ::CharUpperBuffW(r.data(), static_cast<DWORD>(r.size()));
    return r;
}

std::wstring LowerCase(const std::wstring& s) {
    std::wstring r = s;
    if (!r.empty()) ::CharLowerBuffW(r.data(), static_cast<DWORD>(r.size()));
    return r;
}

int CompareTextLocale(const std::wstring& a, const std::wstring& b) {
    int r = ::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()), b.data(),
                             static_cast<int>(b.size()));
    return r == 0 ? 0 : r - CSTR_EQUAL;
}

bool SameText(const std::wstring& a, const std::wstring& b) {
    return ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

std::wstring Trim(const std::wstring& s) {
    size_t b = 0, e = s.size();
    while (b < e && s[b] <= L' ') ++b;
    while (e > b && s[e - 1] <= L' ') --e;
    return s.substr(b, e - b);
}

// --- checked lists ----------------------------------------------------------------------------

bool LoadCheckedList(ui::ListView& list, const std::wstring& key, int imageIndex) {
    RegKey k = OpenKey(HKEY_CURRENT_USER, key, false, KEY_READ);
    if (!k) {
        CheckAllItems(list, true);
        return false;
    }
    list.BeginUpdate();
    list.Clear();
    std::vector<std::wstring> names = EnumValueNames(k.get());
    for (const auto& name : names) {
        auto v = GetDword(k.get(), name);
        int i = list.AddItem(name, imageIndex);
        list.SetChecked(i, v ? *v != 0 : true);
    }
    RegKey desc = OpenKey(HKEY_CURRENT_USER, NormalizeKeyPath(key) + L"\\Desc", false, KEY_READ);
    for (size_t i = 0; i < names.size(); ++i) {
        std::wstring d;
        if (desc) d = GetString(desc.get(), names[i]).value_or(L"");
        list.SetItemText(static_cast<int>(i), 1, d);
    }
    list.EndUpdate();
    return true;
}

void SaveCheckedList(ui::ListView& list, const std::wstring& key) {
    std::wstring k = NormalizeKeyPath(key);
    DeleteKeyTree(HKEY_CURRENT_USER, k);
    {
        RegKey items = OpenKeyOrThrow(HKEY_CURRENT_USER, k, true);
        for (int i = 0; i < list.Count(); ++i) SetDword(items.get(), list.ItemText(i, 0), list.Checked(i) ? 1u : 0u);
    }
    DeleteKeyTree(HKEY_CURRENT_USER, k + L"\\Desc");
    RegKey desc = OpenKeyOrThrow(HKEY_CURRENT_USER, k + L"\\Desc", true);
    for (int i = 0; i < list.Count(); ++i) {
        std::wstring d = list.ItemText(i, 1);
        SetString(desc.get(), list.ItemText(i, 0), d.empty() ? L" " : d);
    }
}

void AddFolderItem(ui::ListView& list, const std::wstring& folder, bool checked, bool edit, int imageIndex) {
    std::wstring f = IncludeTrailingBackslash(folder);
    if (!edit) {
        int i = list.AddItem(f, imageIndex);
        list.SetChecked(i, checked);
        std::wstring d = ui::InputBox(L"Folder Description", L"Enter a description for this folder", L" ");
        list.SetItemText(i, 1, d);
        return;
    }
    int i = list.SelectedIndex();
    if (i < 0) return;
    list.SetItemText(i, 0, f);
    std::wstring current = list.ItemText(i, 1);
    std::wstring d = ui::InputBox(L"Folder Description", L"Enter a description for this excluded folder",
                                  current.empty() ? L" " : current);
    list.SetItemText(i, 1, d);
}

void AddOrEditFolder(ui::ListView& list, bool edit, int imageIndex) {
    std::wstring folder;
    if (edit && list.SelectedIndex() >= 0) folder = list.ItemText(list.SelectedIndex(), 0);
    if (ui::SelectFolder(L"Select a folder", folder)) AddFolderItem(list, folder, true, edit, imageIndex);
}

void CheckAllItems(ui::ListView& list, bool state) {
    for (int i = 0; i < list.Count(); ++i) list.SetChecked(i, state);
}

void DeleteSelectedItem(ui::ListView& list) {
    int i = list.SelectedIndex();
    if (i < 0) return;
    list.DeleteItem(i);
    if (list.Count() > 0) {
        int n = i == 0 ? 0 : i - 1;
        list.SelectAll(false);
        list.SetSelected(n, true);
        list.SetFocused(n);
    }
}

// Under Wine a drive letter can stand for the host's whole file system (Z: is "/"); such a drive
// is never checked on the user's behalf. On Windows the query does not exist and nothing is
// left out.
static bool IsHostRootDrive(const std::wstring& root) {
    using UnixName = char*(__cdecl*)(const wchar_t*);
    HMODULE k32 = ::GetModuleHandleW(L"kernel32.dll");
    auto toUnix = k32 ? reinterpret_cast<UnixName>(reinterpret_cast<void*>(::GetProcAddress(k32, "wine_get_unix_file_name")))
                      : nullptr;
    if (!toUnix) return false;
    char* unixPath = toUnix(root.c_str());
    if (!unixPath) return false;
    bool hostRoot = std::string(unixPath) == "/";
    ::HeapFree(::GetProcessHeap(), 0, unixPath);
    return hostRoot;
}

void CheckFixedDrivesOnFirstUse(const std::wstring& key, const std::wstring& subkey, ui::ListView& drives) {
    RegKey k = OpenKeyOrThrow(HKEY_CURRENT_USER, key, true);
    if (KeyExists(k.get(), subkey)) return;
    for (int i = 0; i < drives.Count(); ++i) {
        std::wstring caption = drives.ItemText(i, 0);
        if (caption.size() < 3) continue;
        std::wstring root = caption.substr(caption.size() - 3, 2) + L"\\";
        if (::GetDriveTypeW(root.c_str()) == DRIVE_FIXED && !IsHostRootDrive(root)) drives.SetChecked(i, true);
    }
}

// --- special folders --------------------------------------------------------------------------

std::wstring GetTempFolder() {
    wchar_t buf[MAX_PATH + 2];
    DWORD n = ::GetTempPathW(MAX_PATH + 1, buf);
    if (n < 1 || n > MAX_PATH + 1) return L"c:\\windows\\temp\\";
    return std::wstring(buf, n);
}

std::wstring GetWindowsFolder() {
    wchar_t buf[MAX_PATH + 1];
    UINT n = ::GetWindowsDirectoryW(buf, MAX_PATH + 1);
    if (n < 1 || n > MAX_PATH) return L"c:\\windows";
    return ExcludeTrailingBackslash(std::wstring(buf, n));
}

std::wstring GetSystemFolder() {
    wchar_t buf[MAX_PATH + 1];
    UINT n = ::GetSystemDirectoryW(buf, MAX_PATH + 1);
    if (n < 1 || n > MAX_PATH) return GetWindowsFolder() + L"\\system32";
    return ExcludeTrailingBackslash(std::wstring(buf, n));
}

std::wstring GetStartupFolder() {
    RegKey k = OpenKey(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                       false, KEY_READ);
    if (!k) return std::wstring();
    return GetString(k.get(), L"StartUp").value_or(L"");
}

std::wstring ExpandEnvironment(const std::wstring& text) {
    wchar_t buf[256];
    DWORD n = ::ExpandEnvironmentStringsW(text.c_str(), buf, 256);
    if (n == 0 || n > 256) return text;   // failed, or longer than 255 characters
    return std::wstring(buf);
}

bool IsAdministrator() {
    OSVERSIONINFOW vi{sizeof(vi)};
#if defined(_MSC_VER)
#pragma warning(suppress : 4996)
#endif
    ::GetVersionExW(&vi);
    if (vi.dwPlatformId != VER_PLATFORM_WIN32_NT) return true;
    UniqueHandle token;
    HANDLE h = nullptr;
    if (::OpenThreadToken(::GetCurrentThread(), TOKEN_QUERY, TRUE, &h)) token.reset(h);
    else if (::GetLastError() == ERROR_NO_TOKEN && ::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &h))
        token.reset(h);
    if (!token) return false;
    DWORD size = 0;
    ::GetTokenInformation(token.get(), TokenGroups, nullptr, 0, &size);
    if (size == 0) return false;
    std::vector<BYTE> buf(size);
    if (!::GetTokenInformation(token.get(), TokenGroups, buf.data(), size, &size)) return false;
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID admins = nullptr;
    if (!::AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                    &admins))
        return false;
    bool found = false;
    auto* groups = reinterpret_cast<TOKEN_GROUPS*>(buf.data());
    for (DWORD i = 0; i < groups->GroupCount && !found; ++i)
        if (::EqualSid(groups->Groups[i].Sid, admins)) found = true;
    ::FreeSid(admins);
    return found;
}

void ShowRegistryAccessError() {
    ui::ShowMessage(L"Kestrune was unable to access the System Registry.\r\rIf you are running under Windows NT you "
                    L"must be logged in as an \"Administrator\" in order to access this function.");
}

// --- files ----------------------------------------------------------------------------------

bool IsFileInUse(const std::wstring& path) {
    // A read-only file cannot be opened for writing; say so even where the platform would let
    // a privileged user open it (Wine run as root does).
    DWORD attrs = ::GetFileAttributesW(path.c_str());
    if (attrs == INVALID_FILE_ATTRIBUTES || (attrs & FILE_ATTRIBUTE_READONLY)) return true;
    UniqueHandle h(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return !h.valid();
}

bool IsValidFileName(const std::wstring& text, const std::wstring& label) {
    static const wchar_t bad[] = L"\\/:*?\"<>|";
    if (text.find_first_of(bad) == std::wstring::npos) return true;
    std::wstring msg = label + L": ";
    for (size_t i = 0; bad[i]; ++i) {
        if (i) msg += L' ';
        msg += bad[i];
    }
    ui::ShowMessage(msg);
    return false;
}

double SystemTimeToDateTime(const SYSTEMTIME& st) {
    FILETIME ft;
    if (!::SystemTimeToFileTime(&st, &ft)) return 0;
    ULARGE_INTEGER u;
    u.LowPart = ft.dwLowDateTime;
    u.HighPart = ft.dwHighDateTime;
    // 109,205 days lie between 1 January 1601 and 30 December 1899.
    return static_cast<double>(u.QuadPart) / 864000000000.0 - 109205.0;
}

SYSTEMTIME DateTimeToSystemTime(double value) {
    SYSTEMTIME st{};
    double ticks = (value + 109205.0) * 864000000000.0;
    if (ticks < 0) ticks = 0;
    ULARGE_INTEGER u;
    // Round to the millisecond so that an encoded time reads back as itself.
    u.QuadPart = static_cast<ULONGLONG>(ticks / 10000.0 + 0.5) * 10000ULL;
    FILETIME ft{u.LowPart, u.HighPart};
    ::FileTimeToSystemTime(&ft, &st);
    return st;
}

double NowDateTime() {
    SYSTEMTIME st;
    ::GetLocalTime(&st);
    return SystemTimeToDateTime(st);
}

double GetLastAccessDate(const std::wstring& path) {
    UniqueHandle h(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h) return 0;
    FILETIME access, local;
    if (!::GetFileTime(h.get(), nullptr, &access, nullptr)) return 0;
    SYSTEMTIME st;
    if (!::FileTimeToLocalFileTime(&access, &local) || !::FileTimeToSystemTime(&local, &st)) return 0;
    ::SetFileTime(h.get(), nullptr, &access, nullptr);   // the check itself must not change it
    return SystemTimeToDateTime(st);
}

bool IsFolderEmpty(const std::wstring& folder) {
    WIN32_FIND_DATAW fd;
    FindHandle h(::FindFirstFileW((folder + L"*.*").c_str(), &fd));
    if (!h.valid()) return true;
    // The first entry is taken to be "."; the folder is empty when the rest are "..".
    while (::FindNextFileW(h.get(), &fd)) {
        if (wcscmp(fd.cFileName, L"..") != 0) return false;
    }
    return true;
}

static std::wstring KnownFolder(int csidl) {
    wchar_t buf[MAX_PATH];
    if (SUCCEEDED(::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buf))) return buf;
    return std::wstring();
}

static std::wstring EnvFolder(const wchar_t* name) {
    wchar_t buf[MAX_PATH];
    DWORD n = ::GetEnvironmentVariableW(name, buf, MAX_PATH);
    return (n > 0 && n < MAX_PATH) ? std::wstring(buf, n) : std::wstring();
}

bool IsPlainAbsolutePath(const std::wstring& path) {
    if (path.size() < 3) return false;
    for (wchar_t c : path)
        if (c < 32 || c == L'*' || c == L'?' || c == L'"' || c == L'<' || c == L'>' || c == L'|') return false;
    bool drive = std::iswalpha(path[0]) && path[1] == L':' && path[2] == L'\\';
    bool unc = path[0] == L'\\' && path[1] == L'\\' && std::iswalnum(path[2]);
    if (!drive && !unc) return false;
    if (path.find(L'/') != std::wstring::npos) return false;
    if (path.find(L':', 2) != std::wstring::npos) return false;   // no streams
    // No "." or ".." component.
    size_t start = drive ? 3 : 2;
    while (start <= path.size()) {
        size_t end = path.find(L'\\', start);
        if (end == std::wstring::npos) end = path.size();
        std::wstring part = path.substr(start, end - start);
        if (part == L"." || part == L"..") return false;
        if (!part.empty() && Trim(part).empty()) return false;
        start = end + 1;
    }
    return true;
}

bool IsPathInside(const std::wstring& path, const std::wstring& folder) {
    std::wstring f = UpperCase(IncludeTrailingBackslash(folder));
    std::wstring p = UpperCase(path);
    return p.size() > f.size() && p.compare(0, f.size(), f) == 0;
}

// True when `a` is the same folder as `b` or an ancestor of it.
static bool IsSameOrAncestor(const std::wstring& a, const std::wstring& b) {
    if (b.empty()) return false;
    std::wstring x = UpperCase(IncludeTrailingBackslash(a)), y = UpperCase(IncludeTrailingBackslash(b));
    return y.compare(0, x.size(), x) == 0;
}

bool IsSafeFolderToEmpty(const std::wstring& folder) {
    std::wstring f = ExcludeTrailingBackslash(Trim(folder));
    if (!IsPlainAbsolutePath(f + L"\\")) return false;
    if (f.size() <= 2) return false;                              // "C:" is a drive root
    if (f[0] == L'\\') {                                          // \\server\share is a root too
        size_t share = f.find(L'\\', 2);
        if (share == std::wstring::npos || f.find(L'\\', share + 1) == std::wstring::npos) return false;
    }
    const std::wstring protectedFolders[] = {
        GetWindowsFolder(), GetSystemFolder(), KnownFolder(CSIDL_PROGRAM_FILES), KnownFolder(CSIDL_PROGRAM_FILESX86),
        KnownFolder(CSIDL_PROFILE), EnvFolder(L"USERPROFILE"), EnvFolder(L"SystemRoot"), ProgramFolder(),
        KnownFolder(CSIDL_COMMON_APPDATA), KnownFolder(CSIDL_APPDATA), KnownFolder(CSIDL_LOCAL_APPDATA),
        KnownFolder(CSIDL_PERSONAL), KnownFolder(CSIDL_DESKTOPDIRECTORY)};
    for (const auto& p : protectedFolders)
        if (IsSameOrAncestor(f, p)) return false;
    // Any profile root: the folder that holds the profiles, and each folder directly in it.
    wchar_t profiles[MAX_PATH];
    DWORD n = MAX_PATH;
    std::wstring profilesDir;
    if (::GetProfilesDirectoryW(profiles, &n)) profilesDir = profiles;
    if (!profilesDir.empty()) {
        if (IsSameOrAncestor(f, profilesDir)) return false;
        if (SameText(ExcludeTrailingBackslash(ExtractFilePath(f)), ExcludeTrailingBackslash(profilesDir))) return false;
    }
    return true;
}

bool DeleteFolderContents(const std::wstring& folder, bool recycle) {
    if (!DirectoryExists(folder)) return false;
    if (!IsSafeFolderToEmpty(folder)) return false;
    std::wstring pattern = IncludeTrailingBackslash(folder) + L"*.*";
    pattern.push_back(L'\0');   // the shell wants a double-NUL-terminated list
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_DELETE;
    op.pFrom = pattern.c_str();
    op.fFlags = FOF_SILENT | FOF_RENAMEONCOLLISION | FOF_NOCONFIRMATION | FOF_NOERRORUI;
    if (recycle) op.fFlags |= FOF_ALLOWUNDO;
    int rc = ::SHFileOperationW(&op);
    return rc == 0 && !op.fAnyOperationsAborted;
}

// --- tips -------------------------------------------------------------------------------------
// ShowHintOnce lives with the tip window in core/Hint.cpp.
