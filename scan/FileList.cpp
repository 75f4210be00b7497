#include "scan/FileList.h"
#include <shellapi.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cwchar>
#include "core/logs.h"
#include "core/winhandle.h"
#include "scan/TreeScan.h"

std::wstring AttributeText(DWORD a) {
    std::wstring s;
    s += (a & FILE_ATTRIBUTE_READONLY) ? L'R' : L' ';
    s += (a & FILE_ATTRIBUTE_HIDDEN) ? L'H' : L' ';
    s += (a & FILE_ATTRIBUTE_SYSTEM) ? L'S' : L' ';
    s += (a & FILE_ATTRIBUTE_ARCHIVE) ? L'A' : L' ';
    return s;
}

std::wstring LowerAsciiLetters(const std::wstring& s) {
    std::wstring r = s;
    for (auto& c : r)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    return r;
}

std::wstring FileVersionString(const std::wstring& path, const std::wstring& name) {
    DWORD handle = 0;
    DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &handle);
    if (size == 0) return std::wstring();
    std::vector<BYTE> data(size);
    if (!::GetFileVersionInfoW(path.c_str(), 0, size, data.data())) return std::wstring();
    WORD* trans = nullptr;
    UINT len = 0;
    if (!::VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&trans), &len) ||
        !trans || len < 4)
        return std::wstring();
    wchar_t hex[16];
    std::swprintf(hex, 16, L"%.4x%.4x", trans[0], trans[1]);
    std::wstring query = L"\\StringFileInfo\\" + std::wstring(hex) + L"\\" + name;
    wchar_t* value = nullptr;
    if (!::VerQueryValueW(data.data(), query.c_str(), reinterpret_cast<void**>(&value), &len) || !value || len == 0)
        return std::wstring();
    std::wstring s(value, len);
    size_t nul = s.find(L'\0');
    if (nul != std::wstring::npos) s.resize(nul);
    return s;
}

bool ParseListTime(const std::wstring& text, double& dateTime) {
    int y = 0, mo = 0, d = 0, h = 0, mi = 0;
    wchar_t tail[4] = {};
    int n = std::swscanf(text.c_str(), L"%4d/%2d/%2d %2d:%2d%1ls", &y, &mo, &d, &h, &mi, tail);
    if (!(n == 3 || n == 5)) return false;
    if (mo < 1 || mo > 12 || d < 1 || d > 31 || h < 0 || h > 23 || mi < 0 || mi > 59 || y < 1601) return false;
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(y);
    st.wMonth = static_cast<WORD>(mo);
    st.wDay = static_cast<WORD>(d);
    st.wHour = static_cast<WORD>(h);
    st.wMinute = static_cast<WORD>(mi);
    FILETIME ft;
    if (!::SystemTimeToFileTime(&st, &ft)) return false;
    ULARGE_INTEGER u{{ft.dwLowDateTime, ft.dwHighDateTime}};
    // Days since 30 December 1899 (FILETIME counts 100 ns from 1 January 1601).
    dateTime = static_cast<double>(u.QuadPart) / 864000000000.0 - 109205.0;
    return true;
}

