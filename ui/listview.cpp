// The report-view list with check boxes, item data, sorting and in-place renaming.
#include "ui/ui.h"
#include "ui/internal.h"
#include <algorithm>
#include <numeric>

namespace ui {

namespace {
std::wstring GetItemText(HWND lv, int index, int column) {
    std::wstring buf(260, L'\0');
    for (;;) {
        LVITEMW it{};
        it.iSubItem = column;
        it.pszText = &buf[0];
        it.cchTextMax = static_cast<int>(buf.size());
        int n = static_cast<int>(::SendMessageW(lv, LVM_GETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&it)));
        if (n < static_cast<int>(buf.size()) - 1 || buf.size() > 65536) {
            buf.resize(static_cast<size_t>(std::max(n, 0)));
            return buf;
        }
        buf.assign(buf.size() * 4, L'\0');
    }
}

int StateImageChecked(UINT state) { return static_cast<int>((state & LVIS_STATEIMAGEMASK) >> 12); }
}  // namespace

ListView::ListView(Container& parent, int x, int y, int w, int h, ListViewOptions options) : options_(options) {
    DWORD style = WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS;
    if (!options.multiSelect) style |= LVS_SINGLESEL;
    if (options.editLabels) style |= LVS_EDITLABELS;
    if (!options.showHeader) style |= LVS_NOCOLUMNHEADER;
    Create(&parent, WC_LISTVIEWW, L"", style, WS_EX_CLIENTEDGE, x, y, w, h);
    DWORD ex = LVS_EX_LABELTIP;
    if (options.checkBoxes) ex |= LVS_EX_CHECKBOXES;
    if (options.rowSelect) ex |= LVS_EX_FULLROWSELECT;
    if (options.gridLines) ex |= LVS_EX_GRIDLINES;
    ListView_SetExtendedListViewStyleEx(hwnd_, ex, ex);
}

int ListView::AddColumn(const std::wstring& caption, int width, bool rightAlign) {
    LVCOLUMNW col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
    col.fmt = rightAlign ? LVCFMT_RIGHT : LVCFMT_LEFT;
    col.cx = Scale(width);
    col.pszText = const_cast<wchar_t*>(caption.c_str());
    int n = ColumnCount();
    col.iSubItem = n;
    return static_cast<int>(::SendMessageW(hwnd_, LVM_INSERTCOLUMNW, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(&col)));
}

int ListView::ColumnCount() const {
    HWND header = ListView_GetHeader(hwnd_);
    return header ? Header_GetItemCount(header) : 0;
}

void ListView::SetColumnWidth(int column, int width) { ListView_SetColumnWidth(hwnd_, column, Scale(width)); }

int ListView::ColumnWidth(int column) const { return detail::Unscale(ListView_GetColumnWidth(hwnd_, column)); }

std::wstring ListView::ColumnCaption(int column) const {
    wchar_t buf[260] = {};
    LVCOLUMNW col{};
    col.mask = LVCF_TEXT;
    col.pszText = buf;
    col.cchTextMax = 260;
    if (!::SendMessageW(hwnd_, LVM_GETCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&col))) return L"";
    return buf;
}

void ListView::SetSmallImages(HIMAGELIST images) { ListView_SetImageList(hwnd_, images, LVSIL_SMALL); }

int ListView::AddItem(const std::wstring& caption, int image) { return InsertItem(Count(), caption, image); }

int ListView::InsertItem(int index, const std::wstring& caption, int image) {
    LVITEMW it{};
    it.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
    it.iItem = std::clamp(index, 0, Count());
    it.pszText = const_cast<wchar_t*>(caption.c_str());
    it.iImage = image;
    it.lParam = 0;
    bool old = suppressCheckEvents_;
    suppressCheckEvents_ = true;
    int i = static_cast<int>(::SendMessageW(hwnd_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&it)));
    suppressCheckEvents_ = old;
    return i;
}

void ListView::DeleteItem(int index) {
    if (index >= 0 && index < Count()) ListView_DeleteItem(hwnd_, index);
}

void ListView::Clear() { ListView_DeleteAllItems(hwnd_); }

int ListView::Count() const { return hwnd_ ? ListView_GetItemCount(hwnd_) : 0; }

std::wstring ListView::ItemText(int index, int column) const {
    if (index < 0 || index >= Count()) return L"";
    return GetItemText(hwnd_, index, column);
}

void ListView::SetItemText(int index, int column, const std::wstring& text) {
    LVITEMW it{};
    it.iSubItem = column;
    it.pszText = const_cast<wchar_t*>(text.c_str());
    ::SendMessageW(hwnd_, LVM_SETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&it));
}

