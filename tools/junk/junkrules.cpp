#include "tools/junk/junkrules.h"
#include "core/logs.h"
#include <stdexcept>

const wchar_t* const kDefaultScanFor =
    L"*.~*,1,~*.*,1,*.??~,1,*.---,1,*.tmp,1,*._mp,1,*.old,1,*.bak,1,*.syd,1,*.chk,1,*.gid,1,mscreate.dir,1,"
    L"0???????.nch,1,";
const wchar_t* const kDefaultScanDesc =
    L"Temporary Files,1,Temporary Files,1,Temporary Files,1,Temporary Files,1,Temporary Files,1,Temporary Files,1,"
    L"Temporary backup files,1,Temporary backup files,1,Temporary backup files,1,Saved disk error data from "
    L"scandisk,1,Temporary help file search data,1,Temporary directory information,1,Temporary cached newsgroup "
    L"data,1,";

namespace {

// Splits "text,flag," pairs; stops at the first incomplete pair.
std::vector<std::pair<std::wstring, bool>> Pairs(const std::wstring& s) {
    std::vector<std::pair<std::wstring, bool>> out;
    size_t p = 0;
    while (p < s.size()) {
        size_t c1 = s.find(L',', p);
        if (c1 == std::wstring::npos) break;
        size_t c2 = s.find(L',', c1 + 1);
        if (c2 == std::wstring::npos) break;
        std::wstring text = s.substr(p, c1 - p);
        bool flag = c2 > c1 + 1 && s[c1 + 1] == L'1';
        out.emplace_back(text, flag);
        p = c2 + 1;
    }
    return out;
}

}  // namespace

std::vector<ScanTypeRow> ParseScanTypes(const std::wstring& scanFor, const std::wstring& scanDesc) {
    std::vector<ScanTypeRow> rows;
    for (auto& [mask, flag] : Pairs(scanFor)) rows.push_back({mask, L"", flag});
    auto descs = Pairs(scanDesc);
    for (size_t i = 0; i < rows.size() && i < descs.size(); ++i) rows[i].description = descs[i].first;
    return rows;
}

std::wstring FormatScanFor(const std::vector<ScanTypeRow>& rows) {
    std::wstring s;
    for (const auto& r : rows) s += r.mask + L"," + (r.checked ? L"1" : L"0") + L",";
    return s;
}

std::wstring FormatScanDesc(const std::vector<ScanTypeRow>& rows) {
    std::wstring s;
    for (const auto& r : rows) s += r.description + L"," + (r.checked ? L"1" : L"0") + L",";
    return s;
}

std::wstring JunkUpper(const std::wstring& s) {
    std::wstring u = s;
    if (!u.empty()) ::CharUpperBuffW(u.data(), static_cast<DWORD>(u.size()));
    return u;
}

void JunkFilter::SetExcluded(const std::vector<std::wstring>& folders) {
    excludedFolders.clear();
    for (const auto& f : folders)
        if (!f.empty()) excludedFolders.push_back(JunkUpper(f));
}

void JunkFilter::SetMoveFolder(const std::wstring& text) { moveFolder = JunkUpper(text); }

static std::wstring FolderOf(const std::wstring& upperPath) {
    size_t p = upperPath.find_last_of(L'\\');
    return p == std::wstring::npos ? std::wstring() : upperPath.substr(0, p + 1);
}

bool JunkFilter::InExcludedFolder(const std::wstring& path) const {
    if (excludedFolders.empty()) return false;
    std::wstring folder = FolderOf(JunkUpper(path));
    for (const auto& e : excludedFolders)
        if (folder.find(e) != std::wstring::npos) return true;
    return false;
}

bool JunkFilter::InMoveFolder(const std::wstring& path, bool withBackslash) const {
    if (moveFolder.empty()) return false;
    std::wstring folder = FolderOf(JunkUpper(path));
    if (folder.empty()) return false;
    std::wstring bare = folder.substr(0, folder.size() - 1);
    if (moveFolder.find(bare) != std::wstring::npos) return true;
    if (withBackslash && moveFolder.find(folder) != std::wstring::npos) return true;
    // Never list what lies in the move-to folder itself, however deep.
    std::wstring move = moveFolder;
    while (move.size() > 3 && move.back() == L'\\') move.pop_back();
    if (move.back() != L'\\') move += L'\\';
    return folder.compare(0, move.size(), move) == 0;
}

bool JunkFilter::Restricted(const std::wstring& path, DWORD attributes) const {
    if (skipAttr && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM))) return true;
    if (days && lastAccess) {
        double accessed = lastAccess(path);
        if (static_cast<double>(dayCount) > today - accessed) return true;
    }
    if (inUse && isInUse && isInUse(path, attributes)) return true;
    return false;
}

