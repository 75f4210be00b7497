// The window layer's core: the application state, the message loops, the window class shared by
// forms, panels and tab pages, the Control base and the Form.
#include "ui/ui.h"
#include "ui/dialogs.h"
#include "ui/formsettings.h"
#include "ui/internal.h"
#include "core/errors.h"
#include <windowsx.h>

namespace ui {

namespace {
HINSTANCE g_instance = nullptr;
std::wstring g_title = L"Kestrune";
bool g_terminated = false;
std::function<void(const std::wstring&)> g_helpHandler;
int g_dpi = 0;
UINT g_nextId = 1000;
HFONT g_font = nullptr;
const wchar_t* const kTipProp = L"KesTooltip";

std::wstring Widen(const char* s) {
    if (!s || !*s) return L"";
    int n = ::MultiByteToWideChar(CP_ACP, 0, s, -1, nullptr, 0);
    if (n <= 1) return L"";
    std::wstring w(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, s, -1, &w[0], n);
    w.resize(static_cast<size_t>(n - 1));
    return w;
}

// The form a message belongs to (its top-level window), if it is one of ours.
Form* RootForm(HWND hwnd) {
    if (!hwnd) return nullptr;
    HWND root = ::GetAncestor(hwnd, GA_ROOT);
    return dynamic_cast<Form*>(Control::FromHandle(root));
}

bool PreTranslateAny(MSG& msg) {
    if (!msg.hwnd) return false;
    if (Form* f = RootForm(msg.hwnd)) return f->PreTranslate(msg);
    return false;
}

bool ClassIs(HWND hwnd, const wchar_t* name) {
    wchar_t buf[64] = {};
    ::GetClassNameW(hwnd, buf, 64);
    return ::lstrcmpiW(buf, name) == 0;
}
}  // namespace

// --- internal helpers shared by the layer's files ---------------------------------------------
namespace detail {

const wchar_t* const kWindowClass = L"KestruneWindow";

HFONT DefaultFont() {
    if (!g_font) {
        NONCLIENTMETRICSW ncm{};
        ncm.cbSize = sizeof(ncm);
        if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0)) {
            g_font = ::CreateFontIndirectW(&ncm.lfMessageFont);
        }
        if (!g_font) g_font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    }
    return g_font;
}

HFONT DeriveFont(HFONT base, bool bold, bool underline) {
    LOGFONTW lf{};
    ::GetObjectW(base ? base : DefaultFont(), sizeof(lf), &lf);
    if (bold) lf.lfWeight = FW_BOLD;
    lf.lfUnderline = underline ? TRUE : FALSE;
    return ::CreateFontIndirectW(&lf);
}

