#include "logs/logs.h"
#include <algorithm>
#include "core/commontools.h"
#include "core/common.h"
#include "core/logs.h"
#include "core/registry.h"
#include "core/shellopen.h"
#include "ui/dialogs.h"

namespace {

const wchar_t* const kHeadingIndent = L"           ";   // room for the heading's picture
const wchar_t* const kHintClear = L"Clear the logged information for this tool";
const wchar_t* const kHintView = L"View or print this tool's logged information in your default text editor";
const wchar_t* const kNoEventsMessage = L"No events have been logged for this operation yet.";

enum MenuId : UINT {
    kMenuResetJunk = 40100, kMenuResetPrivacy, kMenuResetShortcuts, kMenuResetUninstallers, kMenuResetDupes,
    kMenuResetRegistry, kMenuResetAll, kMenuExit, kMenuRefresh, kMenuHelp, kMenuWeb
};

// Puts the caret at the end of a pane and scrolls it into view.
void ScrollToEnd(ui::Edit& pane) {
    HWND h = pane.Handle();
    if (!h) return;
    int len = ::GetWindowTextLengthW(h);
    ::SendMessageW(h, EM_SETSEL, len, len);
    ::SendMessageW(h, EM_SCROLLCARET, 0, 0);
}

// Log panes hold whole logs, however long they grow.
void MakeLogPane(ui::Edit& pane) {
    if (HWND h = pane.Handle()) ::SendMessageW(h, EM_SETLIMITTEXT, 0, 0);
}

// The heading's picture sits in the blanks in front of the heading text, above its label.
void BringToFront(ui::Control& picture, ui::Control& heading) {
    if (HWND h = heading.Handle())
        ::SetWindowLongPtrW(h, GWL_STYLE, ::GetWindowLongPtrW(h, GWL_STYLE) | WS_CLIPSIBLINGS);
    if (picture.Handle())
        ::SetWindowPos(picture.Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

}  // namespace

// --- menu button ------------------------------------------------------------------------------
LogMenuButton::LogMenuButton(ui::Container& parent, int x, int y, int w, int h, const std::wstring& caption)
    : ui::Button(parent, x, y, w, h, caption) {
    menu.Add(L"Manual Operations", [this] { Choose(0); });
    menu.Add(L"Scheduled Operations", [this] { Choose(1); });
    OnClick = [this] {
        RECT rc{};
        ::GetWindowRect(Handle(), &rc);
        menu.Popup(OwnerForm() ? OwnerForm()->Handle() : Handle(), rc.left, rc.bottom);
    };
}

// --- log pages --------------------------------------------------------------------------------
TfrmLogs::LogPage::LogPage(ui::PageControl& pc, const std::wstring& caption, const std::wstring& heading,
                           const std::wstring& manual, const std::wstring& automatic)
    : page(pc, caption),
      imgHeading(page, 8, 8, 16, 16),
      lblHeading(page, 8, 8, 570, 18, kHeadingIndent + heading),
      lblManual(page, 8, 34, 280, 16, automatic.empty() ? L"" : L"Manual Operations"),
      lblAuto(page, 302, 34, 270, 16, automatic.empty() ? L"" : L"Scheduled Operations"),
      mmo(page, 8, 52, automatic.empty() ? 572 : 288, 334, L"", true, true),
      manualFile(manual),
      autoFile(automatic) {
    lblHeading.SetBold(true);
    imgHeading.OnPaint = [](HDC dc, const RECT& rc) { Tcommontools::DrawImage(dc, rc, kImgView); };
    BringToFront(imgHeading, lblHeading);
    MakeLogPane(mmo);
    if (!automatic.empty()) {
        mmoAuto = std::make_unique<ui::Edit>(page, 300, 52, 280, 334, L"", true, true);
        MakeLogPane(*mmoAuto);
        splitter = std::make_unique<ui::Picture>(page, 294, 52, 6, 334);
        splitter->OnPaint = [](HDC dc, const RECT& rc) { ::FillRect(dc, &rc, ::GetSysColorBrush(COLOR_BTNFACE)); };
        splitter->OnMouseDown = [this] {
            POINT pt{};
            ::GetCursorPos(&pt);
            grabX = pt.x;
        };
        splitter->OnMouseMove = [this](int, int) {
            if (grabX < 0) return;
            POINT pt{};
            ::GetCursorPos(&pt);
            SetAutoWidth(AutoWidth() - ::MulDiv(pt.x - grabX, 96, ui::Scale(96)));
            grabX = pt.x;
        };
        splitter->OnMouseUp = [this] { grabX = -1; };
        SetAutoWidth(280);
        cmdCMenu = std::make_unique<LogMenuButton>(page, 8, 394, 120, 25, L"Clear &Log");
        cmdVMenu = std::make_unique<LogMenuButton>(page, 136, 394, 150, 25, L"View in &Text Editor");
        cmdVMenu->SetHint(kHintView);
    } else {
        lblManual.SetVisible(false);
        lblAuto.SetVisible(false);
        mmo.SetBounds(8, 34, 572, 352);
        cmdC = std::make_unique<ui::Button>(page, 8, 394, 120, 25, L"Clear &Log");
        cmdV = std::make_unique<ui::Button>(page, 136, 394, 150, 25, L"View in &Text Editor");
        cmdC->SetHint(kHintClear);
        cmdV->SetHint(kHintView);
        cmdC->SetEnabled(false);
        cmdV->SetEnabled(false);
    }
}

int TfrmLogs::LogPage::AutoWidth() const {
    if (!mmoAuto) return 0;
    RECT r = mmoAuto->Bounds();
    return static_cast<int>(r.right - r.left);
}

void TfrmLogs::LogPage::SetAutoWidth(int width) {
    if (!mmoAuto) return;
    const int left = 8, right = 580, minWidth = 60;
    width = std::max(minWidth, std::min(right - left - 6 - minWidth, width));
    int x = right - width;
    mmoAuto->SetBounds(x, 52, width, 334);
    splitter->SetBounds(x - 6, 52, 6, 334);
    mmo.SetBounds(left, 52, x - 6 - left, 334);
    lblAuto.SetBounds(x, 34, width, 16);
}

// --- the window -------------------------------------------------------------------------------
TfrmLogs::TfrmLogs() : ui::Form(L"Tool Action Logs", 720, 500, ui::FormStyle::Dialog) {
    HelpTopic = L"Tracking_statistics_with_Tool_Action_Logs";
    KeyPreview = true;

    // Clear hints: every clear control but the registry page's.
    tsJunk.cmdCMenu->SetHint(kHintClear);
    tsPriv.cmdCMenu->SetHint(kHintClear);

    for (LogPage* p : LogPages) {
        LogPage& page = *p;
        if (page.TwoPanes()) {
            page.cmdCMenu->OnChange = [this, &page](int index) { ClearLog(page, index); };
            page.cmdVMenu->OnChange = [this, &page](int index) { LogView(page, index); };
        } else {
            page.cmdC->OnClick = [this, &page] { ClearLog(page, 0); };
            page.cmdV->OnClick = [this, &page] { LogView(page, 0); };
        }
    }

    for (auto* cb : {&cbJunk, &cbPriv, &cbShort, &cbUnin, &cbDupes, &cbReg, &cbJunkAuto, &cbPrivAuto, &cbRegAuto})
        cb->SetChecked(true);
    lblStatHeading.SetBold(true);
    lblSetHeading.SetBold(true);
    imgStatHeading.OnPaint = [](HDC dc, const RECT& rc) { Tcommontools::DrawImage(dc, rc, kImgProperties); };
    imgSetHeading.OnPaint = [](HDC dc, const RECT& rc) { Tcommontools::DrawImage(dc, rc, kImgCheckAll); };
    BringToFront(imgStatHeading, lblStatHeading);
    BringToFront(imgSetHeading, lblSetHeading);
    BuildStatistics();
    // Frames sit behind the boxes they group.
    for (ui::GroupBox* g : {&gbManual, &gbAuto})
        if (g->Handle()) ::SetWindowPos(g->Handle(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    // The side picture: logs, statistics or settings.
    imgSide.OnPaint = [this](HDC dc, const RECT& rc) {
        HBRUSH back = ::CreateSolidBrush(RGB(0, 64, 128));
        ::FillRect(dc, &rc, back);
        ::DeleteObject(back);
        static const int images[] = {kImgView, kImgProperties, kImgCheckAll};
        static const wchar_t* const names[] = {L"Logs", L"Statistics", L"Settings"};
        int cx = (rc.right - rc.left) / 2;
        RECT pic{cx - 32, 40, cx + 32, 104};
        Tcommontools::DrawImage(dc, pic, images[sideImage_]);
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, RGB(255, 255, 255));
        RECT text{rc.left, 112, rc.right, 140};
        ::DrawTextW(dc, names[sideImage_], -1, &text, DT_CENTER | DT_SINGLELINE);
    };

    // Form settings: placement, the nine boxes and the widths of the scheduled panes.
    settings_.Add(L"cbJunk", cbJunk);
    settings_.Add(L"cbPriv", cbPriv);
    settings_.Add(L"cbShort", cbShort);
    settings_.Add(L"cbUnin", cbUnin);
    settings_.Add(L"cbDupes", cbDupes);
    settings_.Add(L"cbReg", cbReg);
    settings_.Add(L"cbJunkAuto", cbJunkAuto);
    settings_.Add(L"cbPrivAuto", cbPrivAuto);
    settings_.Add(L"cbRegAuto", cbRegAuto);
    for (LogPage* p : {&tsJunk, &tsPriv, &tsReg}) {
        LogPage& page = *p;
        std::wstring name = page.autoFile == kLogJunk ? L"mmoJunkAuto" : page.autoFile == kLogEraser ? L"mmoPrivAuto" : L"mmoRegAuto";
        settings_.AddInt(name, [&page] { return page.AutoWidth(); }, [&page](int w) { page.SetAutoWidth(w); });
    }
    AttachSettings(&settings_);

    BuildMenu();
    OnShow = [this] { FormShow(); };
    OnClose = [this] { FormCloseQuery(); };
    OnKeyDown = [this](WORD vk) {
        if (vk == VK_F5) { RefreshAll(); return true; }
        return false;
    };
    OnMessage = [this](UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == WM_COMMAND && lp == 0 && HIWORD(wp) == 0) RunMenuCommand(LOWORD(wp));
        else if (msg == WM_ACTIVATE && LOWORD(wp) != WA_INACTIVE) FormActivate();
    };
    pc.OnChange = [this] { pcChange(); };
    GetStats();
}

TfrmLogs::~TfrmLogs() {
    if (menuBar_ && Handle()) ::SetMenu(Handle(), nullptr);
    if (menuBar_) ::DestroyMenu(menuBar_);
}

void TfrmLogs::BuildStatistics() {
    struct Row {
        const wchar_t* group;     // a new group starts with its label
        const wchar_t* caption;
        ui::Label* value;
    };
    const Row rows[] = {
        {L"Junk and Obsolete Files", L"Total Files Removed:", &lblJRemoved},
        {nullptr, L"Total Space Freed:", &lblJFreed},
        {L"Privacy and History", L"Total Space Freed:", &lblEFreed},
        {L"Shortcuts", L"Total Shortcuts Fixed:", &lblSFixed},
        {nullptr, L"Total Shortcuts Removed:", &lblSRemoved},
        {L"Uninstallers", L"Total Invalid References Removed:", &lblURemoved},
        {L"Duplicate Files", L"Total Files Removed:", &lblDRemoved},
        {nullptr, L"Total Space Freed:", &lblDFreed},
        {L"Registry", L"Total Invalid References Removed:", &lblRRemoved},
        {L"Historical Totals", L"Total Files Removed:", &lblHRemoved},
        {nullptr, L"Total Space Freed:", &lblHFreed},
    };
    int y = 34;
    for (const Row& r : rows) {
        if (r.group) {
            y += 4;
            auto g = std::make_unique<ui::Label>(tsStatistics, 16, y, 300, 16, r.group);
            g->SetBold(true);
            statCaptions_.push_back(std::move(g));
            y += 18;
        }
        statCaptions_.push_back(std::make_unique<ui::Label>(tsStatistics, 32, y, 200, 16, r.caption));
        r.value->SetBounds(236, y, 340, 16);
        y += 17;
    }
}

void TfrmLogs::BuildMenu() {
    menuCommands_ = {
        {kMenuResetJunk, L"&Junk and Obsolete File Statistics", [this] { ResetItem(StatGroup::Junk); }},
        {kMenuResetPrivacy, L"&History and Privacy Statistics", [this] { ResetItem(StatGroup::Privacy); }},
        {kMenuResetShortcuts, L"&Invalid Shortcuts Statistics", [this] { ResetItem(StatGroup::Shortcuts); }},
        {kMenuResetUninstallers, L"Invalid &Uninstaller Statistics", [this] { ResetItem(StatGroup::Uninstallers); }},
        {kMenuResetDupes, L"&Duplicate File Statistics", [this] { ResetItem(StatGroup::Dupes); }},
        {kMenuResetRegistry, L"&Registry Statistics", [this] { ResetItem(StatGroup::Registry); }},
        {kMenuResetAll, L"&All Statistics", [this] { ResetItem(StatGroup::All); }},
        {kMenuExit, L"&Exit", [this] { N2Click(); }},
        {kMenuRefresh, L"&Refresh Data\tF5", [this] { N4Click(); }},
        {kMenuHelp, L"&How to use Tool Action Logs\tF1", [this] { N8Click(); }},
        {kMenuWeb, L"&Ostrel Technologies' Web Site", [this] { N10Click(); }},
    };
    if (!Handle()) return;
    HMENU reset = ::CreatePopupMenu();
    for (UINT id = kMenuResetJunk; id <= kMenuResetAll; ++id)
        ::AppendMenuW(reset, MF_STRING, id, menuCommands_[id - kMenuResetJunk].caption.c_str());
    HMENU file = ::CreatePopupMenu();
    ::AppendMenuW(file, MF_POPUP, reinterpret_cast<UINT_PTR>(reset), L"&Reset...");
    ::AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(file, MF_STRING, kMenuExit, L"&Exit");
    HMENU view = ::CreatePopupMenu();
    ::AppendMenuW(view, MF_STRING, kMenuRefresh, L"&Refresh Data\tF5");
    HMENU help = ::CreatePopupMenu();
    ::AppendMenuW(help, MF_STRING, kMenuHelp, L"&How to use Tool Action Logs\tF1");
    ::AppendMenuW(help, MF_STRING, kMenuWeb, L"&Ostrel Technologies' Web Site");
    menuBar_ = ::CreateMenu();
    ::AppendMenuW(menuBar_, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
    ::AppendMenuW(menuBar_, MF_POPUP, reinterpret_cast<UINT_PTR>(view), L"&View");
    ::AppendMenuW(menuBar_, MF_POPUP, reinterpret_cast<UINT_PTR>(help), L"&Help");
    // The menu bar takes its height from the window, not from the client area.
    RECT wr{};
    ::GetWindowRect(Handle(), &wr);
    ::SetMenu(Handle(), menuBar_);
    ::SetWindowPos(Handle(), nullptr, 0, 0, wr.right - wr.left, wr.bottom - wr.top + ::GetSystemMetrics(SM_CYMENU),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TfrmLogs::RunMenuCommand(UINT id) {
    for (const auto& c : menuCommands_)
        if (c.id == id) {
            c.action();
            return;
        }
}

// --- statistics -------------------------------------------------------------------------------
void TfrmLogs::GetStats() {
    LogStatistics s = ReadStatistics();
    lblJRemoved.SetText(CountText(s.junkFiles));
    lblJFreed.SetText(SpaceText(s.junkBytes));
    lblEFreed.SetText(SpaceText(s.eraserBytes));
    lblSFixed.SetText(CountText(s.shortFixed));
    lblSRemoved.SetText(CountText(s.shortRemoved));
    lblURemoved.SetText(CountText(s.uninItems));
    lblDRemoved.SetText(CountText(s.dupeFiles));
    lblDFreed.SetText(SpaceText(s.dupeBytes));
    lblRRemoved.SetText(CountText(s.regRefs));
    lblHRemoved.SetText(CountText(s.HistoricalFiles()));
    lblHFreed.SetText(SpaceText(s.HistoricalBytes()));
    sb.SetPanelText(0, L"Total Files Removed: " + CountText(s.HistoricalFiles()));
    sb.SetPanelText(1, L"Total Space Freed: " + SpaceText(s.HistoricalBytes()));
}

void TfrmLogs::ResetItem(StatGroup group) {
    auto answer = ui::MessageBox(L"Are you sure you want reset this statistical data?  This operation cannot be reversed.",
                                 L"Please confirm...", ui::MsgIcon::Question, ui::MsgButtons::YesNo);
    if (answer == ui::MsgResult::Yes) ResetStatistics(group);
    GetStats();
}

// --- log panes --------------------------------------------------------------------------------
void TfrmLogs::DoRefresh(LogPage& page, ui::Edit& pane, const std::wstring& file) {
    if (page.loaded) return;
    auto path = FindLogFile(file);
    if (path) {
        pane.SetText(L"");
        pane.SetText(ReadLogText(*path));
        ui::ProcessMessages();
        ScrollToEnd(pane);
    } else {
        pane.SetText(kNoEventsLogged);
    }
    UpdateButtons(page);
}

void TfrmLogs::UpdateButtons(LogPage& page) {
    bool any = page.mmo.Text() != kNoEventsLogged;
    if (page.TwoPanes()) any = any || page.mmoAuto->Text() != kNoEventsLogged;
    page.ClearControl().SetEnabled(any);
    page.ViewControl().SetEnabled(page.ClearControl().Enabled());
}

void TfrmLogs::LoadPage(LogPage& page) {
    if (page.loaded) return;
    DoRefresh(page, page.mmo, page.manualFile);
    if (page.TwoPanes()) DoRefresh(page, *page.mmoAuto, page.autoFile);
    page.loaded = true;
}

void TfrmLogs::RefreshAll() {
    for (LogPage* p : LogPages) {
        p->loaded = false;
        LoadPage(*p);
    }
    GetStats();
}

void TfrmLogs::ClearLog(LogPage& page, int index) {
    bool scheduled = page.TwoPanes() && index == 1;
    const std::wstring& file = scheduled ? page.autoFile : page.manualFile;
    ui::Edit& pane = scheduled ? *page.mmoAuto : page.mmo;
    auto answer = ui::MessageBox(L"Are you sure you want to permanently clear the log file associated with this operation?",
                                 L"Please confirm", ui::MsgIcon::Question, ui::MsgButtons::YesNo);
    if (answer != ui::MsgResult::Yes) return;
    std::wstring error;
    if (DeleteLogFile(file, error)) {
        pane.SetText(kNoEventsLogged);
    } else {
        // The file is still there (locked by another program): say so and keep showing it.
        ui::MessageBox(L"The log file \"" + file + L"\" could not be cleared.\r\n\r\n" + error, ui::ApplicationTitle(),
                       ui::MsgIcon::Warning);
        auto path = FindLogFile(file);
        pane.SetText(path ? ReadLogText(*path) : std::wstring(kNoEventsLogged));
        ScrollToEnd(pane);
    }
    UpdateButtons(page);
}

void TfrmLogs::LogView(LogPage& page, int index) {
    bool scheduled = page.TwoPanes() && index == 1;
    auto path = FindLogFile(scheduled ? page.autoFile : page.manualFile);
    if (path) ShellOpen(*path, L"Open");
    else ui::ShowMessage(kNoEventsMessage);
}

// --- handlers ---------------------------------------------------------------------------------
void TfrmLogs::FormShow() {
    if (!settings_.Restored()) settings_.Restore();
    cbJunkAuto.SetChecked(ReadRegBool(L"\\Software\\Ostrel\\Kestrune\\Schedule\\Junk", L"LogEvents"));
    cbPrivAuto.SetChecked(ReadRegBool(L"\\Software\\Ostrel\\Kestrune\\Schedule\\Eraser", L"LogEvents"));
    cbRegAuto.SetChecked(ReadRegBool(L"\\Software\\Ostrel\\Kestrune\\Schedule\\Registry", L"LogEvents"));
    FormActivate();
}

void TfrmLogs::FormActivate() {
    int active = pc.ActivePageIndex();
    if (active >= 0 && active < 6) {
        if (!LogPages[active]->loaded) LoadPage(tsJunk);
    }
}

void TfrmLogs::pcChange() {
    int active = pc.ActivePageIndex();
    if (active >= 0 && active < 6) LoadPage(*LogPages[active]);
    sideImage_ = active < 6 ? 0 : active == 6 ? 1 : 2;
    imgSide.Invalidate();
}

void TfrmLogs::FormCloseQuery() {
    WriteRegBool(kLogsKey, L"DoJunk", cbJunk.Checked());
    WriteRegBool(kLogsKey, L"DoPriv", cbPriv.Checked());
    WriteRegBool(kLogsKey, L"DoShort", cbShort.Checked());
    WriteRegBool(kLogsKey, L"DoUnin", cbUnin.Checked());
    WriteRegBool(kLogsKey, L"DoDupes", cbDupes.Checked());
    WriteRegBool(kLogsKey, L"DoReg", cbReg.Checked());
    WriteRegBool(L"\\Software\\Ostrel\\Kestrune\\Schedule\\Junk", L"LogEvents", cbJunkAuto.Checked());
    WriteRegBool(L"\\Software\\Ostrel\\Kestrune\\Schedule\\Eraser", L"LogEvents", cbPrivAuto.Checked());
    WriteRegBool(L"\\Software\\Ostrel\\Kestrune\\Schedule\\Registry", L"LogEvents", cbRegAuto.Checked());
}

void TfrmLogs::N8Click() { ui::ShowHelp(HelpTopic); }

void TfrmLogs::N10Click() {
    ShellOpen(kMakerWebAddress, L"OPEN");
    ShowHintOnce(L"Web", std::wstring(L"Kestrune is trying to reach the Ostrel Technologies web site.  If the page does not "
                                      L"open, you can reach it by browsing to ") +
                             kMakerWebAddress + L" yourself.");
}

void ShowLogsViewer() {
    auto form = std::make_unique<TfrmLogs>();
    form->ShowModal();
}
