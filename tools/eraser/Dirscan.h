// The eraser's small folder walk and the file-level trace removal built on it: deleting trace
// files, stripping typed-address lines from Netscape's prefs.js, and the folders a browser
// index names.
#pragma once
#include <windows.h>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Called with the folder (ending in a backslash) and the entry found; answers whether the walk
// goes on.
using ScanCallback = std::function<bool(const std::wstring& folder, const WIN32_FIND_DATAW& entry)>;

// Files first (every entry matching the mask, any attributes, no folders), then every subfolder
// that is neither hidden nor system nor a reparse point (links are never followed). Masks are
// matched against the long name only ("*.*" and "*" match everything).
// Answers false when a callback stopped the walk.
bool ScanDirectory(const std::wstring& folder, const std::wstring& mask, const ScanCallback& callback);

// Case-insensitive wildcard match of a long file name against a mask (* and ?).
bool MatchesMask(const std::wstring& name, const std::wstring& mask);

// Deletes trace files and keeps the list of those that could not be deleted.
class TraceFileEraser {
public:
    // Every file but "index.dat" (any case) is deleted with a plain file deletion; a failure
    // (in use, read-only, protected) puts the path into FailedFiles. Always goes on.
    bool DeleteTraceFile(const std::wstring& folder, const WIN32_FIND_DATAW& entry);
    // Removes the "browser.url_history" preference lines of a prefs.js file. A file that
    // cannot be rewritten goes to FailedFiles. Always goes on.
    bool StripUrlHistory(const std::wstring& folder, const WIN32_FIND_DATAW& entry);

    ScanCallback DeleteCallback() {
        return [this](const std::wstring& f, const WIN32_FIND_DATAW& e) { return DeleteTraceFile(f, e); };
    }
    ScanCallback StripCallback() {
        return [this](const std::wstring& f, const WIN32_FIND_DATAW& e) { return StripUrlHistory(f, e); };
    }

    std::vector<std::wstring> FailedFiles;
    int DeletedCount = 0;
};

// The text of prefs.js without the lines that contain user_pref("browser.url_history; line
// ends are kept as they were. Answers whether anything was removed.
bool StripUrlHistoryText(const std::string& text, std::string& result);

// Every file at or below the folder (hidden and system ones too; links not followed), at most
// `limit` of them: what an emptied folder still holds.
std::vector<std::wstring> ListFilesBelow(const std::wstring& folder, size_t limit = 1000);

// --- browser indexes ---------------------------------------------------------------------------
inline constexpr size_t kIndexWindowBytes = 500;

// The first 500 bytes of folder\index.dat with every zero byte left out, as text (each byte
// one character of the ANSI code page). Throws KesError when the file cannot be opened or is
// shorter than 500 bytes.
std::wstring ReadIndexText(const std::wstring& folder);

// Every run of up to 8 characters starting at each position of the text, in order (fewer
// near the end), that can be a plain folder name: no path separators, drive colons,
// wildcards, control characters and no "." or ".." (so a name never leaves the folder).
std::vector<std::wstring> IndexFolderCandidates(const std::wstring& text);

// For each candidate that names an existing folder directly below `folder`, walks it with
// "*.*" and DeleteTraceFile. Throws like ReadIndexText. Answers the number of folders walked.
int EraseIndexedFolders(const std::wstring& folder, TraceFileEraser& eraser);
