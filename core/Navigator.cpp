#include "core/Navigator.h"
#include "core/common.h"
#include "core/help.h"
#include "core/shellopen.h"
#include "ui/dialogs.h"

namespace {

enum class Look { Normal, Hover, Pressed };

void FillGradient(HDC dc, const RECT& rc, COLORREF top, COLORREF bottom) {
    TRIVERTEX v[2] = {{rc.left, rc.top, static_cast<COLOR16>(GetRValue(top) << 8),
                       static_cast<COLOR16>(GetGValue(top) << 8), static_cast<COLOR16>(GetBValue(top) << 8), 0},
                      {rc.right, rc.bottom, static_cast<COLOR16>(GetRValue(bottom) << 8),
                       static_cast<COLOR16>(GetGValue(bottom) << 8), static_cast<COLOR16>(GetBValue(bottom) << 8), 0}};
    GRADIENT_RECT g{0, 1};
    ::GradientFill(dc, v, 2, &g, 1, GRADIENT_FILL_RECT_V);
}

void DrawText(HDC dc, RECT rc, const std::wstring& text, int height, int weight, COLORREF color, UINT format) {
    HFONT f = ::CreateFontW(-ui::Scale(height), 0, 0, 0, weight, 0, 0, 0, DEFAULT_CHARSET, 0, 0, ANTIALIASED_QUALITY,
                            0, L"Arial");
    HGDIOBJ old = ::SelectObject(dc, f);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, color);
    ::DrawTextW(dc, text.c_str(), -1, &rc, format);
    ::SelectObject(dc, old);
    ::DeleteObject(f);
}

void DrawButtonLook(HDC dc, const RECT& rc, const std::wstring& caption, Look look) {
    COLORREF top = look == Look::Normal ? RGB(58, 92, 150) : look == Look::Hover ? RGB(250, 196, 60) : RGB(170, 120, 20);
    COLORREF bottom = look == Look::Normal ? RGB(28, 50, 96) : look == Look::Hover ? RGB(210, 140, 20) : RGB(230, 170, 50);
    FillGradient(dc, rc, top, bottom);
    RECT r = rc;
    ::DrawEdge(dc, &r, look == Look::Pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    r.left += ui::Scale(14);
    if (look == Look::Pressed) ::OffsetRect(&r, 1, 1);
    DrawText(dc, r, caption, 15, FW_BOLD, look == Look::Normal ? RGB(255, 255, 255) : RGB(30, 30, 30),
             DT_LEFT | DT_VCENTER | DT_SINGLELINE);
}

void DrawHint(HDC dc, const RECT& rc, const std::wstring& title, const std::wstring& text) {
    FillGradient(dc, rc, RGB(255, 252, 235), RGB(240, 228, 190));
    RECT r = rc;
    ::DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT);
    RECT t{rc.left + 8, rc.top + 8, rc.right - 8, rc.top + ui::Scale(30)};
    DrawText(dc, t, title, 14, FW_BOLD, RGB(28, 50, 96), DT_LEFT | DT_SINGLELINE | DT_END_ELLIPSIS);
    RECT b{rc.left + 8, rc.top + ui::Scale(34), rc.right - 8, rc.bottom - 8};
    DrawText(dc, b, text, 12, FW_NORMAL, RGB(40, 40, 40), DT_LEFT | DT_WORDBREAK);
}

struct HintText { const wchar_t* title; const wchar_t* text; };
const HintText kHints[13] = {
    {L"Junk Files", L"Find and remove temporary, backup and left-over files, whole folders of them and zero-length files."},
    {L"Internet Eraser", L"Erase the browser cache, cookies and history, typed addresses and the recent-document lists."},
    {L"Shortcuts", L"Find shortcuts whose target is gone, look for the moved target and repair or remove them."},
    {L"Uninstall List", L"Remove entries of the Windows uninstall list whose program is no longer there."},
    {L"Duplicate Files", L"Find files with the same content and remove the copies you do not need."},
    {L"Registry Cleaner", L"Find registry values that name missing files or folders, with backup and restore."},
    {L"Startup Manager", L"See every program that starts with Windows; disable, enable, edit, add or delete entries."},
    {L"Install Monitor", L"Record your system before and after an installation and see every change it made."},
    {L"Scheduled Maintenance", L"Let the junk cleaner, the eraser and the registry cleaner run on a schedule."},
    {L"Logs", L"View and clear the logs of every tool and the totals of what was removed."},
    {L"Web Site", L"Visit the Kestrune web site for news and updates."},
    {L"Help", L"About Kestrune, its documentation and technical support."},
    {L"Exit", L"Close Kestrune."},
};

void NotBuilt(const wchar_t* tool) {
    ui::MessageBox(std::wstring(L"The ") + tool + L" is not part of this version of Kestrune yet.",
                   ui::ApplicationTitle(), ui::MsgIcon::Information);
}

}  // namespace