int Unscale(int pixels) {
    Scale(0);
    return ::MulDiv(pixels, 96, g_dpi);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

void RegisterClasses() {
    static bool done = false;
    if (done) return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = Instance();
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kWindowClass;
    wc.hIcon = ::LoadIconW(Instance(), MAKEINTRESOURCEW(1));
    if (!wc.hIcon) wc.hIcon = ::LoadIconW(nullptr, IDI_APPLICATION);
    if (::RegisterClassExW(&wc) || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS) done = true;
}

// Messages a container (form, panel, tab page, page control) passes on to the child control
// they come from. True when the message was one of those; result holds the answer.
bool RouteToChild(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
    case WM_COMMAND: {
        HWND child = reinterpret_cast<HWND>(lp);
        if (!child) return false;
        Control* c = Control::FromHandle(child);
        if (!c) return false;
        result = 0;
        if (auto* tb = dynamic_cast<ToolBar*>(c)) {
            tb->HandleToolCommand(LOWORD(wp));
            return true;
        }
        bool handled = false;
        SafeCall([&] { handled = c->HandleCommand(HIWORD(wp)); });
        return handled;
    }
    case WM_NOTIFY: {
        auto* hdr = reinterpret_cast<NMHDR*>(lp);
        if (!hdr) return false;
        Control* c = Control::FromHandle(hdr->hwndFrom);
        if (!c) return false;
        result = 0;
        bool handled = false;
        SafeCall([&] { handled = c->HandleNotify(hdr, result); });
        return handled;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX: {
        Control* c = Control::FromHandle(reinterpret_cast<HWND>(lp));
        if (!c) return false;
        result = ::DefWindowProcW(hwnd, msg, wp, lp);
        c->HandleCtlColor(reinterpret_cast<HDC>(wp), result);
        return true;
    }
    case WM_DRAWITEM: {
        auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
        if (!dis || dis->CtlType == ODT_MENU) return false;
        Control* c = Control::FromHandle(dis->hwndItem);
        if (!c) return false;
        bool handled = false;
        SafeCall([&] { handled = c->HandleDrawItem(dis); });
        result = handled ? TRUE : FALSE;
        return handled;
    }
    case WM_SETCURSOR: {
        Control* c = Control::FromHandle(reinterpret_cast<HWND>(wp));
        auto* link = dynamic_cast<LinkLabel*>(c);
        if (link && link->LinkLook() && LOWORD(lp) == HTCLIENT) {
            ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
            result = TRUE;
            return true;
        }
        return false;
    }
    case WM_CONTEXTMENU: {
        Control* c = Control::FromHandle(reinterpret_cast<HWND>(wp));
        if (auto* lv = dynamic_cast<ListView*>(c)) {
            if (lv->ContextMenu) {
                int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
                if (lp == -1) {   // from the keyboard: under the focused row
                    RECT rc{};
                    int i = lv->FocusedIndex();
                    if (i < 0 || !ListView_GetItemRect(lv->Handle(), i, &rc, LVIR_LABEL)) ::SetRect(&rc, 0, 0, 8, 8);
                    POINT pt{rc.left + 8, rc.bottom};
                    ::ClientToScreen(lv->Handle(), &pt);
                    x = pt.x;
                    y = pt.y;
                }
                lv->ContextMenu->Popup(lv->Handle(), x, y);
                result = 0;
                return true;
            }
        }
        return false;
    }
    default:
        return false;
    }
}

// Lays out the docked bars after a container changed size.
void RelayoutBars(HWND hwnd) {
    for (HWND child = ::GetWindow(hwnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        Control* c = Control::FromHandle(child);
        if (auto* sb = dynamic_cast<StatusBar*>(c)) {
            ::SendMessageW(child, WM_SIZE, 0, 0);
            sb->Relayout();
        } else if (dynamic_cast<ToolBar*>(c)) {
            ::SendMessageW(child, TB_AUTOSIZE, 0, 0);
        }
    }
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
        if (auto* c = static_cast<Control*>(cs->lpCreateParams)) detail::ControlAccess::SetHandle(*c, hwnd);
    }
    Control* self = Control::FromHandle(hwnd);
    if (!self) return ::DefWindowProcW(hwnd, msg, wp, lp);
    LRESULT result = 0;
    try {
        if (auto* f = dynamic_cast<Form*>(self)) return f->WindowProc(msg, wp, lp);
        if (msg == WM_NCDESTROY) {
            ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            detail::ControlAccess::SetHandle(*self, nullptr);
            return ::DefWindowProcW(hwnd, msg, wp, lp);
        }
        if (auto* p = dynamic_cast<Picture*>(self)) return p->WindowProc(msg, wp, lp);
        if (auto* b = dynamic_cast<BusyAnimation*>(self)) return b->WindowProc(msg, wp, lp);
        if (RouteToChild(hwnd, msg, wp, lp, result)) return result;
        if (msg == WM_SIZE) RelayoutBars(hwnd);
    } catch (...) {
        ReportException(std::current_exception());
        return 0;
    }
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}

// The tool-tip window of a form, created on first use and destroyed with the form.
HWND FormTooltip(HWND anyChild) {
    HWND root = ::GetAncestor(anyChild, GA_ROOT);
    if (!root) return nullptr;
    HWND tip = static_cast<HWND>(::GetPropW(root, kTipProp));
    if (tip && ::IsWindow(tip)) return tip;
    tip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, root, nullptr,
                            Instance(), nullptr);
    if (tip) {
        ::SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, 400);
        ::SetPropW(root, kTipProp, tip);
    }
    return tip;
}

}  // namespace detail

