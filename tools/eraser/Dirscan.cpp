#include "tools/eraser/Dirscan.h"

#include <cwctype>
#include "core/common.h"
#include "core/errors.h"
#include "core/paths.h"
#include "core/winhandle.h"

namespace {

bool IsDots(const wchar_t* name) {
    return (name[0] == L'.' && name[1] == 0) || (name[0] == L'.' && name[1] == L'.' && name[2] == 0);
}

wchar_t Fold(wchar_t c) {
    // Ordinal upper-casing of one character, as CharUpper does it.
    wchar_t buf[2] = {c, 0};
    ::CharUpperBuffW(buf, 1);
    return buf[0];
}

bool WildMatch(const wchar_t* s, const wchar_t* m) {
    // Iterative match with back-tracking to the last star.
    const wchar_t* star = nullptr;
    const wchar_t* resume = nullptr;
    while (*s) {
        if (*m == L'*') {
            star = m++;
            resume = s;
        } else if (*m == L'?' || (*m && Fold(*m) == Fold(*s))) {
            ++m;
            ++s;
        } else if (star) {
            m = star + 1;
            s = ++resume;
        } else {
            return false;
        }
    }
    while (*m == L'*') ++m;
    return *m == 0;
}

}  // namespace

bool MatchesMask(const std::wstring& name, const std::wstring& mask) {
    if (mask == L"*.*" || mask == L"*") return true;
    return WildMatch(name.c_str(), mask.c_str());
}

bool ScanDirectory(const std::wstring& folderIn, const std::wstring& mask, const ScanCallback& callback) {
    const std::wstring folder = IncludeTrailingBackslash(folderIn);
    WIN32_FIND_DATAW fd;
    {
        // Files: the mask goes to the system, which also matches short aliases; the long
        // name is checked again below.
        FindHandle find(::FindFirstFileExW((folder + mask).c_str(), FindExInfoBasic, &fd, FindExSearchNameMatch,
                                           nullptr, 0));
        if (find.valid()) {
            do {
                if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
                if (!MatchesMask(fd.cFileName, mask)) continue;
                if (!callback(folder, fd)) return false;
            } while (::FindNextFileW(find.get(), &fd));
        }
    }
    std::vector<std::wstring> subfolders;
    {
        FindHandle find(::FindFirstFileExW((folder + L"*.*").c_str(), FindExInfoBasic, &fd, FindExSearchNameMatch,
                                           nullptr, 0));
        if (find.valid()) {
            do {
                const DWORD a = fd.dwFileAttributes;
                if (!(a & FILE_ATTRIBUTE_DIRECTORY) || IsDots(fd.cFileName)) continue;
                if (a & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_REPARSE_POINT)) continue;
                subfolders.push_back(fd.cFileName);
            } while (::FindNextFileW(find.get(), &fd));
        }
    }
    for (const auto& name : subfolders)
        if (!ScanDirectory(folder + name + L"\\", mask, callback)) return false;
    return true;
}

static void ListInto(const std::wstring& folder, size_t limit, std::vector<std::wstring>& out) {
    WIN32_FIND_DATAW fd;
    std::vector<std::wstring> subs;
    {
        FindHandle find(::FindFirstFileExW((folder + L"*").c_str(), FindExInfoBasic, &fd, FindExSearchNameMatch,
                                           nullptr, 0));
        if (!find.valid()) return;
        do {
            const DWORD a = fd.dwFileAttributes;
            if (a & FILE_ATTRIBUTE_DIRECTORY) {
                if (!IsDots(fd.cFileName) && !(a & FILE_ATTRIBUTE_REPARSE_POINT)) subs.push_back(fd.cFileName);
            } else if (out.size() < limit) {
                out.push_back(folder + fd.cFileName);
            }
        } while (::FindNextFileW(find.get(), &fd));
    }
    for (const auto& s : subs) {
        if (out.size() >= limit) return;
        ListInto(folder + s + L"\\", limit, out);
    }
}

std::vector<std::wstring> ListFilesBelow(const std::wstring& folder, size_t limit) {
    std::vector<std::wstring> out;
    ListInto(IncludeTrailingBackslash(folder), limit, out);
    return out;
}

bool TraceFileEraser::DeleteTraceFile(const std::wstring& folder, const WIN32_FIND_DATAW& entry) {
    if (UpperCase(entry.cFileName) == L"INDEX.DAT") return true;
    const std::wstring path = folder + entry.cFileName;
    if (::DeleteFileW(path.c_str()))
        ++DeletedCount;
    else
        FailedFiles.push_back(path);
    return true;
}

bool StripUrlHistoryText(const std::string& text, std::string& result) {
    static const std::string needle = "user_pref(\"browser.url_history";
    result.clear();
    result.reserve(text.size());
    bool removed = false;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        end = (end == std::string::npos) ? text.size() : end + 1;
        // A line without its terminator (LF, CR LF, or a lone CR before an LF).
        std::string line = text.substr(pos, end - pos);
        if (line.find(needle) != std::string::npos)
            removed = true;
        else
            result += line;
        pos = end;
    }
    return removed;
}

