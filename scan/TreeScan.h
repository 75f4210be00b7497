// The folder walker of the tools: depth first, every folder listed once, files of a folder
// reported in sorted order before its subfolders are entered. A client listens to four
// events and stops a walk by clearing KeepScanning.
#pragma once
#include <windows.h>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Case-insensitive wildcard match of a long file name against one mask: '*' matches any run
// of characters (also none), '?' exactly one; "*.*" and "*" match every name. Short 8.3
// aliases are never consulted, so "*.tmp" does not match "file.tmpx".
bool MatchFileMask(const std::wstring& name, const std::wstring& mask);

// Comma text as the scanner reads and writes it (see TTreeScanner::SetFileMaskCommaText).
std::vector<std::wstring> ParseCommaText(const std::wstring& text);
std::wstring JoinCommaText(const std::vector<std::wstring>& items);

// Case-insensitive comparison in the user's collation order (<0, 0, >0).
int CompareScanText(const std::wstring& a, const std::wstring& b);

// A list kept sorted by CompareScanText that ignores a string equal to one already present.
class SortedTextList {
public:
    bool Add(const std::wstring& s);   // false when an equal string is present
    void Clear() { items_.clear(); }
    bool Empty() const { return items_.empty(); }
    size_t Size() const { return items_.size(); }
    const std::wstring& operator[](size_t i) const { return items_[i]; }
    const std::vector<std::wstring>& Items() const { return items_; }
private:
    std::vector<std::wstring> items_;
};

class TTreeScanner {
public:
    using Event = std::function<void(TTreeScanner& sender)>;

    TTreeScanner() = default;
    TTreeScanner(const TTreeScanner&) = delete;
    TTreeScanner& operator=(const TTreeScanner&) = delete;

    Event OnFileFound;        // FileFound() / FileSize() name the file
    Event OnDirectoryFound;   // a folder is about to be searched (not recursive: a subfolder was seen)
    Event OnDirectoryDone;    // a folder and everything below it is done
    Event OnSearchDone;       // the walk of Scan() has ended (also after a stop)

    // Pumps the message queue once per folder; empty means a plain PeekMessage loop.
    std::function<void()> OnPumpMessages;
    // When not 0, a folder pumps only if this many milliseconds have passed since the last pump
    // (the first folder of a walk always pumps).
    DWORD PumpIntervalMs = 0;

    // The path being reported; folders end with a backslash.
    const std::wstring& FileFound() const { return fileFound_; }
    // The low 32 bits of the size of the file being reported (so 3 GB reads negative); 0 for folders.
    int32_t FileSize() const { return fileSize_; }
    // The whole size and the attributes of the file being reported.
    uint64_t FileSize64() const { return fileSize64_; }
    DWORD FileAttributes() const { return fileAttributes_; }
    FILETIME FileLastWrite() const { return fileLastWrite_; }
    bool SearchInProgress() const { return searchInProgress_; }

    // Root of the walk; empty means the current folder. Scan() stores it with a backslash.
    std::wstring InitialDirectory;
    bool Recursive = true;
    bool FindHiddenFiles = false;
    bool FindHiddenFolders = false;
    // The stop flag: Scan() sets it, the walk checks it at every folder.
    bool KeepScanning = false;

    // The mask list, sorted, equal masks (case ignored) kept once. Setters are ignored while a
    // walk is running.
    std::wstring FileMask() const;                 // the first mask, or empty
    void SetFileMask(const std::wstring& mask);    // the list becomes this one mask
    std::wstring FileMaskCommaText() const;
    void SetFileMaskCommaText(const std::wstring& text);
    const std::vector<std::wstring>& Masks() const { return masks_.Items(); }

    // Walks InitialDirectory and returns when the walk has ended. An exception from an event
    // handler ends the walk at once (no further events) and reaches the caller.
    void Scan();

private:
    struct FoundFile {
        std::wstring path;
        uint64_t size;
        DWORD attributes;
        FILETIME lastWrite;
    };
    void Walk(const std::wstring& folder);
    void Pump();
    bool Matches(const std::wstring& upperName) const;
    void Fire(const Event& e) { if (e) e(*this); }

    SortedTextList masks_;
    std::vector<std::wstring> upperMasks_;   // the masks upper-cased, for matching
    bool matchAll_ = false;
    std::wstring fileFound_;
    int32_t fileSize_ = 0;
    uint64_t fileSize64_ = 0;
    DWORD fileAttributes_ = 0;
    FILETIME fileLastWrite_{};
    bool searchInProgress_ = false;
    DWORD lastPump_ = 0;
    bool pumped_ = false;
};