namespace {

int64_t ReadInt(const std::wstring& s) {
    if (s.empty()) return 0;
    size_t i = 0;
    bool neg = false;
    if (s[0] == L'-' || s[0] == L'+') {
        neg = s[0] == L'-';
        i = 1;
    }
    if (i >= s.size()) return 0;
    int64_t v = 0;
    for (; i < s.size(); ++i) {
        if (s[i] < L'0' || s[i] > L'9') return 0;
        v = v * 10 + (s[i] - L'0');
        if (v > 0xFFFFFFFFLL) return 0;
    }
    v = neg ? -v : v;
    return (v < INT32_MIN || v > INT32_MAX) ? 0 : v;
}

double NowValue() {
    SYSTEMTIME st;
    ::GetLocalTime(&st);
    FILETIME ft;
    ::SystemTimeToFileTime(&st, &ft);
    ULARGE_INTEGER u{{ft.dwLowDateTime, ft.dwHighDateTime}};
    return static_cast<double>(u.QuadPart) / 864000000000.0 - 109205.0;
}

int Sign(int64_t v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

}  // namespace

int CompareFileRows(int column, const std::wstring& a, const std::wstring& b) {
    switch (column) {
    case 1:
        return Sign(ReadInt(a) - ReadInt(b));
    case 3: {
        double ta, tb;
        if (!ParseListTime(a, ta)) ta = NowValue();
        if (!ParseListTime(b, tb)) tb = NowValue();
        return Sign(static_cast<int64_t>(std::llround((ta - tb) * 100000.0)));
    }
    default:
        return CompareScanText(a, b);
    }
}

ui::ListViewOptions TFileListView::DefaultOptions() {
    ui::ListViewOptions o;
    o.multiSelect = true;
    o.rowSelect = true;
    o.showHeader = true;
    return o;
}

TFileListView::TFileListView(ui::Container& parent, int x, int y, int w, int h, std::vector<std::wstring> captions,
                             ui::ListViewOptions options)
    : ui::ListView(parent, x, y, w, h, options) {
    SetProcessDateTimeFormats(L"yyyy/mm/dd", L"hh:nn");
    if (captions.empty()) captions = {L"Name", L"Size", L"Type", L"Modified", L"Attr", L"File Ver", L"Prod Ver"};
    for (size_t i = 0; i < captions.size(); ++i) {
        bool right = i == 1 || i == 4 || i == 5 || (i == 6 && captions[i] == L"Prod Ver");
        int width = static_cast<int>(captions[i].size()) * 7 + 20;
        if (i == 0) width = std::max(width, 180);
        AddColumn(captions[i], width, right);
    }
    OnColumnClick = [this](int column) { SortByColumn(column); };
}

bool TFileListView::AddFile(const std::wstring& path, int32_t& size) {
    size = 0;
    if (path.empty() || path.find_first_of(L"*?") != std::wstring::npos) return false;
    SHFILEINFOW sfi{};
    if (!::SHGetFileInfoW(path.c_str(), 0, &sfi, sizeof(sfi), SHGFI_TYPENAME)) return false;
    WIN32_FIND_DATAW fd;
    {
        FindHandle h(::FindFirstFileW(path.c_str(), &fd));
        if (!h.valid()) return false;
    }
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
    size = static_cast<int32_t>(fd.nFileSizeLow);

    return AddRow(path, sfi.szTypeName,
                  FoundFile{fd.dwFileAttributes, (static_cast<uint64_t>(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow,
                            fd.ftLastWriteTime},
                  true) >= 0;
}

const std::wstring* TFileListView::TypeName(const std::wstring& path, DWORD attributes) {
    // The type name depends on the extension only: ask the shell once per extension.
    size_t slash = path.find_last_of(L'\\');
    size_t dot = path.find_last_of(L'.');
    std::wstring ext = dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash)
                           ? std::wstring()
                           : LowerAsciiLetters(path.substr(dot));
    for (const auto& t : typeNames_)
        if (t.first == ext) return &t.second;
    SHFILEINFOW sfi{};
    if (!::SHGetFileInfoW(path.c_str(), attributes, &sfi, sizeof(sfi), SHGFI_TYPENAME | SHGFI_USEFILEATTRIBUTES))
        return nullptr;
    typeNames_.emplace_back(ext, sfi.szTypeName);
    return &typeNames_.back().second;
}

int TFileListView::AddFoundFile(const std::wstring& path, const FoundFile& info, bool readVersions) {
    if (path.empty() || path.find_first_of(L"*?") != std::wstring::npos) return -1;
    const std::wstring* type = TypeName(path, info.attributes);
    return type ? AddRow(path, *type, info, readVersions) : -1;
}

int TFileListView::AddDeferredFile(const std::wstring& path, const FoundFile& info) {
    if (path.empty() || path.find_first_of(L"*?") != std::wstring::npos) return -1;
    const std::wstring* type = TypeName(path, info.attributes);
    if (!type) return -1;
    int row = AddRow(path, *type, info, false, true);
    if (row >= 0) {
        Deferred& d = deferred_[LowerAsciiLetters(path)];
        d = Deferred{};
        d.path = path;
        d.size = info.size;
    }
    return row;
}

bool TFileListView::HandleNotify(NMHDR* hdr, LRESULT& result) {
    if (hdr->code != LVN_GETDISPINFOW) return ui::ListView::HandleNotify(hdr, result);
    auto* di = reinterpret_cast<NMLVDISPINFOW*>(hdr);
    LVITEMW& it = di->item;
    auto found = deferred_.find(ItemText(it.iItem, 0));
    RowDetails none;
    const RowDetails* d = &none;
    if (found != deferred_.end()) {
        Deferred& row = found->second;
        if (!row.resolved) {
            row.resolved = true;   // once, even when the handler throws
            if (OnRowDetails) {
                OnRowDetails(row.path, row.size, row.details);
            } else {
                row.details.fileVersion = FileVersionString(row.path, L"FileVersion");
                row.details.productVersion = FileVersionString(row.path, L"ProductVersion");
            }
        }
        d = &row.details;
    }
    if ((it.mask & LVIF_IMAGE) && it.iSubItem == 0) it.iImage = d->image;
    if ((it.mask & LVIF_TEXT) && it.pszText && it.cchTextMax > 0) {
        const std::wstring& text =
            it.iSubItem == 5 ? d->fileVersion : it.iSubItem == 6 ? d->productVersion : std::wstring();
        size_t n = std::min(text.size(), static_cast<size_t>(it.cchTextMax - 1));
        std::copy(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(n), it.pszText);
        it.pszText[n] = L'\0';
    }
    result = 0;
    return true;
}

void TFileListView::SetCallbackText(int row, int column) {
    LVITEMW it{};
    it.iSubItem = column;
    it.pszText = LPSTR_TEXTCALLBACKW;
    ::SendMessageW(Handle(), LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&it));
}

int TFileListView::AddRow(const std::wstring& path, const std::wstring& typeName, const FoundFile& info,
                          bool readVersions, bool deferred) {
    FILETIME local;
    SYSTEMTIME st{};
    std::wstring when;
    if (::FileTimeToLocalFileTime(&info.lastWrite, &local) && ::FileTimeToSystemTime(&local, &st))
        when = FormatTimestamp(st);
    std::wstring type = typeName;
    size_t b = type.find_first_not_of(L" \t");
    size_t e = type.find_last_not_of(L" \t");
    type = b == std::wstring::npos ? std::wstring() : type.substr(b, e - b + 1);
    const int32_t size = static_cast<int32_t>(static_cast<uint32_t>(info.size & 0xFFFFFFFFu));

    int row = AddItem(LowerAsciiLetters(path), deferred ? I_IMAGECALLBACK : -1);
    SetItemText(row, 1, std::to_wstring(size));
    SetItemText(row, 2, type);
    SetItemText(row, 3, when);
    SetItemText(row, 4, AttributeText(info.attributes));
    if (deferred) {
        SetCallbackText(row, 5);
        SetCallbackText(row, 6);
    } else if (readVersions) {
        SetItemText(row, 5, FileVersionString(path, L"FileVersion"));
        SetItemText(row, 6, FileVersionString(path, L"ProductVersion"));
    }
    return row;
}

void TFileListView::SortByColumn(int column) {
    if (sorted_ && column == sortColumn_) {
        ascending_ = !ascending_;
    } else {
        sortColumn_ = column;
        ascending_ = true;
    }
    sorted_ = true;
    const int col = sortColumn_;
    const bool asc = ascending_;
    Sort([this, col, asc](int a, int b) {
        int r = CompareFileRows(col, ItemText(a, col), ItemText(b, col));
        return asc ? r : -r;
    });
}