namespace {

class Locked {
public:
    explicit Locked(SRWLOCK& l) : l_(l) { ::AcquireSRWLockExclusive(&l_); }
    ~Locked() { ::ReleaseSRWLockExclusive(&l_); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;
private:
    SRWLOCK& l_;
};

}  // namespace

RuleWorker::RuleWorker(size_t batch) : batch_(batch ? batch : 1) {}

RuleWorker::~RuleWorker() {
    {
        Locked l(lock_);
        quit_ = true;
    }
    ::WakeAllConditionVariable(&wake_);
    if (thread_) ::WaitForSingleObject(thread_.get(), INFINITE);
}

DWORD WINAPI RuleWorker::ThreadMain(void* self) {
    static_cast<RuleWorker*>(self)->Run();
    return 0;
}

void RuleWorker::Start(Rule restricted) {
    {
        Locked l(lock_);
        DropAll();
        rule_ = std::make_shared<const Rule>(std::move(restricted));
    }
    if (!thread_) {
        thread_.reset(::CreateThread(nullptr, 0, &RuleWorker::ThreadMain, this, 0, nullptr));
        if (!thread_) throw std::runtime_error("The file test thread could not be started.");
    }
}

void RuleWorker::Push(File file) {
    bool wake;
    {
        Locked l(lock_);
        in_.push_back(std::move(file));
        if (in_.size() >= batch_) flushed_ = true;
        wake = flushed_ && sleeping_;
    }
    if (wake) ::WakeConditionVariable(&wake_);
}

void RuleWorker::Flush() {
    bool wake;
    {
        Locked l(lock_);
        if (in_.empty()) return;
        flushed_ = true;
        wake = sleeping_;
    }
    if (wake) ::WakeConditionVariable(&wake_);
}

void RuleWorker::TakeTested(const Take& take) {
    std::vector<File> ready;
    {
        Locked l(lock_);
        if (out_.empty()) return;
        ready.swap(out_);
    }
    for (auto& f : ready) take(f);
}

bool RuleWorker::Finish(const Take& take, const std::function<bool()>& pump) {
    Flush();
    for (;;) {
        bool idle;
        {
            Locked l(lock_);
            if (!Idle()) ::SleepConditionVariableSRW(&done_, &lock_, 15, 0);
            idle = Idle();
        }
        TakeTested(take);
        if (idle) return true;
        if (pump && !pump()) return false;
        Flush();   // what the pump handed over
    }
}

void RuleWorker::Clear() {
    Locked l(lock_);
    DropAll();
}

// A new generation: the worker drops the result of a file it is testing from the old one.
void RuleWorker::DropAll() {
    ++generation_;
    in_.clear();
    out_.clear();
    testing_ = 0;
    flushed_ = false;
}

size_t RuleWorker::Pending() const {
    Locked l(lock_);
    return in_.size() + testing_ + out_.size();
}

void RuleWorker::Run() {
    Locked l(lock_);
    for (;;) {
        while (!quit_ && !(flushed_ && !in_.empty())) {
            sleeping_ = true;
            ::SleepConditionVariableSRW(&wake_, &lock_, INFINITE, 0);
            sleeping_ = false;
        }
        if (quit_) return;
        std::deque<File> batch;
        batch.swap(in_);
        flushed_ = false;
        testing_ = batch.size();
        const unsigned generation = generation_;
        std::shared_ptr<const Rule> rule = rule_;
        ::ReleaseSRWLockExclusive(&lock_);
        for (auto& f : batch) {
            bool out = true;   // a test that fails leaves the file out
            try {
                out = !rule || !*rule || (*rule)(f);
            } catch (...) {
            }
            ::AcquireSRWLockExclusive(&lock_);
            if (generation == generation_) {
                if (!out) out_.push_back(std::move(f));
                --testing_;
            }
            const bool stop = quit_ || generation != generation_;
            ::ReleaseSRWLockExclusive(&lock_);
            if (stop) break;
        }
        ::AcquireSRWLockExclusive(&lock_);
        if (Idle()) ::WakeAllConditionVariable(&done_);
    }
}

std::wstring RecoveredStatusText(int64_t bytes, int32_t files) {
    return L"Total space recovered: " + FormatBytes(bytes) + L" bytes (" + FormatMegabytes(bytes) + L" megabytes) in " +
           std::to_wstring(files) + L" files.";
}

std::wstring FoundLogLine(int32_t bytes, int rows) {
    return L"  " + FormatBytes(bytes) + L" bytes (" + FormatMegabytes(bytes) + L" megabytes) found in " +
           std::to_wstring(rows) + L" files.";
}

std::wstring ScanCompleteText(int32_t bytes, int rows) {
    return L"Scan Complete: " + FormatBytes(bytes) + L" bytes (" + FormatMegabytes(bytes) + L" megabytes) found in " +
           std::to_wstring(rows) + L" files.";
}
