#include "scan/TreeScan.h"
#include <algorithm>
#include "core/winhandle.h"

namespace {

std::wstring Upper(std::wstring s) {
    if (!s.empty()) ::CharUpperBuffW(s.data(), static_cast<DWORD>(s.size()));
    return s;
}

// Both texts already upper-cased. Iterative match with one backtracking point for the last '*'.
bool MatchUpper(const wchar_t* name, size_t n, const wchar_t* mask, size_t m) {
    size_t i = 0, j = 0, starJ = SIZE_MAX, starI = 0;
    while (i < n) {
        if (j < m && (mask[j] == L'?' || mask[j] == name[i])) {
            ++i;
            ++j;
        } else if (j < m && mask[j] == L'*') {
            starJ = j++;
            starI = i;
        } else if (starJ != SIZE_MAX) {
            j = starJ + 1;
            i = ++starI;
        } else {
            return false;
        }
    }
    while (j < m && mask[j] == L'*') ++j;
    return j == m;
}

bool IsMatchAll(const std::wstring& mask) { return mask == L"*" || mask == L"*.*"; }

}  // namespace

bool MatchFileMask(const std::wstring& name, const std::wstring& mask) {
    if (IsMatchAll(mask)) return !name.empty();
    std::wstring n = Upper(name), m = Upper(mask);
    return MatchUpper(n.data(), n.size(), m.data(), m.size());
}

int CompareScanText(const std::wstring& a, const std::wstring& b) {
    int r = ::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()), b.data(),
                             static_cast<int>(b.size()));
    return r == 0 ? 0 : r - CSTR_EQUAL;
}

bool SortedTextList::Add(const std::wstring& s) {
    auto it = std::lower_bound(items_.begin(), items_.end(), s,
                               [](const std::wstring& x, const std::wstring& y) { return CompareScanText(x, y) < 0; });
    if (it != items_.end() && CompareScanText(*it, s) == 0) return false;
    items_.insert(it, s);
    return true;
}

