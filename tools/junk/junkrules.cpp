#include "tools/junk/junkrules.h"
#include "core/logs.h"

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
    if (inUse && isInUse && isInUse(path)) return true;
    return false;
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