// --- application ------------------------------------------------------------------------------
void InitApplication(HINSTANCE instance, const std::wstring& title) {
    g_instance = instance ? instance : ::GetModuleHandleW(nullptr);
    g_title = title;
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_DATE_CLASSES |
                                              ICC_USEREX_CLASSES | ICC_COOL_CLASSES | ICC_INTERNET_CLASSES |
                                              ICC_PAGESCROLLER_CLASS | ICC_NATIVEFNTCTL_CLASS |
                                              ICC_LINK_CLASS};
    if (!::InitCommonControlsEx(&icc)) {
        // Without version 6 of the common controls the link class is missing: the rest still works.
        icc.dwICC &= ~static_cast<DWORD>(ICC_LINK_CLASS);
        ::InitCommonControlsEx(&icc);
    }
    detail::RegisterClasses();
}

HINSTANCE Instance() {
    if (!g_instance) g_instance = ::GetModuleHandleW(nullptr);
    return g_instance;
}

const std::wstring& ApplicationTitle() { return g_title; }

void ProcessMessages() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            g_terminated = true;
            break;
        }
        if (PreTranslateAny(msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

void RunMessageLoop() {
    MSG msg;
    while (!g_terminated) {
        BOOL r = ::GetMessageW(&msg, nullptr, 0, 0);
        if (r == 0 || r == -1) {
            g_terminated = true;
            break;
        }
        if (PreTranslateAny(msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

void Terminate() {
    g_terminated = true;
    ::PostThreadMessageW(::GetCurrentThreadId(), WM_NULL, 0, 0);
}

bool Terminated() { return g_terminated; }

int Scale(int pixels) {
    if (!g_dpi) {
        HDC dc = ::GetDC(nullptr);
        g_dpi = dc ? ::GetDeviceCaps(dc, LOGPIXELSX) : 96;
        if (dc) ::ReleaseDC(nullptr, dc);
        if (g_dpi <= 0) g_dpi = 96;
    }
    return ::MulDiv(pixels, g_dpi, 96);
}

void ReportException(std::exception_ptr e) {
    std::wstring text = L"An unexpected error occurred.";
    try {
        if (e) std::rethrow_exception(e);
    } catch (const KesError& k) {
        if (!k.message().empty()) text = k.message();
    } catch (const std::exception& x) {
        std::wstring w = Widen(x.what());
        if (!w.empty()) text = w;
    } catch (...) {
    }
    try {
        MessageBox(text, ApplicationTitle(), MsgIcon::Error, MsgButtons::OK);
    } catch (...) {
        // an answerer that throws must not take the program down from inside a window procedure
    }
}

void SafeCall(const std::function<void()>& handler) {
    if (!handler) return;
    try {
        handler();
    } catch (...) {
        ReportException(std::current_exception());
    }
}

void SetHelpHandler(std::function<void(const std::wstring& topic)> handler) { g_helpHandler = std::move(handler); }

void ShowHelp(const std::wstring& topic) {
    if (g_helpHandler) {
        SafeCall([&] { g_helpHandler(topic); });
        return;
    }
    MessageBox(L"Help topic: " + topic, ApplicationTitle(), MsgIcon::Information, MsgButtons::OK);
}

// --- Control ----------------------------------------------------------------------------------
Control::~Control() {
    if (hwnd_ && ::IsWindow(hwnd_) &&
        ::GetWindowLongPtrW(hwnd_, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(this)) {
        ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        ::DestroyWindow(hwnd_);
    }
    hwnd_ = nullptr;
    if (ownFont_) ::DeleteObject(ownFont_);
    if (backBrush_) ::DeleteObject(backBrush_);
}

Form* Control::OwnerForm() const {
    const Control* c = this;
    while (c) {
        if (auto* f = dynamic_cast<const Form*>(c)) return const_cast<Form*>(f);
        c = c->parent_;
    }
    return nullptr;
}

void Control::Create(Container* parent, const wchar_t* className, const std::wstring& text, DWORD style,
                     DWORD exStyle, int x, int y, int w, int h) {
    detail::RegisterClasses();
    parent_ = parent;
    HWND parentHwnd = parent ? parent->Handle() : nullptr;
    HMENU id = nullptr;
    if (parent) {
        // No WS_CLIPSIBLINGS, as in dialogs: the first created sibling is on top, and a group box
        // created before the controls it frames must not hide them.
        style |= WS_CHILD;
        if (visible_) style |= WS_VISIBLE;
        id = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(g_nextId++));
        if (g_nextId > 0xFFF0) g_nextId = 1000;
    }
    HWND hwnd = ::CreateWindowExW(exStyle, className, text.c_str(), style, Scale(x), Scale(y), Scale(w), Scale(h),
                                  parentHwnd, id, Instance(), this);
    if (!hwnd) ThrowSystemError(L"Cannot create a window of class " + std::wstring(className), ::GetLastError());
    hwnd_ = hwnd;
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ::SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(detail::DefaultFont()), FALSE);
}

Control* Control::FromHandle(HWND hwnd) {
    if (!hwnd || !::IsWindow(hwnd)) return nullptr;
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if (pid != ::GetCurrentProcessId()) return nullptr;
    return reinterpret_cast<Control*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

void Control::SetText(const std::wstring& text) {
    if (hwnd_) ::SetWindowTextW(hwnd_, text.c_str());
}

std::wstring Control::Text() const {
    if (!hwnd_) return L"";
    int n = ::GetWindowTextLengthW(hwnd_);
    if (n <= 0) return L"";
    std::wstring s(static_cast<size_t>(n) + 1, L'\0');
    int got = ::GetWindowTextW(hwnd_, &s[0], n + 1);
    s.resize(static_cast<size_t>(got > 0 ? got : 0));
    return s;
}

void Control::SetVisible(bool visible) {
    visible_ = visible;
    if (!hwnd_) return;
    if (dynamic_cast<Form*>(this)) {
        auto* f = static_cast<Form*>(this);
        if (visible) f->Show(); else f->Hide();
        return;
    }
    ::ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE);
    if (auto* n = dynamic_cast<NumEdit*>(this)) detail::SyncBuddy(*n);
}

void Control::SetEnabled(bool enabled) {
    if (!hwnd_) return;
    ::EnableWindow(hwnd_, enabled ? TRUE : FALSE);
    if (auto* n = dynamic_cast<NumEdit*>(this)) detail::SyncBuddy(*n);
}

bool Control::Enabled() const { return hwnd_ && ::IsWindowEnabled(hwnd_); }

void Control::SetBounds(int x, int y, int w, int h) {
    if (!hwnd_) return;
    ::SetWindowPos(hwnd_, nullptr, Scale(x), Scale(y), Scale(w), Scale(h), SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT Control::Bounds() const {
    RECT rc{};
    if (!hwnd_) return rc;
    ::GetWindowRect(hwnd_, &rc);
    HWND parent = (::GetWindowLongPtrW(hwnd_, GWL_STYLE) & WS_CHILD) ? ::GetParent(hwnd_) : nullptr;
    if (parent) ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rc), 2);
    RECT r{detail::Unscale(rc.left), detail::Unscale(rc.top), detail::Unscale(rc.right), detail::Unscale(rc.bottom)};
    return r;
}

void Control::SetHint(const std::wstring& hint) {
    hint_ = hint;
    if (!hwnd_ || !(::GetWindowLongPtrW(hwnd_, GWL_STYLE) & WS_CHILD)) return;
    HWND tip = detail::FormTooltip(hwnd_);
    if (!tip) return;
    TOOLINFOW ti{};
    ti.cbSize = sizeof(ti);
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = ::GetParent(hwnd_);
    ti.uId = reinterpret_cast<UINT_PTR>(hwnd_);
    ::SendMessageW(tip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    if (hint.empty()) return;
    ti.lpszText = const_cast<wchar_t*>(hint_.c_str());
    ::SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

void Control::SetFocus() {
    if (hwnd_) ::SetFocus(hwnd_);
}

void Control::SetFont(HFONT font) {
    if (hwnd_) ::SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void Control::SetBold(bool bold) {
    if (!hwnd_) return;
    HFONT old = ownFont_;
    ownFont_ = detail::DeriveFont(detail::DefaultFont(), bold, false);
    ::SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(ownFont_), TRUE);
    if (old) ::DeleteObject(old);
}

void Control::SetTextColor(COLORREF color) {
    textColor_ = color;
    Invalidate();
}

void Control::SetBackColor(COLORREF color) {
    backColor_ = color;
    if (backBrush_) ::DeleteObject(backBrush_);
    backBrush_ = color == CLR_INVALID ? nullptr : ::CreateSolidBrush(color);
    Invalidate();
}

void Control::Invalidate() {
    if (hwnd_) ::InvalidateRect(hwnd_, nullptr, TRUE);
}

bool Control::HandleCtlColor(HDC dc, LRESULT& result) {
    if (textColor_ == CLR_INVALID && backColor_ == CLR_INVALID) return false;
    if (textColor_ != CLR_INVALID) ::SetTextColor(dc, textColor_);
    if (backColor_ != CLR_INVALID && backBrush_) {
        ::SetBkColor(dc, backColor_);
        result = reinterpret_cast<LRESULT>(backBrush_);
    }
    return true;
}

// --- containers -------------------------------------------------------------------------------
Panel::Panel(Container& parent, int x, int y, int w, int h, bool border) {
    Create(&parent, detail::kWindowClass, L"", 0, WS_EX_CONTROLPARENT | (border ? WS_EX_STATICEDGE : 0),
           x, y, w, h);
}

namespace {
// A group box's own class never paints its inside and relies on the parent having painted
// there; where the parent did not (only the frame was invalidated, or the parent clips its
// children) the inside showed whatever the screen held, black on a fresh surface. The frame
// therefore fills its inside with the parent's background brush (WM_CTLCOLORSTATIC, as the
// frame's own caption uses), leaving out the sibling controls that lie over it.
LRESULT CALLBACK GroupBoxProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR) {
    if (msg == WM_ERASEBKGND && wp) {
        HDC dc = reinterpret_cast<HDC>(wp);
        HWND parent = ::GetParent(hwnd);
        HBRUSH brush = parent ? reinterpret_cast<HBRUSH>(::SendMessageW(parent, WM_CTLCOLORSTATIC, wp,
                                                                         reinterpret_cast<LPARAM>(hwnd)))
                              : nullptr;
        if (!brush) brush = ::GetSysColorBrush(COLOR_BTNFACE);
        RECT rc{};
        ::GetClientRect(hwnd, &rc);
        int saved = ::SaveDC(dc);
        if (parent) {
            RECT mine = rc;
            ::MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&mine), 2);
            for (HWND s = ::GetWindow(parent, GW_CHILD); s; s = ::GetWindow(s, GW_HWNDNEXT)) {
                if (s == hwnd || !::IsWindowVisible(s)) continue;
                RECT r{}, overlap{};
                ::GetWindowRect(s, &r);
                if (!::IntersectRect(&overlap, &r, &mine)) continue;
                ::MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&overlap), 2);
                ::ExcludeClipRect(dc, overlap.left, overlap.top, overlap.right, overlap.bottom);
            }
        }
        ::FillRect(dc, &rc, brush);
        ::RestoreDC(dc, saved);
        return 1;
    }
    if (msg == WM_NCDESTROY) ::RemoveWindowSubclass(hwnd, GroupBoxProc, id);
    return ::DefSubclassProc(hwnd, msg, wp, lp);
}
}  // namespace

GroupBox::GroupBox(Container& parent, int x, int y, int w, int h, const std::wstring& caption) {
    Create(&parent, L"BUTTON", caption, BS_GROUPBOX, 0, x, y, w, h);
    ::SetWindowSubclass(hwnd_, GroupBoxProc, 1, 0);
}

// --- Form -------------------------------------------------------------------------------------
Form::Form(const std::wstring& caption, int clientWidth, int clientHeight, FormStyle style, Form* owner)
    : owner_(owner) {
    // No WS_CLIPCHILDREN: group boxes leave their inside to the parent's background.
    DWORD ws = 0, ex = WS_EX_CONTROLPARENT;
    switch (style) {
    case FormStyle::Dialog: ws |= WS_CAPTION | WS_SYSMENU; ex |= WS_EX_DLGMODALFRAME; break;
    case FormStyle::Sizeable: ws |= WS_OVERLAPPEDWINDOW; break;
    case FormStyle::ToolWindow: ws |= WS_CAPTION | WS_SYSMENU; ex |= WS_EX_TOOLWINDOW; break;
    case FormStyle::Popup: ws |= WS_POPUP; break;
    }
    RECT rc{0, 0, Scale(clientWidth), Scale(clientHeight)};
    ::AdjustWindowRectEx(&rc, ws, FALSE, ex);
    int w = rc.right - rc.left, h = rc.bottom - rc.top;
    int x = (::GetSystemMetrics(SM_CXSCREEN) - w) / 2, y = (::GetSystemMetrics(SM_CYSCREEN) - h) / 2;
    visible_ = false;
    detail::RegisterClasses();
    HWND hwnd = ::CreateWindowExW(ex, detail::kWindowClass, caption.c_str(), ws, x, y, w, h,
                                  owner ? owner->Handle() : nullptr, nullptr, Instance(), static_cast<Control*>(this));
    if (!hwnd) ThrowSystemError(L"Cannot create the window \"" + caption + L"\"", ::GetLastError());
    hwnd_ = hwnd;
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(static_cast<Control*>(this)));
    ::SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(detail::DefaultFont()), FALSE);
}