std::vector<std::wstring> ParseCommaText(const std::wstring& text) {
    std::vector<std::wstring> out;
    const size_t n = text.size();
    size_t p = 0;
    auto blank = [&](size_t i) { return i < n && text[i] >= 1 && text[i] <= 32; };
    while (blank(p)) ++p;
    while (p < n && text[p] != L'\0') {
        std::wstring item;
        if (text[p] == L'"') {
            ++p;
            while (p < n) {
                if (text[p] == L'"') {
                    if (p + 1 < n && text[p + 1] == L'"') {
                        item += L'"';
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                item += text[p++];
            }
        } else {
            size_t start = p;
            while (p < n && text[p] > 32 && text[p] != L',') ++p;
            item.assign(text, start, p - start);
        }
        out.push_back(item);
        while (blank(p)) ++p;
        if (p < n && text[p] == L',') {
            ++p;
            while (blank(p)) ++p;
        }
    }
    return out;
}

std::wstring JoinCommaText(const std::vector<std::wstring>& items) {
    std::wstring out;
    for (size_t i = 0; i < items.size(); ++i) {
        if (i) out += L',';
        const std::wstring& s = items[i];
        if (s.find_first_of(L" \",") == std::wstring::npos) {
            out += s;
            continue;
        }
        out += L'"';
        for (wchar_t c : s) {
            if (c == L'"') out += L'"';
            out += c;
        }
        out += L'"';
    }
    return out;
}

// --- the scanner --------------------------------------------------------------------------------

std::wstring TTreeScanner::FileMask() const { return masks_.Empty() ? std::wstring() : masks_[0]; }

void TTreeScanner::SetFileMask(const std::wstring& mask) {
    if (searchInProgress_) return;
    masks_.Clear();
    masks_.Add(mask);
}

std::wstring TTreeScanner::FileMaskCommaText() const { return JoinCommaText(masks_.Items()); }

void TTreeScanner::SetFileMaskCommaText(const std::wstring& text) {
    if (searchInProgress_) return;
    masks_.Clear();
    for (const auto& m : ParseCommaText(text)) masks_.Add(m);
}

bool TTreeScanner::Matches(const std::wstring& upperName) const {
    if (matchAll_) return true;
    for (const auto& m : upperMasks_)
        if (MatchUpper(upperName.data(), upperName.size(), m.data(), m.size())) return true;
    return false;
}

void TTreeScanner::Pump() {
    if (PumpIntervalMs) {
        DWORD now = ::GetTickCount();
        if (pumped_ && now - lastPump_ < PumpIntervalMs) return;
        pumped_ = true;
        lastPump_ = now;
    }
    if (OnPumpMessages) {
        OnPumpMessages();
        return;
    }
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

void TTreeScanner::Scan() {
    struct InProgress {
        bool& flag;
        explicit InProgress(bool& f) : flag(f) { flag = true; }
        ~InProgress() { flag = false; }
    } guard(searchInProgress_);
    fileFound_.clear();
    fileSize_ = 0;
    fileSize64_ = 0;
    fileAttributes_ = 0;
    if (InitialDirectory.empty()) {
        DWORD n = ::GetCurrentDirectoryW(0, nullptr);
        std::wstring cur(n, L'\0');
        n = ::GetCurrentDirectoryW(n, cur.data());
        cur.resize(n);
        InitialDirectory = cur;
    }
    if (InitialDirectory.empty() || InitialDirectory.back() != L'\\') InitialDirectory += L'\\';

    matchAll_ = false;
    upperMasks_.clear();
    for (const auto& m : masks_.Items()) {
        if (IsMatchAll(m)) matchAll_ = true;
        upperMasks_.push_back(Upper(m));
    }

    KeepScanning = true;
    pumped_ = false;
    Walk(InitialDirectory);
    searchInProgress_ = false;
    Fire(OnSearchDone);
}

void TTreeScanner::Walk(const std::wstring& folder) {
    Pump();
    if (!KeepScanning) return;
    fileSize_ = 0;
    fileSize64_ = 0;
    fileAttributes_ = FILE_ATTRIBUTE_DIRECTORY;
    fileFound_ = folder;
    Fire(OnDirectoryFound);

    // One listing of the folder gives both its subfolders and its files.
    std::vector<std::wstring> subNames;   // name + backslash
    std::vector<FoundFile> files;
    const bool wantFiles = !upperMasks_.empty();
    {
        WIN32_FIND_DATAW fd;
        FindHandle h(::FindFirstFileExW((folder + L"*").c_str(), FindExInfoBasic, &fd, FindExSearchNameMatch,
                                        nullptr, FIND_FIRST_EX_LARGE_FETCH));
        if (h.valid()) {
            std::wstring upper;
            do {
                const DWORD a = fd.dwFileAttributes;
                if (a & FILE_ATTRIBUTE_DIRECTORY) {
                    if (fd.cFileName[0] == L'.' &&
                        (fd.cFileName[1] == 0 || (fd.cFileName[1] == L'.' && fd.cFileName[2] == 0)))
                        continue;
                    if (a & FILE_ATTRIBUTE_SYSTEM) continue;
                    if ((a & FILE_ATTRIBUTE_HIDDEN) && !FindHiddenFolders) continue;
                    // Junctions, symbolic links and mount points lead out of the chosen tree.
                    if (a & FILE_ATTRIBUTE_REPARSE_POINT) continue;
                    subNames.push_back(std::wstring(fd.cFileName) + L'\\');
                    continue;
                }
                if (!wantFiles) continue;
                if (a & 0x8) continue;   // volume label
                if ((a & FILE_ATTRIBUTE_HIDDEN) && !FindHiddenFiles) continue;
                upper.assign(fd.cFileName);
                ::CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
                if (!Matches(upper)) continue;
                files.push_back({fd.cFileName, (static_cast<uint64_t>(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow, a,
                                 fd.ftLastWriteTime});
            } while (::FindNextFileW(h.get(), &fd));
        }
    }

    auto less = [](const std::wstring& a, const std::wstring& b) { return CompareScanText(a, b) < 0; };
    auto same = [](const std::wstring& a, const std::wstring& b) { return CompareScanText(a, b) == 0; };
    if (files.size() > 1) {
        std::stable_sort(files.begin(), files.end(),
                         [&](const FoundFile& a, const FoundFile& b) { return less(a.path, b.path); });
        files.erase(std::unique(files.begin(), files.end(),
                                [&](const FoundFile& a, const FoundFile& b) { return same(a.path, b.path); }),
                    files.end());
    }
    if (subNames.size() > 1) {
        std::stable_sort(subNames.begin(), subNames.end(), less);
        subNames.erase(std::unique(subNames.begin(), subNames.end(), same), subNames.end());
    }

    for (const auto& f : files) {
        fileFound_ = folder + f.path;
        fileSize64_ = f.size;
        fileSize_ = static_cast<int32_t>(static_cast<uint32_t>(f.size & 0xFFFFFFFFu));
        fileAttributes_ = f.attributes;
        fileLastWrite_ = f.lastWrite;
        Fire(OnFileFound);
    }
    fileSize_ = 0;
    fileSize64_ = 0;

    for (const auto& s : subNames) {
        if (Recursive) {
            Walk(folder + s);
        } else {
            fileFound_ = folder + s;
            fileAttributes_ = FILE_ATTRIBUTE_DIRECTORY;
            Fire(OnDirectoryFound);
        }
    }
    Fire(OnDirectoryDone);
}
