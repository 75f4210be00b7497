// The junk cleaner's decisions, kept apart from its window: the stored file-type list, which
// found files are left out, and the set of listed paths.
#pragma once
#include <windows.h>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>
#include "core/winhandle.h"

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
    std::function<bool(const std::wstring& path, DWORD attributes)> isInUse;
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
    // The chosen rules have to open the file (last access, in use), not just read its attributes.
    bool OpensFiles() const { return (days && lastAccess) || (inUse && isInUse); }
};

// Tests found files against rules that open them, on a worker thread, so that the opening
// overlaps the walk. Files are handed over in batches (the worker wakes when a batch is full or
// on Flush) and the ones that pass come back in the order they were handed over. Start and
// Clear drop whatever has not been taken yet, also a file being tested at that moment.
class RuleWorker {
public:
    struct File {
        std::wstring path;
        DWORD attributes = 0;
        uint64_t size = 0;
        FILETIME lastWrite{};
    };
    using Rule = std::function<bool(const File&)>;   // true: the file is left out
    using Take = std::function<void(File&)>;

    explicit RuleWorker(size_t batch = 32);
    ~RuleWorker();
    RuleWorker(const RuleWorker&) = delete;
    RuleWorker& operator=(const RuleWorker&) = delete;

    void Start(Rule restricted);
    void Push(File file);
    void Flush();   // wakes the worker for what has been handed over
    // Hands the files that passed so far to take, in order.
    void TakeTested(const Take& take);
    // Waits until every file handed over has been tested, handing on the ones that passed;
    // calls pump about every 15 ms while it waits and gives up when pump answers false.
    // True when everything was tested.
    bool Finish(const Take& take, const std::function<bool()>& pump);
    void Clear();
    size_t Pending() const;   // handed over and not yet taken

private:
    static DWORD WINAPI ThreadMain(void* self);
    void Run();
    bool Idle() const { return in_.empty() && testing_ == 0; }
    void DropAll();   // with the lock held

    const size_t batch_;
    mutable SRWLOCK lock_ = SRWLOCK_INIT;
    CONDITION_VARIABLE wake_ = CONDITION_VARIABLE_INIT, done_ = CONDITION_VARIABLE_INIT;
    std::deque<File> in_;     // handed over, not yet tested
    std::vector<File> out_;   // passed, not yet taken
    size_t testing_ = 0;      // taken by the worker, not yet tested
    unsigned generation_ = 0;
    bool flushed_ = false, quit_ = false, sleeping_ = false;
    std::shared_ptr<const Rule> rule_;
    UniqueHandle thread_;
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
