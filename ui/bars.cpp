// Page controls and their tab pages, tool bars, status bars and image lists.
#include "ui/ui.h"
#include "ui/internal.h"
#include <algorithm>

namespace ui {

// --- PageControl / TabPage --------------------------------------------------------------------
PageControl::PageControl(Container& parent, int x, int y, int w, int h) {
    Create(&parent, WC_TABCONTROLW, L"", WS_TABSTOP | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, x, y, w, h);
}

TabPage::TabPage(PageControl& owner, const std::wstring& caption) : owner_(&owner), index_(owner.PageCount()) {
    visible_ = false;
    Create(&owner, detail::kWindowClass, caption, 0, WS_EX_CONTROLPARENT, 0, 0, 10, 10);
    owner.AddPage(this);
}

void TabPage::SetTabVisible(bool visible) {
    if (visible == tabVisible_) return;
    tabVisible_ = visible;
    owner_->RebuildTabs();
    if (!visible && owner_->active_ == index_) {
        for (TabPage* p : owner_->pages_) {
            if (p->tabVisible_) {
                owner_->Activate(p->index_, false);
                return;
            }
        }
        owner_->active_ = -1;
        visible_ = false;
        ::ShowWindow(hwnd_, SW_HIDE);
    } else if (visible && owner_->active_ < 0) {
        owner_->Activate(index_, false);
    } else {
        owner_->Activate(owner_->active_, false);   // re-selects the tab of the active page
    }
}

void PageControl::AddPage(TabPage* page) {
    pages_.push_back(page);
    RebuildTabs();
    Relayout();
    if (active_ < 0) Activate(page->index_, false);
}

void PageControl::RebuildTabs() {
    TabCtrl_DeleteAllItems(hwnd_);
    int tab = 0;
    for (TabPage* p : pages_) {
        if (!p->tabVisible_) continue;
        std::wstring caption = p->Text();
        TCITEMW item{};
        item.mask = TCIF_TEXT | TCIF_PARAM;
        item.pszText = &caption[0];
        item.lParam = p->index_;
        ::SendMessageW(hwnd_, TCM_INSERTITEMW, static_cast<WPARAM>(tab++), reinterpret_cast<LPARAM>(&item));
    }
    Relayout();
}

void PageControl::Relayout() {
    RECT rc{};
    ::GetClientRect(hwnd_, &rc);
    TabCtrl_AdjustRect(hwnd_, FALSE, &rc);
    for (TabPage* p : pages_)
        ::SetWindowPos(p->Handle(), nullptr, rc.left, rc.top, std::max(0L, rc.right - rc.left),
                       std::max(0L, rc.bottom - rc.top), SWP_NOZORDER | SWP_NOACTIVATE);
}

void PageControl::Activate(int index, bool events) {
    if (index < 0 || index >= PageCount()) return;
    // A page without a tab is never shown: it would sit under another page's tab.
    if (!pages_[static_cast<size_t>(index)]->tabVisible_) return;
    if (events && index != active_ && OnChanging) {
        bool allow = true;
        SafeCall([&] { allow = OnChanging(); });
        if (!allow) {
            Activate(active_, false);   // puts the tab selection back
            return;
        }
    }
    bool changed = index != active_;
    active_ = index;
    for (TabPage* p : pages_) {
        bool show = p->index_ == index;
        p->visible_ = show;
        ::ShowWindow(p->Handle(), show ? SW_SHOWNA : SW_HIDE);
    }
    int tabs = TabCtrl_GetItemCount(hwnd_);
    for (int t = 0; t < tabs; ++t) {
        TCITEMW item{};
        item.mask = TCIF_PARAM;
        if (TabCtrl_GetItem(hwnd_, t, &item) && static_cast<int>(item.lParam) == index) {
            if (TabCtrl_GetCurSel(hwnd_) != t) TabCtrl_SetCurSel(hwnd_, t);
            break;
        }
    }
    if (events && changed) SafeCall(OnChange);
}

TabPage* PageControl::ActivePage() const {
    return active_ >= 0 && active_ < PageCount() ? pages_[static_cast<size_t>(active_)] : nullptr;
}

int PageControl::ActivePageIndex() const { return active_; }

void PageControl::SetActivePage(TabPage& page) { Activate(page.PageIndex(), true); }

bool PageControl::HandleNotify(NMHDR* hdr, LRESULT& result) {
    if (hdr->code == TCN_SELCHANGING) {
        bool allow = true;
        if (OnChanging) SafeCall([&] { allow = OnChanging(); });
        result = allow ? FALSE : TRUE;
        return true;
    }
    if (hdr->code == TCN_SELCHANGE) {
        int tab = TabCtrl_GetCurSel(hwnd_);
        TCITEMW item{};
        item.mask = TCIF_PARAM;
        if (tab >= 0 && TabCtrl_GetItem(hwnd_, tab, &item)) {
            int old = active_;
            Activate(static_cast<int>(item.lParam), false);   // OnChanging already agreed
            if (active_ != old) SafeCall(OnChange);
        }
        result = 0;
        return true;
    }
    return false;
}

RECT PageControl::PageRect() const {
    RECT rc{};
    ::GetClientRect(hwnd_, &rc);
    TabCtrl_AdjustRect(hwnd_, FALSE, &rc);
    RECT r{0, 0, detail::Unscale(rc.right - rc.left), detail::Unscale(rc.bottom - rc.top)};
    return r;
}

// --- ToolBar ----------------------------------------------------------------------------------
void ToolBar::ToolButton::Click() { SafeCall(OnClick); }

ToolBar::ToolBar(Container& parent, HIMAGELIST images) {
    Create(&parent, TOOLBARCLASSNAMEW, L"", TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_TOP | CCS_NODIVIDER, 0, 0, 0, 100, 24);
    ::SendMessageW(hwnd_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    if (images) ::SendMessageW(hwnd_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
    ::SendMessageW(hwnd_, TB_AUTOSIZE, 0, 0);
    // Tool-tip requests come from the tool bar's tip window: let it lead back here.
    HWND tip = reinterpret_cast<HWND>(::SendMessageW(hwnd_, TB_GETTOOLTIPS, 0, 0));
    if (tip) ::SetWindowLongPtrW(tip, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(static_cast<Control*>(this)));
}

ToolBar::ToolButton& ToolBar::AddButton(int imageIndex, const std::wstring& hint, std::function<void()> onClick) {
    auto b = std::make_unique<ToolButton>();
    b->id = nextId_++;
    b->hint = hint;
    b->OnClick = std::move(onClick);
    TBBUTTON tb{};
    tb.iBitmap = imageIndex;
    tb.idCommand = b->id;
    tb.fsState = TBSTATE_ENABLED;
    tb.fsStyle = BTNS_BUTTON;
    tb.iString = -1;
    ::SendMessageW(hwnd_, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&tb));
    ::SendMessageW(hwnd_, TB_AUTOSIZE, 0, 0);
    buttons_.push_back(std::move(b));
    return *buttons_.back();
}

void ToolBar::AddSeparator() {
    TBBUTTON tb{};
    tb.iBitmap = 6;
    tb.fsStyle = BTNS_SEP;
    tb.iString = -1;
    ::SendMessageW(hwnd_, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&tb));
}

void ToolBar::SetButtonEnabled(ToolButton& button, bool enabled) {
    ::SendMessageW(hwnd_, TB_ENABLEBUTTON, static_cast<WPARAM>(button.id), MAKELPARAM(enabled ? TRUE : FALSE, 0));
}

bool ToolBar::ButtonEnabled(const ToolButton& button) const {
    return ::SendMessageW(hwnd_, TB_ISBUTTONENABLED, static_cast<WPARAM>(button.id), 0) != 0;
}

int ToolBar::Height() const {
    RECT rc{};
    ::GetWindowRect(hwnd_, &rc);
    return detail::Unscale(rc.bottom - rc.top);
}

ToolBar::ToolButton* ToolBar::FindButton(int id) const {
    for (const auto& b : buttons_)
        if (b->id == id) return b.get();
    return nullptr;
}

bool ToolBar::HandleToolCommand(int id) {
    ToolButton* b = FindButton(id);
    if (!b || !ButtonEnabled(*b)) return false;
    b->Click();
    return true;
}

bool ToolBar::HandleCommand(WORD code) { return false; }

bool ToolBar::HandleNotify(NMHDR* hdr, LRESULT& result) {
    if (hdr->code == TTN_GETDISPINFOW) {
        auto* di = reinterpret_cast<NMTTDISPINFOW*>(hdr);
        if (ToolButton* b = FindButton(static_cast<int>(hdr->idFrom))) {
            di->lpszText = const_cast<wchar_t*>(b->hint.c_str());
            di->hinst = nullptr;
        }
        result = 0;
        return true;
    }
    if (hdr->code == TBN_GETINFOTIPW) {
        auto* tip = reinterpret_cast<NMTBGETINFOTIPW*>(hdr);
        ToolButton* b = FindButton(tip->iItem);
        if (b && tip->pszText && tip->cchTextMax > 0) {
            ::lstrcpynW(tip->pszText, b->hint.c_str(), tip->cchTextMax);
        }
        result = 0;
        return true;
    }
    return false;
}

// --- StatusBar --------------------------------------------------------------------------------
StatusBar::StatusBar(Container& parent, std::vector<int> widths) : widths_(std::move(widths)) {
    DWORD style = CCS_BOTTOM;
    HWND top = ::GetAncestor(parent.Handle(), GA_ROOT);
    if (top == parent.Handle() && (::GetWindowLongPtrW(top, GWL_STYLE) & WS_THICKFRAME)) style |= SBARS_SIZEGRIP;
    Create(&parent, STATUSCLASSNAMEW, L"", style, 0, 0, 0, 100, 20);
    texts_.assign(widths_.size() + 1, L"");
    Relayout();
}

void StatusBar::Relayout() {
    if (!hwnd_) return;
    std::vector<int> edges;
    int x = 0;
    for (int w : widths_) {
        x += Scale(w);
        edges.push_back(x);
    }
    edges.push_back(-1);
    ::SendMessageW(hwnd_, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
    for (size_t i = 0; i < texts_.size(); ++i)
        ::SendMessageW(hwnd_, SB_SETTEXTW, i, reinterpret_cast<LPARAM>(texts_[i].c_str()));
    if (progress_ && progressPanel_ >= 0) {
        RECT rc{};
        ::SendMessageW(hwnd_, SB_GETRECT, static_cast<WPARAM>(progressPanel_), reinterpret_cast<LPARAM>(&rc));
        ::InflateRect(&rc, -1, -1);
        ::SetWindowPos(progress_->Handle(), nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void StatusBar::SetPanelText(int panel, const std::wstring& text) {
    if (panel < 0 || panel >= PanelCount()) return;
    texts_[static_cast<size_t>(panel)] = text;
    ::SendMessageW(hwnd_, SB_SETTEXTW, static_cast<WPARAM>(panel), reinterpret_cast<LPARAM>(text.c_str()));
}

std::wstring StatusBar::PanelText(int panel) const {
    if (panel < 0 || panel >= PanelCount()) return L"";
    return texts_[static_cast<size_t>(panel)];
}

int StatusBar::PanelCount() const { return static_cast<int>(texts_.size()); }

RECT StatusBar::PanelRect(int panel) const {
    RECT rc{};
    if (panel >= 0 && panel < PanelCount())
        ::SendMessageW(hwnd_, SB_GETRECT, static_cast<WPARAM>(panel), reinterpret_cast<LPARAM>(&rc));
    RECT r{detail::Unscale(rc.left), detail::Unscale(rc.top), detail::Unscale(rc.right), detail::Unscale(rc.bottom)};
    return r;
}

int StatusBar::Height() const {
    RECT rc{};
    ::GetWindowRect(hwnd_, &rc);
    return detail::Unscale(rc.bottom - rc.top);
}

ProgressBar& StatusBar::PanelProgress(int panel) {
    if (!progress_) {
        Container* parent = Parent();
        progress_ = std::make_unique<ProgressBar>(*parent, 0, 0, 10, 10);
        progress_->SetVisible(false);
        ::SetParent(progress_->Handle(), hwnd_);
    }
    progressPanel_ = std::clamp(panel, 0, PanelCount() - 1);
    Relayout();
    return *progress_;
}

// --- ImageList --------------------------------------------------------------------------------
ImageList::ImageList(int size, int initial) : size_(size) {
    list_ = ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, initial, 16);
}

ImageList::~ImageList() {
    if (list_) ImageList_Destroy(list_);
}

int ImageList::AddIcon(HICON icon) { return icon ? ImageList_AddIcon(list_, icon) : -1; }

int ImageList::AddDrawn(const std::function<void(HDC dc, const RECT& rc)>& draw) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = size_;
    bi.bmiHeader.biHeight = -size_;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = ::GetDC(nullptr);
    HBITMAP bmp = ::CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC mem = ::CreateCompatibleDC(screen);
    ::ReleaseDC(nullptr, screen);
    if (!bmp || !mem) {
        if (bmp) ::DeleteObject(bmp);
        if (mem) ::DeleteDC(mem);
        return -1;
    }
    const COLORREF key = RGB(255, 0, 255);   // what the drawing leaves untouched is transparent
    HGDIOBJ old = ::SelectObject(mem, bmp);
    RECT rc{0, 0, size_, size_};
    HBRUSH keyBrush = ::CreateSolidBrush(key);
    ::FillRect(mem, &rc, keyBrush);
    ::DeleteObject(keyBrush);
    SafeCall([&] { draw(mem, rc); });
    ::GdiFlush();
    ::SelectObject(mem, old);
    ::DeleteDC(mem);
    int index = ImageList_AddMasked(list_, bmp, key);
    ::DeleteObject(bmp);
    return index;
}

int ImageList::Count() const { return list_ ? ImageList_GetImageCount(list_) : 0; }

}  // namespace ui