int ListView::ItemImage(int index) const {
    LVITEMW it{};
    it.mask = LVIF_IMAGE;
    it.iItem = index;
    if (!::SendMessageW(hwnd_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&it))) return -1;
    return it.iImage;
}

void ListView::SetItemImage(int index, int image) {
    LVITEMW it{};
    it.mask = LVIF_IMAGE;
    it.iItem = index;
    it.iImage = image;
    ::SendMessageW(hwnd_, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&it));
}

intptr_t ListView::ItemData(int index) const {
    LVITEMW it{};
    it.mask = LVIF_PARAM;
    it.iItem = index;
    if (!::SendMessageW(hwnd_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&it))) return 0;
    return static_cast<intptr_t>(it.lParam);
}

void ListView::SetItemData(int index, intptr_t data) {
    LVITEMW it{};
    it.mask = LVIF_PARAM;
    it.iItem = index;
    it.lParam = static_cast<LPARAM>(data);
    ::SendMessageW(hwnd_, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&it));
}

bool ListView::Checked(int index) const {
    if (index < 0 || index >= Count()) return false;
    return StateImageChecked(ListView_GetItemState(hwnd_, index, LVIS_STATEIMAGEMASK)) == 2;
}

void ListView::SetChecked(int index, bool checked) {
    if (index < 0 || index >= Count()) return;
    ListView_SetItemState(hwnd_, index, INDEXTOSTATEIMAGEMASK(checked ? 2 : 1), LVIS_STATEIMAGEMASK);
}

int ListView::CheckedCount() const {
    int n = 0;
    for (int i = 0, c = Count(); i < c; ++i) n += Checked(i) ? 1 : 0;
    return n;
}

bool ListView::Selected(int index) const {
    if (index < 0 || index >= Count()) return false;
    return (ListView_GetItemState(hwnd_, index, LVIS_SELECTED) & LVIS_SELECTED) != 0;
}

void ListView::SetSelected(int index, bool selected) {
    if (index < 0 || index >= Count()) return;
    if (selected && !options_.multiSelect) ListView_SetItemState(hwnd_, -1, 0, LVIS_SELECTED);
    ListView_SetItemState(hwnd_, index, selected ? LVIS_SELECTED : 0, LVIS_SELECTED);
}

int ListView::SelectedIndex() const { return hwnd_ ? ListView_GetNextItem(hwnd_, -1, LVNI_SELECTED) : -1; }

int ListView::SelectedCount() const { return hwnd_ ? static_cast<int>(ListView_GetSelectedCount(hwnd_)) : 0; }

std::vector<int> ListView::SelectedIndices() const {
    std::vector<int> v;
    for (int i = ListView_GetNextItem(hwnd_, -1, LVNI_SELECTED); i >= 0; i = ListView_GetNextItem(hwnd_, i, LVNI_SELECTED))
        v.push_back(i);
    return v;
}

void ListView::SelectAll(bool selected) {
    if (selected && !options_.multiSelect) {
        if (Count() > 0) SetSelected(0, true);
        return;
    }
    ListView_SetItemState(hwnd_, -1, selected ? LVIS_SELECTED : 0, LVIS_SELECTED);
}

int ListView::FocusedIndex() const { return hwnd_ ? ListView_GetNextItem(hwnd_, -1, LVNI_FOCUSED) : -1; }

void ListView::SetFocused(int index) {
    if (index < 0 || index >= Count()) return;
    ListView_SetItemState(hwnd_, index, LVIS_FOCUSED, LVIS_FOCUSED);
}

void ListView::EnsureVisible(int index) { ListView_EnsureVisible(hwnd_, index, FALSE); }

bool ListView::IsEditing() const { return hwnd_ && ListView_GetEditControl(hwnd_) != nullptr; }

void ListView::BeginUpdate() {
    if (updating_++ == 0) ::SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0);
}

void ListView::EndUpdate() {
    if (updating_ <= 0) return;
    if (--updating_ == 0) {
        ::SendMessageW(hwnd_, WM_SETREDRAW, TRUE, 0);
        ::InvalidateRect(hwnd_, nullptr, TRUE);
    }
}