TfrmNav::ToolButton::ToolButton(TfrmNav& nav, int top, const std::wstring& caption)
    : down(nav, 30, top, 270, 35), over(nav, 30, top, 270, 35), up(nav, 30, top, 270, 35) {
    down.OnPaint = [caption](HDC dc, const RECT& rc) { DrawButtonLook(dc, rc, caption, Look::Pressed); };
    over.OnPaint = [caption](HDC dc, const RECT& rc) { DrawButtonLook(dc, rc, caption, Look::Hover); };
    up.OnPaint = [caption](HDC dc, const RECT& rc) { DrawButtonLook(dc, rc, caption, Look::Normal); };
    over.SetHandCursor(true);
    // Stack: up on top of over on top of down.
    ::SetWindowPos(up.Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ::SetWindowPos(over.Handle(), up.Handle(), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ::SetWindowPos(down.Handle(), over.Handle(), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

TfrmNav::SideButton::SideButton(TfrmNav& nav, int top, const std::wstring& caption)
    : down(nav, 318, top, 168, 32), up(nav, 318, top, 168, 32) {
    down.OnPaint = [caption](HDC dc, const RECT& rc) { DrawButtonLook(dc, rc, caption, Look::Pressed); };
    up.OnPaint = [caption](HDC dc, const RECT& rc) { DrawButtonLook(dc, rc, caption, Look::Normal); };
    up.SetHandCursor(true);
    ::SetWindowPos(up.Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ::SetWindowPos(down.Handle(), up.Handle(), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

TfrmNav::TfrmNav(NavigatorActions actions)
    : ui::Form(L"Navigator", 513, 442, ui::FormStyle::Popup), actions_(std::move(actions)) {
    IsAdmin = [] { return IsAdministrator(); };
    KeyPreview = true;
    HelpTopic = L"Welcome_to_Ostrel_Kestrune";
    SetDragAnywhere(true);
    SetRegion(::CreateRoundRectRgn(0, 0, ui::Scale(513) + 1, ui::Scale(442) + 1, ui::Scale(48), ui::Scale(48)));
    OnPaint = [](HDC dc, const RECT& rc) {
        FillGradient(dc, rc, RGB(20, 34, 66), RGB(60, 90, 140));
        RECT title{rc.left + ui::Scale(30), rc.top + ui::Scale(24), rc.right - ui::Scale(20), rc.top + ui::Scale(72)};
        DrawText(dc, title, L"Kestrune", 38, FW_BOLD, RGB(250, 196, 60), DT_LEFT | DT_SINGLELINE);
        RECT sub{rc.left + ui::Scale(32), rc.top + ui::Scale(72), rc.right - ui::Scale(20), rc.top + ui::Scale(100)};
        DrawText(dc, sub, L"System maintenance suite", 15, FW_NORMAL, RGB(220, 230, 245), DT_LEFT | DT_SINGLELINE);
    };
    OnMouseMove = [this](int, int) {
        AllUp(nullptr);
        UpdateHint(nullptr);
    };

    tools_ = {&imgJunk, &imgEraser, &imgShortCuts, &imgUninstall, &imgDupes, &imgReg, &imgStartUp, &imgSafe, &imgSched};
    sides_ = {&imgLogs, &imgWeb, &imgHelp, &imgExit};
    hints_ = {&imgJunk_Hint, &imgEraser_Hint, &imgShortcuts_Hint, &imgUninstall_Hint, &imgDupes_Hint, &imgReg_Hint,
              &imgStartUp_Hint, &imgSafe_Hint, &imgSched_Hint, &imgLogs_Hint, &imgWeb_Hint, &imgHelp_Hint,
              &imgExit_Hint};
    for (size_t i = 0; i < hints_.size(); ++i) {
        ui::Picture* h = hints_[i];
        h->SetVisible(false);
        h->OnPaint = [i](HDC dc, const RECT& rc) { DrawHint(dc, rc, kHints[i].title, kHints[i].text); };
        h->OnMouseMove = [this](int, int) {
            AllUp(nullptr);
            UpdateHint(nullptr);
        };
    }

    auto orNotBuilt = [](std::function<void()> f, const wchar_t* name) -> std::function<void()> {
        if (f) return f;
        return [name] { NotBuilt(name); };
    };
    Wire(imgJunk, imgJunk_Hint, orNotBuilt(actions_.junk, L"junk file cleaner"));
    Wire(imgEraser, imgEraser_Hint, orNotBuilt(actions_.eraser, L"Internet eraser"));
    Wire(imgShortCuts, imgShortcuts_Hint, orNotBuilt(actions_.shortcuts, L"shortcut repair tool"));
    Wire(imgUninstall, imgUninstall_Hint, [this] { imgUninstallClick(); });
    Wire(imgDupes, imgDupes_Hint, [this] { imgDupesClick(); });
    Wire(imgReg, imgReg_Hint, orNotBuilt(actions_.registry, L"registry cleaner"));
    Wire(imgStartUp, imgStartUp_Hint, [this] { imgStartUpClick(); });
    Wire(imgSafe, imgSafe_Hint, orNotBuilt(actions_.installMonitor, L"install monitor"));
    Wire(imgSched, imgSched_Hint, orNotBuilt(actions_.schedule, L"scheduled maintenance tool"));
    Wire(imgLogs, imgLogs_Hint, orNotBuilt(actions_.logs, L"logs viewer"));
    Wire(imgWeb, imgWeb_Hint, [this] { imgWebClick(); });
    Wire(imgHelp, imgHelp_Hint, [this] { imgHelpClick(); });
    Wire(imgExit, imgExit_Hint, [this] { imgExitClick(); });

    OnShow = [this] { Center(); };
    OnClose = [] { ui::Terminate(); };
}

TfrmNav::~TfrmNav() = default;

void TfrmNav::Wire(ToolButton& b, ui::Picture& hint, std::function<void()> action) {
    b.hint = &hint;
    auto toHover = [this, &b](int, int) {
        b.up.SetVisible(false);
        AllUp(&b.up);
    };
    b.up.OnMouseMove = toHover;
    b.down.OnMouseMove = toHover;
    b.over.OnMouseEnter = [this, &b] { ChangeHint(&b.over); };
    b.over.OnMouseDown = [&b] { b.over.SetVisible(false); };
    b.over.OnMouseUp = [&b] { b.over.SetVisible(true); };
    b.down.OnMouseUp = [&b] { b.over.SetVisible(true); };
    b.over.OnClick = std::move(action);
}

void TfrmNav::Wire(SideButton& b, ui::Picture& hint, std::function<void()> action) {
    b.hint = &hint;
    b.up.OnMouseEnter = [this, &b] { ChangeHint(&b.up); };
    b.up.OnMouseDown = [&b] { b.up.SetVisible(false); };
    b.up.OnMouseUp = [&b] { b.up.SetVisible(true); };
    b.down.OnMouseUp = [&b] { b.up.SetVisible(true); };
    b.up.OnClick = std::move(action);
}

void TfrmNav::AllUp(ui::Picture* except) {
    for (ToolButton* b : tools_)
        for (ui::Picture* p : {&b->up, &b->over, &b->down})
            if (p != except && !p->Visible()) p->SetVisible(true);
    for (SideButton* b : sides_)
        for (ui::Picture* p : {&b->up, &b->down})
            if (p != except && !p->Visible()) p->SetVisible(true);
}

void TfrmNav::ChangeHint(ui::Picture* picture) {
    for (ToolButton* b : tools_)
        if (picture == &b->over) return UpdateHint(b->hint);
    for (SideButton* b : sides_)
        if (picture == &b->up) return UpdateHint(b->hint);
}

void TfrmNav::UpdateHint(ui::Picture* hint) {
    for (ui::Picture* h : hints_)
        if (h != hint && h->Visible()) h->SetVisible(false);
    if (hint && !hint->Visible()) hint->SetVisible(true);
}

ui::Picture* TfrmNav::VisibleHint() {
    for (ui::Picture* h : hints_)
        if (h->Visible()) return h;
    return nullptr;
}

bool TfrmNav::CheckAdminStatus() {
    if (IsAdmin()) return true;
    ui::ShowMessage(L"Due to security issues under Windows NT you must be logged in as an administrator in order to "
                    L"access this tool.");
    return false;
}

void TfrmNav::imgUninstallClick() {
    if (!CheckAdminStatus()) return;
    if (actions_.uninstall) actions_.uninstall();
    else NotBuilt(L"uninstall-list cleaner");
}

void TfrmNav::imgStartUpClick() {
    if (!CheckAdminStatus()) return;
    if (actions_.startup) actions_.startup();
    else NotBuilt(L"startup manager");
}

void TfrmNav::imgDupesClick() {
    ShowHintOnce(L"DupeWarning",
                 L"Caution:  This tool is intended to search your system for duplicate files.  Not all (and possibly "
                 L"not most) of the files that are found are candidates for removal.  Be sure to carefully scrutinize "
                 L"each set of duplicate files before making the decision to remove any of them.  It is *always* "
                 L"recommended that you have a current backup of your system before performing any intensive "
                 L"operations such as contained in Kestrune.");
    if (actions_.dupes) actions_.dupes();
    else NotBuilt(L"duplicate file finder");
}

void TfrmNav::imgWebClick() {
    ShellOpen(kMakerWebAddress, L"OPEN");
    ShowHintOnce(L"Web", L"Kestrune is trying to reach the Kestrune web site in your web browser.  If no page "
                         L"appears, make sure you are connected to the Internet and browse to " +
                             std::wstring(kMakerWebAddress) + L" by hand.");
}

void TfrmNav::imgHelpClick() {
    help_ = std::make_unique<TfrmHelp>();
    help_->ShowModal();
    help_.reset();
}

void TfrmNav::imgExitClick() { ui::Terminate(); }

void RunNavigator() {
    TfrmNav nav;
    nav.Show();
    ui::RunMessageLoop();
}
