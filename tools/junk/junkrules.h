// The junk cleaner's decisions, kept apart from its window: the stored file-type list, which
// found files are left out, and the set of listed paths.
#pragma once
#include <windows.h>
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_set>
#include <vector>

inline constexpr const wchar_t* kJunkKey = L"\\Software\\Ostrel\\Kestrune\\Junk";
inline constexpr const wchar_t* kJunkFoldersKey = L"\\software\\Ostrel\\Kestrune\\junk\\folders";
inline constexpr const wchar_t* kJunkExcludedKey = L"\\software\\Ostrel\\Kestrune\\junk\\excluded_folders";
inline constexpr const wchar_t* kJunkPosKey = L"software\\Ostrel\\Kestrune\\junk\\pos";

extern const wchar_t* const kDefaultScanFor;
extern const wchar_t* const kDefaultScanDesc;

struct ScanTypeRow {
    std::wstring mask;
    std::wstring description;
    bool checked = false;
    bool operator==(const ScanTypeRow& o) const {
        return mask == o.mask && description == o.description && checked == o.checked;
    }
};

// "ScanFor" holds mask,flag, pairs; "ScanDesc" description,flag, pairs (its flags are ignored).
// Parsing stops at the first entry that lacks its flag or its trailing comma; descriptions beyond
// the number of masks are ignored, missing ones are empty.
std::vector<ScanTypeRow> ParseScanTypes(const std::wstring& scanFor, const std::wstring& scanDesc);
std::wstring FormatScanFor(const std::vector<ScanTypeRow>& rows);
std::wstring FormatScanDesc(const std::vector<ScanTypeRow>& rows);

// Upper-cased the way the rules compare paths.
std::wstring JunkUpper(const std::wstring& s);

// The rules that leave a found file out of the list.
struct JunkFilter {
    std::vector<std::wstring> excludedFolders;   // checked rows, upper-cased
    std::wstring moveFolder;                     // the move-to text, upper-cased
    bool skipAttr = true, days = false, inUse = true;
    int dayCount = 30;
    double today = 0;                            // the current date at midnight
    std::function<bool(const std::wstring&)> isInUse;
    std::function<double(const std::wstring&)> lastAccess;

    void SetExcluded(const std::vector<std::wstring>& folders);
    void SetMoveFolder(const std::wstring& text);
    // The file's folder (up to its last backslash) lies in an excluded folder.
    bool InExcludedFolder(const std::wstring& path) const;
    // The move-to rule: the file's folder, without its backslash, occurs within the move-to
    // text (withBackslash also tries it with the backslash), or the file lies inside the
    // move-to folder or one of its subfolders.
    bool InMoveFolder(const std::wstring& path, bool withBackslash) const;
    // Read-only/system, recently used, in use (each when chosen).
    bool Restricted(const std::wstring& path, DWORD attributes) const;
};

// The paths already listed, case ignored.
class ListedPaths {
public:
    bool Contains(const std::wstring& path) const { return set_.count(JunkUpper(path)) != 0; }
    void Add(const std::wstring& path) { set_.insert(JunkUpper(path)); }
    void Remove(const std::wstring& path) { set_.erase(JunkUpper(path)); }
    void Clear() { set_.clear(); }
    size_t Size() const { return set_.size(); }
private:
    std::unordered_set<std::wstring> set_;
};

// "Total space recovered: 6,000 bytes (0.01 megabytes) in 3 files."
std::wstring RecoveredStatusText(int64_t bytes, int32_t files);
// "  6,000 bytes (0.01 megabytes) found in 3 files." and the status panel's "Scan Complete: ..."
std::wstring FoundLogLine(int32_t bytes, int rows);
std::wstring ScanCompleteText(int32_t bytes, int rows);
