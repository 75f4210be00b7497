#include "scan/DiskList.h"
#include <shellapi.h>
#include "core/winhandle.h"

wchar_t DriveLetterOfCaption(const std::wstring& caption) {
    size_t open = caption.find(L" (");
    if (open == std::wstring::npos || caption.find(L":)") == std::wstring::npos) return 0;
    if (open + 2 >= caption.size()) return 0;
    wchar_t c = caption[open + 2];
    if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    return c;
}

ui::ListViewOptions TDiskListView::DefaultOptions() {
    ui::ListViewOptions o;
    o.multiSelect = true;
    o.rowSelect = true;
    o.showHeader = true;
    return o;
}

TDiskListView::TDiskListView(ui::Container& parent, int x, int y, int w, int h, ui::ListViewOptions options,
                             const std::wstring& columnCaption)
    : ui::ListView(parent, x, y, w, h, options) {
    AddColumn(columnCaption, w > 30 ? w - 24 : 120);
    SetSmallImages(images_.Handle());
}

void TDiskListView::RefreshDrives() {
    BeginUpdate();
    Clear();
    ImageList_RemoveAll(images_.Handle());
    for (wchar_t letter = L'A'; letter <= L'Z'; ++letter) {
        const wchar_t root[] = {letter, L':', L'\\', 0};
        UINT type = ::GetDriveTypeW(root);
        if (type == DRIVE_UNKNOWN || type == DRIVE_NO_ROOT_DIR) continue;
        SHFILEINFOW sfi{};
        UINT oldMode = ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
        DWORD_PTR ok = ::SHGetFileInfoW(root, 0, &sfi, sizeof(sfi), SHGFI_DISPLAYNAME | SHGFI_ICON | SHGFI_SMALLICON);
        ::SetErrorMode(oldMode);
        if (!ok) continue;
        int image = -1;
        if (sfi.hIcon) {
            image = images_.AddIcon(sfi.hIcon);
            ::DestroyIcon(sfi.hIcon);
        }
        int row = AddItem(sfi.szDisplayName, image);
        SetItemData(row, static_cast<intptr_t>(type));
        if (type == DRIVE_FIXED && SelectLocalDrives) SetSelected(row, true);
    }
    EndUpdate();
}

std::wstring TDiskListView::GetSelectedDrives() const {
    std::wstring letters;
    for (int i = 0; i < Count(); ++i) {
        if (!Selected(i)) continue;
        wchar_t c = DriveLetterOfCaption(ItemText(i));
        if (c) letters += c;
    }
    return letters;
}

UINT TDiskListView::RowDriveType(int index) const { return static_cast<UINT>(ItemData(index)); }