void ListView::Sort(const std::function<int(int a, int b)>& cmp) {
    int n = Count();
    if (n < 2 || !cmp) return;
    std::vector<int> order(static_cast<size_t>(n));
    std::iota(order.begin(), order.end(), 0);
    // A stable merge sort stays in bounds even with an inconsistent comparator.
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return cmp(a, b) < 0; });
    bool changed = false;
    for (int i = 0; i < n; ++i) changed = changed || order[static_cast<size_t>(i)] != i;
    if (!changed) return;

    struct Row {
        std::vector<std::wstring> texts;
        int image;
        LPARAM data;
        UINT state;
    };
    int cols = std::max(ColumnCount(), 1);
    std::vector<Row> rows(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        Row& r = rows[static_cast<size_t>(i)];
        for (int c = 0; c < cols; ++c) r.texts.push_back(GetItemText(hwnd_, i, c));
        LVITEMW it{};
        it.mask = LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
        it.iItem = i;
        it.stateMask = LVIS_STATEIMAGEMASK | LVIS_SELECTED | LVIS_FOCUSED;
        ::SendMessageW(hwnd_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&it));
        r.image = it.iImage;
        r.data = it.lParam;
        r.state = it.state & (LVIS_STATEIMAGEMASK | LVIS_SELECTED | LVIS_FOCUSED);
    }
    bool oldSuppress = suppressCheckEvents_;
    suppressCheckEvents_ = true;
    BeginUpdate();
    for (int i = 0; i < n; ++i) {
        const Row& r = rows[static_cast<size_t>(order[static_cast<size_t>(i)])];
        LVITEMW it{};
        it.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
        it.iItem = i;
        it.pszText = const_cast<wchar_t*>(r.texts[0].c_str());
        it.iImage = r.image;
        it.lParam = r.data;
        it.state = r.state;
        it.stateMask = LVIS_STATEIMAGEMASK | LVIS_SELECTED | LVIS_FOCUSED;
        ::SendMessageW(hwnd_, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&it));
        for (int c = 1; c < cols; ++c) SetItemText(i, c, r.texts[static_cast<size_t>(c)]);
    }
    EndUpdate();
    suppressCheckEvents_ = oldSuppress;
}

bool ListView::HandleNotify(NMHDR* hdr, LRESULT& result) {
    switch (hdr->code) {
    case LVN_ITEMCHANGED: {
        auto* nm = reinterpret_cast<NMLISTVIEW*>(hdr);
        if (!(nm->uChanged & LVIF_STATE)) return true;
        int oldCheck = StateImageChecked(nm->uOldState), newCheck = StateImageChecked(nm->uNewState);
        // A new row getting its first (unchecked) image is no change of the check box.
        if (!suppressCheckEvents_ && nm->iItem >= 0 && oldCheck != 0 && newCheck != 0 && oldCheck != newCheck && OnItemChecked)
            OnItemChecked(nm->iItem);
        if (((nm->uOldState ^ nm->uNewState) & LVIS_SELECTED) && !suppressCheckEvents_ && OnSelectionChanged)
            OnSelectionChanged();
        return true;
    }
    case LVN_COLUMNCLICK: {
        auto* nm = reinterpret_cast<NMLISTVIEW*>(hdr);
        int column = nm->iSubItem;
        if (options_.sortOnColumnClick) {
            sortAscending_ = column == sortColumn_ ? !sortAscending_ : true;
            sortColumn_ = column;
            std::vector<std::wstring> keys;
            for (int i = 0, n = Count(); i < n; ++i) keys.push_back(ItemText(i, column));
            bool asc = sortAscending_;
            Sort([&](int a, int b) {
                int r = ::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, keys[static_cast<size_t>(a)].c_str(), -1,
                                         keys[static_cast<size_t>(b)].c_str(), -1) - CSTR_EQUAL;
                return asc ? r : -r;
            });
        }
        if (OnColumnClick) OnColumnClick(column);
        return true;
    }
    case NM_DBLCLK: {
        auto* nm = reinterpret_cast<NMITEMACTIVATE*>(hdr);
        if (nm->iItem >= 0 && OnDoubleClick) OnDoubleClick(nm->iItem);
        return true;
    }
    case NM_RCLICK:
        if (ContextMenu) {
            POINT pt;
            ::GetCursorPos(&pt);
            ContextMenu->Popup(hwnd_, pt.x, pt.y);
            result = TRUE;   // no WM_CONTEXTMENU after this
            return true;
        }
        return false;
    case LVN_KEYDOWN: {
        auto* nm = reinterpret_cast<NMLVKEYDOWN*>(hdr);
        if (OnKeyDown) OnKeyDown(nm->wVKey);
        return true;
    }
    case LVN_BEGINLABELEDITW:
        result = options_.editLabels ? FALSE : TRUE;
        return true;
    case LVN_ENDLABELEDITW: {
        auto* nm = reinterpret_cast<NMLVDISPINFOW*>(hdr);
        if (!nm->item.pszText) {   // cancelled
            result = FALSE;
            return true;
        }
        std::wstring text = nm->item.pszText;
        result = TRUE;
        if (OnEdited) OnEdited(nm->item.iItem, text);
        return true;
    }
    }
    return false;
}

}  // namespace ui