Form::~Form() {
    // The derived window's members are gone by now: no OnClose, no settings (a FormSettings
    // member saves itself when it is destroyed before the form was closed).
    OnClose = nullptr;
    OnShow = nullptr;
    OnMessage = nullptr;
    OnPaint = nullptr;
    OnMouseMove = nullptr;
    OnKeyDown = nullptr;
    settings_ = nullptr;
    Close();
}

void Form::FirstShow() {
    if (shownOnce_) return;
    shownOnce_ = true;
    if (settings_ && !settings_->Restored()) {
        FormSettings* s = settings_;
        SafeCall([s] { s->Restore(); });
    }
    if (DefaultButton && DefaultButton->Handle()) {
        ::SendMessageW(DefaultButton->Handle(), BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    }
    SafeCall(OnShow);
}

void Form::Show() {
    if (closed_ || !hwnd_) return;
    FirstShow();
    if (closed_) return;
    visible_ = true;
    ::ShowWindow(hwnd_, showMaximized_ ? SW_SHOWMAXIMIZED : SW_SHOW);
    showMaximized_ = false;
    ::UpdateWindow(hwnd_);
}

void Form::Hide() {
    visible_ = false;
    if (hwnd_) ::ShowWindow(hwnd_, SW_HIDE);
}

void Form::ShowModal() {
    if (closed_ || !hwnd_ || modal_) return;
    HWND owner = owner_ ? owner_->Handle() : ::GetActiveWindow();
    if (owner == hwnd_) owner = nullptr;
    if (owner) owner = ::GetAncestor(owner, GA_ROOT);
    if (owner && !owner_) ::SetWindowLongPtrW(hwnd_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    modal_ = true;
    if (owner && ::IsWindowEnabled(owner)) {
        ::EnableWindow(owner, FALSE);
        disabledOwner_ = owner;
    }
    Show();
    if (!closed_) ::SetForegroundWindow(hwnd_);
    MSG msg;
    while (!closed_) {
        BOOL r = ::GetMessageW(&msg, nullptr, 0, 0);
        if (r == 0 || r == -1) {
            // WM_QUIT: end this loop and pass the quit on to the outer loop.
            Close();
            if (r == 0) ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (PreTranslateAny(msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    if (disabledOwner_) {
        ::EnableWindow(disabledOwner_, TRUE);
        disabledOwner_ = nullptr;
    }
    modal_ = false;
}

void Form::Close() {
    if (closed_) return;
    closed_ = true;
    SafeCall(OnClose);
    if (settings_ && settings_->Restored()) {
        FormSettings* s = settings_;
        SafeCall([s] { s->Save(); });
    }
    // Give the activation back to the owner before this window goes away.
    if (disabledOwner_) {
        ::EnableWindow(disabledOwner_, TRUE);
        HWND o = disabledOwner_;
        disabledOwner_ = nullptr;
        if (hwnd_ && ::GetActiveWindow() == hwnd_) ::SetActiveWindow(o);
    }
    visible_ = false;
    if (hwnd_ && ::IsWindow(hwnd_)) {
        HWND h = hwnd_;
        ::ShowWindow(h, SW_HIDE);
        // The controls outlive their windows: they forget them, so no stale handle is used later.
        ::EnumChildWindows(h, [](HWND child, LPARAM) -> BOOL {
            if (Control* c = Control::FromHandle(child)) {
                ::SetWindowLongPtrW(child, GWLP_USERDATA, 0);
                detail::ControlAccess::SetHandle(*c, nullptr);
            }
            return TRUE;
        }, 0);
        ::DestroyWindow(h);
    }
    hwnd_ = nullptr;
    // Wake a modal loop that waits in GetMessage.
    ::PostThreadMessageW(::GetCurrentThreadId(), WM_NULL, 0, 0);
}

bool Form::Showing() const { return hwnd_ && ::IsWindowVisible(hwnd_); }

void Form::Center() {
    if (!hwnd_) return;
    RECT rc{};
    ::GetWindowRect(hwnd_, &rc);
    MONITORINFO mi{};
    mi.cbSize = sizeof(mi);
    ::GetMonitorInfoW(::MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY), &mi);
    int w = rc.right - rc.left, h = rc.bottom - rc.top;
    int x = mi.rcWork.left + ((mi.rcWork.right - mi.rcWork.left) - w) / 2;
    int y = mi.rcWork.top + ((mi.rcWork.bottom - mi.rcWork.top) - h) / 2;
    ::SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::SetPosition(int x, int y) {
    if (hwnd_) ::SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::SetStayOnTop(bool onTop) {
    if (hwnd_) ::SetWindowPos(hwnd_, onTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void Form::SetRegion(HRGN region) {
    if (hwnd_) ::SetWindowRgn(hwnd_, region, TRUE);
    else if (region) ::DeleteObject(region);
}

bool Form::PreTranslate(MSG& msg) {
    if (!hwnd_ || closed_) return false;
    if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
        WORD vk = static_cast<WORD>(msg.wParam);
        HWND focus = ::GetFocus();
        // An in-place rename in a list view and an open drop-down keep their keys.
        bool labelEdit = focus && ClassIs(focus, L"Edit") && ::GetParent(focus) &&
                         ClassIs(::GetParent(focus), WC_LISTVIEWW);
        if (labelEdit) return false;
        if (msg.message == WM_KEYDOWN && KeyPreview && OnKeyDown) {
            bool handled = false;
            SafeCall([&] { handled = OnKeyDown(vk); });
            if (handled) return true;
            if (closed_) return true;
        }
        if (msg.message != WM_KEYDOWN) return ::IsDialogMessageW(hwnd_, &msg) != FALSE;
        if (vk == VK_F1 && !HelpTopic.empty()) {
            ShowHelp(HelpTopic);
            return true;
        }
        HWND combo = focus;
        if (combo && ClassIs(combo, L"Edit") && ::GetParent(combo) && ClassIs(::GetParent(combo), WC_COMBOBOXW))
            combo = ::GetParent(combo);
        bool dropped = combo && ClassIs(combo, WC_COMBOBOXW) && ::SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0);
        if (vk == VK_RETURN && !dropped) {
            Control* fc = Control::FromHandle(focus);
            if (auto* b = dynamic_cast<Button*>(fc)) {
                b->Click();
                return true;
            }
            bool wantsReturn = focus && ClassIs(focus, L"Edit") && (::GetWindowLongPtrW(focus, GWL_STYLE) & ES_WANTRETURN);
            if (!wantsReturn && DefaultButton && DefaultButton->Enabled() && DefaultButton->Visible()) {
                DefaultButton->Click();
                return true;
            }
        }
        if (vk == VK_ESCAPE && !dropped && CancelButton && CancelButton->Enabled()) {
            CancelButton->Click();
            return true;
        }
    }
    if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) return ::IsDialogMessageW(hwnd_, &msg) != FALSE;
    return false;
}

LRESULT Form::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    HWND hwnd = hwnd_;
    if (OnMessage && msg != WM_NCDESTROY) OnMessage(msg, wp, lp);
    LRESULT result = 0;
    if (detail::RouteToChild(hwnd, msg, wp, lp, result)) return result;
    switch (msg) {
    case WM_CLOSE:
        Close();
        return 0;
    case WM_NCHITTEST: {
        LRESULT hit = ::DefWindowProcW(hwnd, msg, wp, lp);
        if (dragAnywhere_ && hit == HTCLIENT) return HTCAPTION;
        return hit;
    }
    case WM_ERASEBKGND:
        if (OnPaint) return 1;
        break;
    case WM_PAINT:
        if (OnPaint) {
            PAINTSTRUCT ps;
            HDC dc = ::BeginPaint(hwnd, &ps);
            RECT rc;
            ::GetClientRect(hwnd, &rc);
            SafeCall([&] { OnPaint(dc, rc); });
            ::EndPaint(hwnd, &ps);
            return 0;
        }
        break;
    case WM_MOUSEMOVE:
        if (OnMouseMove) {
            int x = detail::Unscale(GET_X_LPARAM(lp)), y = detail::Unscale(GET_Y_LPARAM(lp));
            SafeCall([&] { OnMouseMove(x, y); });
        }
        break;
    case WM_SIZE:
        detail::RelayoutBars(hwnd);
        break;
    case WM_NEXTDLGCTL: {
        // Sent by the dialog navigation for a label's mnemonic: to a control, or the next/previous.
        HWND target = nullptr;
        if (LOWORD(lp)) target = reinterpret_cast<HWND>(wp);
        else target = ::GetNextDlgTabItem(hwnd, ::GetFocus(), wp ? TRUE : FALSE);
        if (target && ::IsChild(hwnd, target)) ::SetFocus(target);
        return 0;
    }
    case WM_NCDESTROY:
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        hwnd_ = nullptr;
        if (!closed_) {   // destroyed from outside (end of session): treat as closed
            closed_ = true;
            if (disabledOwner_) {
                ::EnableWindow(disabledOwner_, TRUE);
                disabledOwner_ = nullptr;
            }
        }
        break;
    }
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace ui
