#include "tools/eraser/Traces.h"

#include <oaidl.h>
#include "core/common.h"
#include "core/logs.h"
#include "core/paths.h"
#include "core/registry.h"
#include "core/winhandle.h"
#include "ui/ui.h"

std::wstring TrimOneBackslash(const std::wstring& value) {
    if (!value.empty() && value.back() == L'\\') return value.substr(0, value.size() - 1);
    return value;
}

std::optional<std::wstring> ShellFolder(const std::wstring& valueName) {
    RegKey key = OpenKey(HKEY_CURRENT_USER, kShellFoldersKey, true);
    if (!key) return std::nullopt;
    if (!ValueExists(key.get(), valueName)) return std::nullopt;
    std::wstring path = TrimOneBackslash(GetString(key.get(), valueName).value_or(L""));
    if (path.empty()) return std::nullopt;
    return path;
}

std::optional<std::wstring> RecentFolderValue() {
    RegKey key = OpenKey(HKEY_CURRENT_USER, kShellFoldersKey, false, KEY_READ);
    if (!key || !ValueExists(key.get(), L"Recent")) return std::nullopt;
    return GetString(key.get(), L"Recent").value_or(L"");
}

std::wstring NetscapeFolderFromInstallDirectory(const std::wstring& installDirectory) {
    size_t slash = installDirectory.find_last_of(L'\\');
    if (slash == std::wstring::npos) return L"";
    return installDirectory.substr(0, slash + 1);
}

std::optional<std::wstring> ResolveNetscapeFolder() {
    RegKey nav = OpenKey(HKEY_LOCAL_MACHINE, L"Software\\Netscape\\Netscape Navigator", false, KEY_READ);
    if (!nav) return std::nullopt;
    std::wstring version = GetString(nav.get(), L"CurrentVersion").value_or(L"");
    RegKey main = OpenKey(HKEY_LOCAL_MACHINE, L"software\\netscape\\netscape navigator\\" + version + L"\\Main", false,
                          KEY_READ);
    if (!main) return std::nullopt;
    std::wstring folder = NetscapeFolderFromInstallDirectory(GetString(main.get(), L"Install Directory").value_or(L""));
    // Everything below this folder whose path holds "cache" is emptied: it must be a folder
    // that can be emptied safely (never a drive root or a system folder).
    if (folder.empty() || !IsSafeFolderToEmpty(folder)) return std::nullopt;
    return folder;
}

std::wstring AolCacheFromAppPath(const std::wstring& appPath) {
    if (!appPath.empty() && appPath.back() == L'\\') return appPath + L"Cache";
    return appPath + L"\\Cache";
}

std::optional<std::wstring> ResolveAolCacheFolder() {
    RegKey key = OpenKey(HKEY_LOCAL_MACHINE, L"SOFTWARE\\America Online\\AOL\\CurrentVersion", false, KEY_READ);
    if (!key || !ValueExists(key.get(), L"AppPath")) return std::nullopt;
    std::wstring app = GetString(key.get(), L"AppPath").value_or(L"");
    if (app.empty()) return std::nullopt;
    return AolCacheFromAppPath(app);
}

std::vector<std::wstring> NumberedHistoryFolders(const std::wstring& historyFolder) {
    std::vector<std::wstring> names;
    for (const wchar_t* sub : {L"\\", L"\\History.ie5\\"}) {
        for (int n = 1; n <= 9; ++n) names.push_back(historyFolder + sub + L"MSHIST~" + std::to_wstring(n));
        for (int n = 10; n <= 30; ++n) names.push_back(historyFolder + sub + L"MSHIS~" + std::to_wstring(n));
    }
    return names;
}

// --- free space --------------------------------------------------------------------------------
int64_t FreeSpaceSnapshot::Total() const {
    int64_t sum = 0;
    for (const auto& d : drives)
        if (d) sum += *d;
    return sum;
}