bool TraceFileEraser::StripUrlHistory(const std::wstring& folder, const WIN32_FIND_DATAW& entry) {
    const std::wstring path = folder + entry.cFileName;
    // Preference files are small; anything beyond this is not a preference file to rewrite.
    constexpr DWORD kMaxSize = 64u * 1024u * 1024u;
    if (entry.nFileSizeHigh != 0 || entry.nFileSizeLow == 0 || entry.nFileSizeLow > kMaxSize) return true;
    std::string text;
    {
        UniqueHandle h(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!h) {
            FailedFiles.push_back(path);
            return true;
        }
        LARGE_INTEGER size{};
        if (!::GetFileSizeEx(h.get(), &size) || size.QuadPart > kMaxSize) return true;
        text.resize(static_cast<size_t>(size.QuadPart));
        DWORD got = 0;
        if (!text.empty() && (!::ReadFile(h.get(), text.data(), static_cast<DWORD>(text.size()), &got, nullptr) ||
                              got != text.size())) {
            FailedFiles.push_back(path);
            return true;
        }
    }
    std::string stripped;
    if (!StripUrlHistoryText(text, stripped)) return true;   // nothing to remove: file untouched

    // Write beside the file and swap it in, so a failed write never leaves a cut-off file.
    const std::wstring temp = path + L".kes-new";
    bool ok = false;
    {
        UniqueHandle h(::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                     nullptr));
        if (h) {
            DWORD put = 0;
            ok = stripped.empty() ||
                 (::WriteFile(h.get(), stripped.data(), static_cast<DWORD>(stripped.size()), &put, nullptr) &&
                  put == stripped.size());
        }
    }
    DWORD attrs = ::GetFileAttributesW(path.c_str());
    if (ok && attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_READONLY)) ok = false;
    if (ok) ok = ::MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
    if (!ok) {
        ::DeleteFileW(temp.c_str());
        FailedFiles.push_back(path);
    }
    return true;
}

std::wstring ReadIndexText(const std::wstring& folder) {
    const std::wstring path = IncludeTrailingBackslash(folder) + L"index.dat";
    UniqueHandle h(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h) ThrowSystemError(L"Cannot open " + path, ::GetLastError());
    char bytes[kIndexWindowBytes];
    DWORD got = 0;
    if (!::ReadFile(h.get(), bytes, sizeof bytes, &got, nullptr)) ThrowSystemError(L"Cannot read " + path, ::GetLastError());
    if (got < kIndexWindowBytes) throw KesError(L"Read beyond end of file: " + path);
    std::wstring text;
    for (char b : bytes) {
        if (b == 0) continue;
        wchar_t c = 0;
        if (static_cast<unsigned char>(b) < 0x80)
            c = static_cast<wchar_t>(b);
        else if (::MultiByteToWideChar(CP_ACP, 0, &b, 1, &c, 1) != 1)
            c = L'?';
        text.push_back(c);
    }
    return text;
}

std::vector<std::wstring> IndexFolderCandidates(const std::wstring& text) {
    std::vector<std::wstring> names;
    for (size_t p = 0; p < text.size(); ++p) {
        std::wstring name = text.substr(p, 8);
        bool plain = true;
        for (wchar_t c : name)
            if (c < 32 || c == L'\\' || c == L'/' || c == L':' || c == L'*' || c == L'?' || c == L'"' || c == L'<' ||
                c == L'>' || c == L'|')
                plain = false;
        if (!plain) continue;
        // The system drops trailing dots and blanks of a name ("..  " opens ".."), so judge
        // the name as it would be opened.
        std::wstring opened = name;
        while (!opened.empty() && (opened.back() == L'.' || opened.back() == L' ')) opened.pop_back();
        if (opened.empty() || opened == L"." || opened == L".." || Trim(opened).empty()) continue;
        names.push_back(name);
    }
    return names;
}

int EraseIndexedFolders(const std::wstring& folderIn, TraceFileEraser& eraser) {
    const std::wstring folder = ExcludeTrailingBackslash(folderIn);
    int walked = 0;
    for (const auto& name : IndexFolderCandidates(ReadIndexText(folder))) {
        const std::wstring sub = folder + L"\\" + name;
        wchar_t full[MAX_PATH * 2];
        DWORD n = ::GetFullPathNameW(sub.c_str(), MAX_PATH * 2, full, nullptr);
        if (n == 0 || n >= MAX_PATH * 2 || !IsPathInside(full, folder)) continue;
        const DWORD a = ::GetFileAttributesW(sub.c_str());
        if (a == INVALID_FILE_ATTRIBUTES || !(a & FILE_ATTRIBUTE_DIRECTORY) || (a & FILE_ATTRIBUTE_REPARSE_POINT))
            continue;
        ScanDirectory(sub + L"\\", L"*.*", eraser.DeleteCallback());
        ++walked;
    }
    return walked;
}
