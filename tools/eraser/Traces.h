// Where the Internet and usage traces live, the free-space measure by which an erase reports
// what it recovered, the deferred-completion record, and the browser purges behind a seam.
#pragma once
#include <windows.h>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// --- registry locations ------------------------------------------------------------------------
inline constexpr const wchar_t* kExplorerKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";
inline constexpr const wchar_t* kShellFoldersKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
inline constexpr const wchar_t* kInternetSettingsKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
inline constexpr const wchar_t* kEraserPrivacyKey = L"software\\Ostrel\\Kestrune\\privacy";
inline constexpr const wchar_t* kEraserSettingsKey = L"software\\Ostrel\\Kestrune\\privacy\\net";
inline constexpr const wchar_t* kRunOnceKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
inline constexpr const wchar_t* kRunOnceValue = L"Kestrune Cache Cleanup";

// A Shell Folders value with one trailing backslash dropped ("C:\x\\" keeps one).
std::wstring TrimOneBackslash(const std::wstring& value);
// "Cookies", "History" or "Cache" of the user's Shell Folders (key created when missing),
// trimmed; nothing when the value is missing or empty.
std::optional<std::wstring> ShellFolder(const std::wstring& valueName);
// The "Recent" value as stored (key not created, nothing trimmed); nothing when missing.
std::optional<std::wstring> RecentFolderValue();

// The folder part of Netscape's "Install Directory": up to and including the last backslash.
std::wstring NetscapeFolderFromInstallDirectory(const std::wstring& installDirectory);
// Netscape's folder from HKLM, or nothing when Netscape (or its version's "Main" key) is not
// there. A folder that may not be walked and emptied (a drive root, the Windows folder, a
// relative path, ...) counts as not installed.
std::optional<std::wstring> ResolveNetscapeFolder();

// "AppPath" + "Cache" (or + "\Cache").
std::wstring AolCacheFromAppPath(const std::wstring& appPath);
std::optional<std::wstring> ResolveAolCacheFolder();

// The 60 numbered history folders below the history folder, in the order they are emptied.
std::vector<std::wstring> NumberedHistoryFolders(const std::wstring& historyFolder);

// --- free space --------------------------------------------------------------------------------
// Free bytes of each fixed drive C: to Y: (Z: is not counted); a drive that is not fixed has no
// entry, a fixed drive whose query failed has none either.
struct FreeSpaceSnapshot {
    std::array<std::optional<int64_t>, 23> drives{};
    bool taken = false;
    int64_t Total() const;
};
struct DriveQuery {
    std::function<UINT(const std::wstring& root)> driveType;
    std::function<bool(const std::wstring& root, int64_t& freeBytes)> freeSpace;
};
DriveQuery SystemDriveQuery();
FreeSpaceSnapshot FixedDrivesFreeSpace(const DriveQuery& query);
FreeSpaceSnapshot FixedDrivesFreeSpace();
// The growth of free space from `start` to `now`, counted only over drives measured both times
// (a drive that appeared, vanished or failed to answer adds nothing). 0 before any start.
int64_t RecoveredSpace(const FreeSpaceSnapshot& start, const FreeSpaceSnapshot& now);

// "Space recovered: <bytes> bytes (<megabytes> megabytes.)", or the fixed zero text.
std::wstring SpaceRecoveredText(int64_t bytes);

// --- deferred completion -----------------------------------------------------------------------
// The RunOnce command: the quoted program path and " /CompleteCache".
std::wstring CompleteCacheCommand(const std::wstring& programFolder);
// Records `folder` under `name` ("Cookies", "Cache", "History") in the privacy key and writes
// the RunOnce entry (machine's key for administrators, else the user's). A folder that may not
// be emptied wholesale is not recorded; answers whether it was.
bool WriteBatch(const std::wstring& name, const std::wstring& folder);

// --- the seam to the machine -------------------------------------------------------------------
// What the eraser does to the machine beyond files and the user's registry: the browser's
// automation object, the system clock, waiting, the free-space measure and the HKEY_USERS root.
// Tests replace it to watch the order of steps without touching the clock.
class EraserSystem {
public:
    virtual ~EraserSystem() = default;
    // Creates "InternetExplorer.Application", sets Visible to false, pumps messages, calls
    // Quit. Answers false when any of it failed.
    virtual bool RunBrowserOnce();
    virtual bool GetClock(SYSTEMTIME& utc);
    virtual bool SetClock(const SYSTEMTIME& utc);
    virtual DWORD Ticks();
    // Pumps messages for about `ms` milliseconds.
    virtual void PumpFor(DWORD ms);
    virtual void Pump();
    virtual FreeSpaceSnapshot MeasureFreeSpace();
    virtual HKEY UsersRoot() { return HKEY_USERS; }
};
EraserSystem& DefaultEraserSystem();

// Writes "Persistent" = 0 and lets the browser purge its cache.
void PurgeCacheByBrowser(EraserSystem& sys);
// Moves the clock one day on (day of month + 1, not carried; a refused change leaves it),
// writes the retention values, lets the browser purge its history, waits two seconds, and
// sets the clock back to the reading plus the time that passed, but only when it was moved.
void PurgeHistoryByBrowser(EraserSystem& sys);