DriveQuery SystemDriveQuery() {
    DriveQuery q;
    q.driveType = [](const std::wstring& root) { return ::GetDriveTypeW(root.c_str()); };
    q.freeSpace = [](const std::wstring& root, int64_t& freeBytes) {
        // 64-bit figures: the cluster product of GetDiskFreeSpace overflows on today's disks.
        ULARGE_INTEGER avail{}, total{}, free{};
        if (!::GetDiskFreeSpaceExW(root.c_str(), &avail, &total, &free)) return false;
        freeBytes = static_cast<int64_t>(free.QuadPart);
        return true;
    };
    return q;
}

FreeSpaceSnapshot FixedDrivesFreeSpace(const DriveQuery& query) {
    FreeSpaceSnapshot s;
    s.taken = true;
    for (int i = 0; i < 23; ++i) {
        std::wstring root = std::wstring(1, static_cast<wchar_t>(L'C' + i)) + L":\\";
        if (query.driveType(root) != DRIVE_FIXED) continue;
        int64_t bytes = 0;
        if (query.freeSpace(root, bytes)) s.drives[i] = bytes;
    }
    return s;
}

FreeSpaceSnapshot FixedDrivesFreeSpace() { return FixedDrivesFreeSpace(SystemDriveQuery()); }

int64_t RecoveredSpace(const FreeSpaceSnapshot& start, const FreeSpaceSnapshot& now) {
    if (!start.taken || !now.taken) return 0;
    int64_t sum = 0;
    for (size_t i = 0; i < start.drives.size(); ++i)
        if (start.drives[i] && now.drives[i]) sum += *now.drives[i] - *start.drives[i];
    return sum;
}

std::wstring SpaceRecoveredText(int64_t bytes) {
    if (bytes <= 0) return L"Space recovered: 0.00 bytes (0.00 megabytes.)";
    return L"Space recovered: " + FormatBytes(bytes) + L" bytes (" + FormatMegabytes(bytes) + L" megabytes.)";
}

// --- deferred completion -----------------------------------------------------------------------
std::wstring CompleteCacheCommand(const std::wstring& programFolder) {
    return L"\"" + IncludeTrailingBackslash(programFolder) + L"Kestrune.exe\" /CompleteCache";
}

bool WriteBatch(const std::wstring& name, const std::wstring& folder) {
    // The next start empties the recorded folder wholesale.
    if (!IsSafeFolderToEmpty(folder)) return false;
    RegKey privacy = OpenKeyOrThrow(HKEY_CURRENT_USER, kEraserPrivacyKey, true);
    SetString(privacy.get(), name, ExcludeTrailingBackslash(folder));
    // The machine's list for administrators; when that is refused (an administrator without
    // elevation) the user's list serves as well, so the record is never left without its entry.
    RegKey runOnce;
    if (IsAdministrator()) runOnce = OpenKey(HKEY_LOCAL_MACHINE, kRunOnceKey, true);
    if (!runOnce) runOnce = OpenKeyOrThrow(HKEY_CURRENT_USER, kRunOnceKey, true);
    SetString(runOnce.get(), kRunOnceValue, CompleteCacheCommand(ProgramFolder()));
    return true;
}

// --- the machine -------------------------------------------------------------------------------
namespace {

HRESULT PutVisibleFalse(IDispatch* app) {
    LPOLESTR name = const_cast<LPOLESTR>(L"Visible");
    DISPID id = 0;
    HRESULT hr = app->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) return hr;
    VARIANT arg;
    ::VariantInit(&arg);
    arg.vt = VT_BOOL;
    arg.boolVal = VARIANT_FALSE;
    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS params{&arg, &put, 1, 1};
    return app->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr);
}

HRESULT CallQuit(IDispatch* app) {
    LPOLESTR name = const_cast<LPOLESTR>(L"Quit");
    DISPID id = 0;
    HRESULT hr = app->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) return hr;
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    return app->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr);
}

}  // namespace

