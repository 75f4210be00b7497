// Shared helpers of every tool: checked lists, one-time tips, special folders and the small
// file-system tests. (The typed registry helpers are in core/registry.h.)
#pragma once
#include <windows.h>
#include <string>

namespace ui { class ListView; }

// --- checked lists with descriptions ----------------------------------------------------------
// Column 0 holds the item text, column 1 the description. Stored under key K (a full path under
// HKEY_CURRENT_USER): K: text -> DWORD 1/0; K\Desc: text -> description (" " when none).
// Answers false when K does not exist: the list keeps its built-in rows, all checked.
bool LoadCheckedList(ui::ListView& list, const std::wstring& key, int imageIndex);
void SaveCheckedList(ui::ListView& list, const std::wstring& key);
// The folder chooser, then AddFolderItem with the chosen folder (checked).
void AddOrEditFolder(ui::ListView& list, bool edit, int imageIndex);
void AddFolderItem(ui::ListView& list, const std::wstring& folder, bool checked, bool edit, int imageIndex);
void CheckAllItems(ui::ListView& list, bool state);
void DeleteSelectedItem(ui::ListView& list);
// Checks every fixed-disk row of a drive list when key has no subkey `subkey` yet. The drive
// letter is read from the row caption, which ends with "(X:)".
void CheckFixedDrivesOnFirstUse(const std::wstring& key, const std::wstring& subkey, ui::ListView& drives);

// Image indexes of the shared 16-pixel list for the checked lists.
enum ListImage { kImgExcludedFolder = 3, kImgFolder = 9, kImgFileMask = 10, kImgFileType = 11, kImgExcludedFile = 12 };

// --- one-time tips ----------------------------------------------------------------------------
// Shows the tip window unless the subject or "All" is switched off under the "Hints" key.
void ShowHintOnce(const std::wstring& subject, const std::wstring& text);
inline constexpr const wchar_t* kHintsKey = L"\\Software\\Ostrel\\Kestrune\\Hints";

// --- special folders and environment ----------------------------------------------------------
std::wstring GetTempFolder();       // with trailing backslash
std::wstring GetWindowsFolder();    // without trailing backslash
std::wstring GetSystemFolder();     // without trailing backslash
std::wstring GetStartupFolder();    // "StartUp" of the user's Shell Folders, or empty
std::wstring ExpandEnvironment(const std::wstring& text);
bool IsAdministrator();
void ShowRegistryAccessError();

// --- files ------------------------------------------------------------------------------------
bool IsFileInUse(const std::wstring& path);
bool IsValidFileName(const std::wstring& text, const std::wstring& label);
double GetLastAccessDate(const std::wstring& path);   // date-time value, 0 when unknown
bool IsFolderEmpty(const std::wstring& folder);        // folder ends with a backslash
// Deletes everything inside the folder (not the folder itself) through the shell, silently.
// Refuses (answers false, touches nothing) a folder that IsSafeFolderToEmpty rejects.
bool DeleteFolderContents(const std::wstring& folder, bool recycle);
// A folder whose contents may be emptied wholesale: an absolute local path (X:\...) with no
// wildcard, no ".." and no control characters, that is not a drive root, the Windows or system
// folder (or above them), the Program Files folders, the user-profile root or any profile root.
bool IsSafeFolderToEmpty(const std::wstring& folder);
// A path may be acted on: absolute, no wildcard characters, no "." or ".." component.
bool IsPlainAbsolutePath(const std::wstring& path);
// Case-insensitive (ordinal, upper-cased) test that `path` lies strictly inside `folder`.
bool IsPathInside(const std::wstring& path, const std::wstring& folder);

// --- date-time values: days since 30 December 1899, time of day as fraction -----------------
double SystemTimeToDateTime(const SYSTEMTIME& st);
SYSTEMTIME DateTimeToSystemTime(double value);
double NowDateTime();   // local time

// --- text -------------------------------------------------------------------------------------
std::wstring UpperCase(const std::wstring& s);        // locale-aware, like CharUpper
std::wstring LowerCase(const std::wstring& s);
// Case-insensitive comparison in the user's collation order (<0, 0, >0).
int CompareTextLocale(const std::wstring& a, const std::wstring& b);
bool SameText(const std::wstring& a, const std::wstring& b);   // ordinal, case ignored
std::wstring Trim(const std::wstring& s);
