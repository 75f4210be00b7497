// The simple controls: buttons, check boxes, radio buttons, labels, edits, combo boxes, date
// pickers, progress bars, pictures, the busy animation and pop-up menus.
#include "ui/ui.h"
#include "ui/internal.h"
#include <windowsx.h>
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cwchar>
#include <vector>

namespace ui {

// --- Button -----------------------------------------------------------------------------------
Button::Button(Container& parent, int x, int y, int w, int h, const std::wstring& caption) {
    Create(&parent, L"BUTTON", caption, BS_PUSHBUTTON | WS_TABSTOP, 0, x, y, w, h);
}

void Button::Click() { SafeCall(OnClick); }

void Button::SetGlyph(HBITMAP bitmap) {
    if (hwnd_) ::SendMessageW(hwnd_, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
}

bool Button::HandleCommand(WORD code) {
    if (code != BN_CLICKED) return false;
    Click();
    return true;
}

// --- CheckBox ---------------------------------------------------------------------------------
CheckBox::CheckBox(Container& parent, int x, int y, int w, int h, const std::wstring& caption) {
    Create(&parent, L"BUTTON", caption, BS_AUTOCHECKBOX | WS_TABSTOP, 0, x, y, w, h);
}

bool CheckBox::Checked() const {
    return hwnd_ && ::SendMessageW(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void CheckBox::SetChecked(bool checked) {
    if (hwnd_) ::SendMessageW(hwnd_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void CheckBox::Click() {
    SetChecked(!Checked());
    SafeCall(OnClick);
}

bool CheckBox::HandleCommand(WORD code) {
    if (code != BN_CLICKED) return false;
    SafeCall(OnClick);   // the automatic check box has already toggled itself
    return true;
}

// --- RadioButton ------------------------------------------------------------------------------
RadioButton::RadioButton(Container& parent, int x, int y, int w, int h, const std::wstring& caption, bool group) {
    Create(&parent, L"BUTTON", caption, BS_AUTORADIOBUTTON | (group ? WS_GROUP | WS_TABSTOP : 0), 0, x, y, w, h);
}

bool RadioButton::Checked() const {
    return hwnd_ && ::SendMessageW(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void RadioButton::SetChecked(bool checked) {
    if (!hwnd_) return;
    if (checked) {
        // The group: from the nearest sibling with WS_GROUP (this one included) up to the next.
        HWND first = hwnd_;
        while (!(::GetWindowLongPtrW(first, GWL_STYLE) & WS_GROUP)) {
            HWND prev = ::GetWindow(first, GW_HWNDPREV);
            if (!prev) break;
            first = prev;
        }
        for (HWND h = first; h; h = ::GetWindow(h, GW_HWNDNEXT)) {
            if (h != first && (::GetWindowLongPtrW(h, GWL_STYLE) & WS_GROUP)) break;
            if (h != hwnd_ && dynamic_cast<RadioButton*>(Control::FromHandle(h)))
                ::SendMessageW(h, BM_SETCHECK, BST_UNCHECKED, 0);
        }
    }
    ::SendMessageW(hwnd_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void RadioButton::Click() {
    SetChecked(true);
    SafeCall(OnClick);
}

bool RadioButton::HandleCommand(WORD code) {
    if (code != BN_CLICKED) return false;
    SafeCall(OnClick);
    return true;
}

// --- Label, LinkLabel -------------------------------------------------------------------------
Label::Label(Container& parent, int x, int y, int w, int h, const std::wstring& caption, DWORD align) {
    Create(&parent, L"STATIC", caption, align | SS_NOTIFY | SS_NOPREFIX, 0, x, y, w, h);
}

void Label::Click() { SafeCall(OnClick); }

void Label::SetShowAccelerator(bool show) {
    if (!hwnd_) return;
    LONG_PTR style = ::GetWindowLongPtrW(hwnd_, GWL_STYLE);
    style = show ? (style & ~static_cast<LONG_PTR>(SS_NOPREFIX)) : (style | SS_NOPREFIX);
    ::SetWindowLongPtrW(hwnd_, GWL_STYLE, style);
    Invalidate();
}

bool Label::ShowsAccelerator() const {
    return hwnd_ && !(::GetWindowLongPtrW(hwnd_, GWL_STYLE) & SS_NOPREFIX);
}

bool Label::HandleCommand(WORD code) {
    if (code != STN_CLICKED && code != STN_DBLCLK) return false;
    if (code == STN_CLICKED) Click();
    return true;
}

LinkLabel::LinkLabel(Container& parent, int x, int y, int w, int h, const std::wstring& caption)
    : Label(parent, x, y, w, h, caption) {
    SetLinkLook(true);
}

void LinkLabel::SetLinkLook(bool link) {
    link_ = link;
    HFONT old = ownFont_;
    ownFont_ = link ? detail::DeriveFont(detail::DefaultFont(), false, true) : nullptr;
    ::SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(ownFont_ ? ownFont_ : detail::DefaultFont()), TRUE);
    if (old) ::DeleteObject(old);
    SetTextColor(link ? RGB(0, 0, 255) : RGB(0, 0, 0));
}

// --- Edit -------------------------------------------------------------------------------------
Edit::Edit(Container& parent, int x, int y, int w, int h, const std::wstring& text, bool multiline, bool readOnly) {
    DWORD style = WS_TABSTOP | (readOnly ? ES_READONLY : 0);
    style |= multiline ? ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | WS_VSCROLL : ES_AUTOHSCROLL;
    Create(&parent, L"EDIT", text, style, WS_EX_CLIENTEDGE, x, y, w, h);
}

void Edit::SetReadOnly(bool readOnly) {
    if (hwnd_) ::SendMessageW(hwnd_, EM_SETREADONLY, readOnly ? TRUE : FALSE, 0);
}

bool Edit::HandleCommand(WORD code) {
    if (code != EN_CHANGE) return false;
    SafeCall(OnChange);
    return true;
}

// --- NumEdit ----------------------------------------------------------------------------------
NumEdit::NumEdit(Container& parent, int x, int y, int w, int h, int minValue, int maxValue, int value)
    : min_(std::min(minValue, maxValue)), max_(std::max(minValue, maxValue)) {
    Create(&parent, L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL | (min_ >= 0 ? ES_NUMBER : 0), WS_EX_CLIENTEDGE,
           x, y, w, h);
    updown_ = ::CreateWindowExW(0, UPDOWN_CLASSW, nullptr,
                                WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS,
                                0, 0, 0, 0, parent.Handle(), nullptr, Instance(), nullptr);
    if (updown_) {
        ::SendMessageW(updown_, UDM_SETBUDDY, reinterpret_cast<WPARAM>(hwnd_), 0);
        ::SendMessageW(updown_, UDM_SETRANGE32, static_cast<WPARAM>(min_), static_cast<LPARAM>(max_));
    }
    SetValue(value);
}

NumEdit::~NumEdit() {
    // Without its edit the form is closed, and the up-down went with it.
    if (hwnd_ && updown_ && ::IsWindow(updown_)) ::DestroyWindow(updown_);
}

int NumEdit::Value() const {
    std::wstring t = Text();
    const wchar_t* s = t.c_str();
    while (*s == L' ') ++s;
    wchar_t* end = nullptr;
    long long v = std::wcstoll(s, &end, 10);
    if (end == s) return min_;
    if (v < min_) return min_;
    if (v > max_) return max_;
    return static_cast<int>(v);
}

void NumEdit::SetValue(int value) {
    value = std::clamp(value, min_, max_);
    SetText(std::to_wstring(value));
    if (updown_) ::SendMessageW(updown_, UDM_SETPOS32, 0, value);
}

void NumEdit::SetRange(int minValue, int maxValue) {
    int v = Value();
    min_ = std::min(minValue, maxValue);
    max_ = std::max(minValue, maxValue);
    if (updown_) ::SendMessageW(updown_, UDM_SETRANGE32, static_cast<WPARAM>(min_), static_cast<LPARAM>(max_));
    SetValue(v);
}

bool NumEdit::HandleCommand(WORD code) {
    if (code != EN_CHANGE) return false;
    SafeCall(OnChange);
    return true;
}

void detail::SyncBuddy(NumEdit& n) {
    HWND ud = ControlAccess::Buddy(n);
    if (!ud || !n.Handle()) return;
    ::ShowWindow(ud, n.Visible() ? SW_SHOWNA : SW_HIDE);
    ::EnableWindow(ud, n.Enabled() ? TRUE : FALSE);
}

// --- ComboBox ---------------------------------------------------------------------------------
ComboBox::ComboBox(Container& parent, int x, int y, int w, int h, bool dropDownList) {
    // The window height includes the drop-down list.
    Create(&parent, WC_COMBOBOXW, L"", WS_TABSTOP | WS_VSCROLL | (dropDownList ? CBS_DROPDOWNLIST : CBS_DROPDOWN | CBS_AUTOHSCROLL),
           0, x, y, w, h + 200);
}

void ComboBox::AddItem(const std::wstring& text) {
    ::SendMessageW(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void ComboBox::Clear() { ::SendMessageW(hwnd_, CB_RESETCONTENT, 0, 0); }

int ComboBox::Count() const { return hwnd_ ? static_cast<int>(::SendMessageW(hwnd_, CB_GETCOUNT, 0, 0)) : 0; }

int ComboBox::ItemIndex() const { return hwnd_ ? static_cast<int>(::SendMessageW(hwnd_, CB_GETCURSEL, 0, 0)) : -1; }

void ComboBox::SetItemIndex(int index) {
    if (index < 0 || index >= Count()) index = -1;
    ::SendMessageW(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

std::wstring ComboBox::Item(int index) const {
    if (index < 0 || index >= Count()) return L"";
    LRESULT n = ::SendMessageW(hwnd_, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (n <= 0) return L"";
    std::wstring s(static_cast<size_t>(n) + 1, L'\0');
    LRESULT got = ::SendMessageW(hwnd_, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&s[0]));
    s.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return s;
}

bool ComboBox::HandleCommand(WORD code) {
    if (code != CBN_SELCHANGE && code != CBN_EDITCHANGE) return false;
    SafeCall(OnChange);
    return true;
}

// --- DateTimePicker ---------------------------------------------------------------------------
std::wstring TimePickerFormat(const std::wstring& localeTimeFormat) {
    // Split into fields (runs of one format letter) and the text between them.
    struct Part {
        std::wstring text;
        wchar_t field;   // h, H, m, s, t; 0 for literal text
    };
    std::vector<Part> parts;
    const std::wstring& f = localeTimeFormat;
    for (size_t i = 0; i < f.size();) {
        wchar_t c = f[i];
        if (c == L'h' || c == L'H' || c == L'm' || c == L's' || c == L't') {
            size_t j = i;
            while (j < f.size() && f[j] == c) ++j;
            parts.push_back({f.substr(i, j - i), c});
            i = j;
            continue;
        }
        size_t j = i;
        while (j < f.size()) {
            wchar_t d = f[j];
            if (d == L'h' || d == L'H' || d == L'm' || d == L's' || d == L't') break;
            if (d == L'\'') {   // a quoted literal runs to the closing quote
                size_t close = f.find(L'\'', j + 1);
                j = close == std::wstring::npos ? f.size() : close + 1;
                continue;
            }
            ++j;
        }
        if (!parts.empty() && parts.back().field == 0) parts.back().text += f.substr(i, j - i);
        else parts.push_back({f.substr(i, j - i), 0});
        i = j;
    }
    // Seconds go, with the separator that leads to them (or follows them at the start).
    for (size_t i = 0; i < parts.size();) {
        if (parts[i].field != L's') {
            ++i;
            continue;
        }
        if (i > 0 && parts[i - 1].field == 0) {
            parts.erase(parts.begin() + static_cast<std::ptrdiff_t>(i - 1), parts.begin() + static_cast<std::ptrdiff_t>(i + 1));
            --i;
        } else if (i + 1 < parts.size() && parts[i + 1].field == 0) {
            parts.erase(parts.begin() + static_cast<std::ptrdiff_t>(i), parts.begin() + static_cast<std::ptrdiff_t>(i + 2));
        } else {
            parts.erase(parts.begin() + static_cast<std::ptrdiff_t>(i));
        }
    }
    std::wstring out;
    bool hour = false, minute = false;
    for (Part& p : parts) {
        if (p.field == L'h' || p.field == L'H') {
            hour = true;
            if (p.text.size() == 1) p.text += p.text;   // a one-digit hour field is drawn with a gap
        }
        if (p.field == L'm') minute = true;
        out += p.text;
    }
    if (!hour || !minute) return L"hh:mm tt";
    return out;
}

DateTimePicker::DateTimePicker(Container& parent, int x, int y, int w, int h, bool timeOnly) {
    Create(&parent, DATETIMEPICK_CLASSW, L"", WS_TABSTOP | (timeOnly ? DTS_TIMEFORMAT : DTS_SHORTDATEFORMAT), 0,
           x, y, w, h);
    if (timeOnly) {
        wchar_t buf[80] = {};
        std::wstring locale;
        if (::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_STIMEFORMAT, buf, 80) > 0) locale = buf;
        std::wstring format = TimePickerFormat(locale);
        ::SendMessageW(hwnd_, DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(format.c_str()));
    }
}

SYSTEMTIME DateTimePicker::Value() const {
    SYSTEMTIME st{};
    if (!hwnd_ || ::SendMessageW(hwnd_, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)) != GDT_VALID)
        ::GetLocalTime(&st);
    return st;
}

void DateTimePicker::SetValue(const SYSTEMTIME& value) {
    SYSTEMTIME st = value;
    ::SendMessageW(hwnd_, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
}

bool DateTimePicker::HandleNotify(NMHDR* hdr, LRESULT& result) {
    if (hdr->code != DTN_DATETIMECHANGE) return false;
    SafeCall(OnChange);
    result = 0;
    return true;
}

// --- ProgressBar ------------------------------------------------------------------------------
ProgressBar::ProgressBar(Container& parent, int x, int y, int w, int h) {
    Create(&parent, PROGRESS_CLASSW, L"", 0, 0, x, y, w, h);
    SetRange(0, 100);
}

void ProgressBar::SetRange(int minValue, int maxValue) {
    if (maxValue < minValue) std::swap(minValue, maxValue);
    ::SendMessageW(hwnd_, PBM_SETRANGE32, static_cast<WPARAM>(minValue), static_cast<LPARAM>(maxValue));
}

void ProgressBar::SetPosition(int position) {
    ::SendMessageW(hwnd_, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

int ProgressBar::Position() const { return hwnd_ ? static_cast<int>(::SendMessageW(hwnd_, PBM_GETPOS, 0, 0)) : 0; }

int ProgressBar::Max() const { return hwnd_ ? static_cast<int>(::SendMessageW(hwnd_, PBM_GETRANGE, FALSE, 0)) : 0; }

// --- Picture ----------------------------------------------------------------------------------
Picture::Picture(Container& parent, int x, int y, int w, int h) {
    Create(&parent, detail::kWindowClass, L"", 0, 0, x, y, w, h);
}

void Picture::SetBitmap(HBITMAP bitmap) {
    bitmap_ = bitmap;
    Invalidate();
}

void Picture::Click() { SafeCall(OnClick); }

LRESULT Picture::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    HWND hwnd = hwnd_;
    switch (msg) {
    case WM_ERASEBKGND:
        if (OnPaint || bitmap_) return 1;
        break;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(hwnd, &ps);
        RECT rc;
        ::GetClientRect(hwnd, &rc);
        if (OnPaint) {
            SafeCall([&] { OnPaint(dc, rc); });
        } else if (bitmap_) {
            BITMAP bm{};
            ::GetObjectW(bitmap_, sizeof(bm), &bm);
            HDC mem = ::CreateCompatibleDC(dc);
            HGDIOBJ old = ::SelectObject(mem, bitmap_);
            ::FillRect(dc, &rc, ::GetSysColorBrush(COLOR_BTNFACE));
            ::BitBlt(dc, 0, 0, bm.bmWidth, bm.bmHeight, mem, 0, 0, SRCCOPY);
            ::SelectObject(mem, old);
            ::DeleteDC(mem);
        }
        ::EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_SETCURSOR:
        if (hand_ && LOWORD(lp) == HTCLIENT) {
            ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        }
        break;
    case WM_MOUSEMOVE: {
        if (!inside_) {
            inside_ = true;
            TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, hwnd, 0};
            ::TrackMouseEvent(&tme);
            SafeCall(OnMouseEnter);
        }
        if (OnMouseMove) {
            int x = detail::Unscale(GET_X_LPARAM(lp)), y = detail::Unscale(GET_Y_LPARAM(lp));
            SafeCall([&] { OnMouseMove(x, y); });
        }
        return 0;
    }
    case WM_MOUSELEAVE:
        inside_ = false;
        SafeCall(OnMouseExit);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        pressed_ = true;
        ::SetCapture(hwnd);
        SafeCall(OnMouseDown);
        return 0;
    case WM_LBUTTONUP: {
        bool wasPressed = pressed_;
        pressed_ = false;
        if (::GetCapture() == hwnd) ::ReleaseCapture();
        SafeCall(OnMouseUp);
        POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        RECT rc;
        ::GetClientRect(hwnd, &rc);
        if (wasPressed && ::PtInRect(&rc, pt)) Click();
        return 0;
    }
    case WM_CAPTURECHANGED:
        pressed_ = false;
        break;
    case WM_NCHITTEST: {
        // A picture on a form that is dragged anywhere moves the form unless it reacts to clicks.
        Form* f = OwnerForm();
        if (f && !OnClick && !OnMouseDown && !OnMouseUp && f->Handle()) {
            LRESULT hit = ::SendMessageW(f->Handle(), WM_NCHITTEST, wp, lp);
            if (hit == HTCAPTION) return HTTRANSPARENT;
        }
        break;
    }
    }
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}

// --- BusyAnimation ----------------------------------------------------------------------------
namespace {
constexpr UINT_PTR kBusyTimer = 1;
constexpr int kBusyDots = 12;
}

BusyAnimation::BusyAnimation(Container& parent, int x, int y, int w, int h) {
    Create(&parent, detail::kWindowClass, L"", 0, 0, x, y, w, h);
}

BusyAnimation::~BusyAnimation() {
    if (hwnd_ && ::IsWindow(hwnd_)) ::KillTimer(hwnd_, kBusyTimer);
}

void BusyAnimation::SetActive(bool active) {
    if (active == active_) return;
    active_ = active;
    if (!hwnd_) return;
    if (active) ::SetTimer(hwnd_, kBusyTimer, 90, nullptr);
    else ::KillTimer(hwnd_, kBusyTimer);
    Invalidate();
}

LRESULT BusyAnimation::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    HWND hwnd = hwnd_;
    switch (msg) {
    case WM_TIMER:
        if (wp == kBusyTimer) {
            frame_ = (frame_ + 1) % kBusyDots;
            ::InvalidateRect(hwnd, nullptr, FALSE);
            return 0;
        }
        break;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(hwnd, &ps);
        RECT rc;
        ::GetClientRect(hwnd, &rc);
        int w = rc.right, h = rc.bottom;
        HDC mem = ::CreateCompatibleDC(dc);
        HBITMAP bmp = ::CreateCompatibleBitmap(dc, std::max(w, 1), std::max(h, 1));
        HGDIOBJ oldBmp = ::SelectObject(mem, bmp);
        ::FillRect(mem, &rc, ::GetSysColorBrush(COLOR_BTNFACE));
        int size = std::min(w, h);
        double cx = w / 2.0, cy = h / 2.0, radius = size * 0.36, dot = std::max(1.5, size * 0.09);
        HGDIOBJ oldPen = ::SelectObject(mem, ::GetStockObject(NULL_PEN));
        for (int i = 0; i < kBusyDots; ++i) {
            // The head dot is darkest; the tail fades out behind it.
            int age = ((frame_ - i) % kBusyDots + kBusyDots) % kBusyDots;
            int shade = active_ ? std::min(220, 40 + age * 16) : 200;
            HBRUSH br = ::CreateSolidBrush(RGB(shade, shade, active_ ? 255 - age * 6 : shade));
            HGDIOBJ oldBr = ::SelectObject(mem, br);
            double a = 2.0 * 3.14159265358979 * i / kBusyDots;
            int x = static_cast<int>(cx + radius * std::sin(a)), y = static_cast<int>(cy - radius * std::cos(a));
            int r = static_cast<int>(dot);
            ::Ellipse(mem, x - r, y - r, x + r + 1, y + r + 1);
            ::SelectObject(mem, oldBr);
            ::DeleteObject(br);
        }
        ::SelectObject(mem, oldPen);
        ::BitBlt(dc, 0, 0, w, h, mem, 0, 0, SRCCOPY);
        ::SelectObject(mem, oldBmp);
        ::DeleteObject(bmp);
        ::DeleteDC(mem);
        ::EndPaint(hwnd, &ps);
        return 0;
    }
    }
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}

// --- PopupMenu --------------------------------------------------------------------------------
void PopupMenu::Item::Click() { SafeCall(OnClick); }

PopupMenu::PopupMenu() = default;
PopupMenu::~PopupMenu() = default;

PopupMenu::Item& PopupMenu::Add(const std::wstring& caption, std::function<void()> onClick) {
    auto item = std::make_unique<Item>();
    item->caption = caption;
    item->OnClick = std::move(onClick);
    items_.push_back(std::move(item));
    return *items_.back();
}

void PopupMenu::Popup(HWND owner, int screenX, int screenY) {
    SafeCall(OnPopup);
    HMENU menu = ::CreatePopupMenu();
    if (!menu) return;
    for (size_t i = 0; i < items_.size(); ++i) {
        const Item& it = *items_[i];
        if (!it.visible) continue;
        if (it.caption == L"-") {
            ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        UINT flags = MF_STRING | (it.enabled ? MF_ENABLED : MF_GRAYED) | (it.checked ? MF_CHECKED : MF_UNCHECKED);
        ::AppendMenuW(menu, flags, i + 1, it.caption.c_str());
    }
    HWND top = owner ? ::GetAncestor(owner, GA_ROOT) : nullptr;
    if (top) ::SetForegroundWindow(top);
    UINT cmd = static_cast<UINT>(::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                                                  screenX, screenY, 0, top ? top : owner, nullptr));
    ::DestroyMenu(menu);
    if (cmd >= 1 && cmd <= items_.size() && items_[cmd - 1]->enabled) items_[cmd - 1]->Click();
}

}  // namespace ui