bool EraserSystem::RunBrowserOnce() {
    ComInit com;
    CLSID clsid;
    if (FAILED(::CLSIDFromProgID(L"InternetExplorer.Application", &clsid))) return false;
    ComPtr<IDispatch> app;
    if (FAILED(::CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER | CLSCTX_INPROC_SERVER, IID_IDispatch,
                                  app.put_void())))
        return false;
    bool ok = SUCCEEDED(PutVisibleFalse(app.get()));
    Pump();
    ok = SUCCEEDED(CallQuit(app.get())) && ok;
    return ok;
}

bool EraserSystem::GetClock(SYSTEMTIME& utc) {
    ::GetSystemTime(&utc);
    return true;
}

bool EraserSystem::SetClock(const SYSTEMTIME& utc) { return ::SetSystemTime(&utc) != 0; }

DWORD EraserSystem::Ticks() { return ::GetTickCount(); }

void EraserSystem::Pump() { ui::ProcessMessages(); }

void EraserSystem::PumpFor(DWORD ms) {
    const DWORD start = Ticks();
    while (Ticks() - start <= ms) {
        Pump();
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

FreeSpaceSnapshot EraserSystem::MeasureFreeSpace() { return FixedDrivesFreeSpace(); }

EraserSystem& DefaultEraserSystem() {
    static EraserSystem system;
    return system;
}

void PurgeCacheByBrowser(EraserSystem& sys) {
    try {
        RegKey cache = OpenKey(HKEY_CURRENT_USER, std::wstring(kInternetSettingsKey) + L"\\Cache", true);
        if (cache) SetDword(cache.get(), L"Persistent", 0);
        sys.Pump();
        sys.RunBrowserOnce();
    } catch (...) {
        // A browser that is missing or refuses automation leaves its cache to the file walk.
    }
}

namespace {

SYSTEMTIME AddMilliseconds(const SYSTEMTIME& st, DWORD ms) {
    FILETIME ft;
    if (!::SystemTimeToFileTime(&st, &ft)) return st;
    ULARGE_INTEGER v;
    v.LowPart = ft.dwLowDateTime;
    v.HighPart = ft.dwHighDateTime;
    v.QuadPart += static_cast<ULONGLONG>(ms) * 10000ULL;
    ft.dwLowDateTime = v.LowPart;
    ft.dwHighDateTime = v.HighPart;
    SYSTEMTIME out = st;
    ::FileTimeToSystemTime(&ft, &out);
    return out;
}

}  // namespace

void PurgeHistoryByBrowser(EraserSystem& sys) {
    SYSTEMTIME saved{};
    bool haveClock = false, moved = false;
    DWORD startTicks = 0;
    try {
        haveClock = sys.GetClock(saved);
        startTicks = sys.Ticks();
        if (haveClock) {
            SYSTEMTIME ahead = saved;
            ++ahead.wDay;   // not carried: on a month's last day the system refuses the time
            moved = sys.SetClock(ahead);
        }
        sys.Pump();
        RegKey cache = OpenKey(HKEY_CURRENT_USER, std::wstring(kInternetSettingsKey) + L"\\Cache", true);
        if (cache) SetDword(cache.get(), L"Persistent", 0);
        RegKey history = OpenKey(HKEY_CURRENT_USER, std::wstring(kInternetSettingsKey) + L"\\History", true);
        if (history) SetDword(history.get(), L"DaysToKeep", 0);
        sys.Pump();
        sys.RunBrowserOnce();
        sys.Pump();
        sys.PumpFor(2000);
    } catch (...) {
        // Errors of the purge are not the user's concern; the clock is restored below.
    }
    if (moved) {
        // Back to the reading, plus the time that passed meanwhile, so the clock loses nothing.
        SYSTEMTIME back = AddMilliseconds(saved, sys.Ticks() - startTicks);
        try {
            sys.SetClock(back);
        } catch (...) {
        }
    }
}
