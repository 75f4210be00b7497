#include "core/help.h"
#include <memory>
#include "core/common.h"
#include "core/shellopen.h"

#ifndef KES_VERSION_TEXT
#define KES_VERSION_TEXT L"1.0.0"
#endif

const std::vector<HelpTopicText>& HelpTopics() {
    static const std::vector<HelpTopicText> topics = {
        {L"Welcome_to_Ostrel_Kestrune", L"Welcome to Kestrune",
         L"Kestrune keeps a Windows system tidy. The navigator opens one tool per button:\r\n\r\n"
         L"- Junk Files: temporary, backup and left-over files, and zero-length files.\r\n"
         L"- Eraser: Internet cache, cookies, history, typed addresses and recent-document lists.\r\n"
         L"- Shortcuts: shortcuts whose target is gone.\r\n"
         L"- Uninstall: entries of the uninstall list whose program is gone.\r\n"
         L"- Duplicates: files with the same content.\r\n"
         L"- Registry: values that name missing files or folders.\r\n"
         L"- Startup: the programs that start with Windows.\r\n"
         L"- Install Monitor: the changes an installer makes.\r\n"
         L"- Schedule: unattended junk, eraser and registry runs.\r\n\r\n"
         L"Every tool lists what it found with check boxes; only the checked rows are removed. Every tool writes "
         L"a plain-text log beside the program; the Logs button shows the logs and the running totals."},
        {L"Cleaning_your_system_of_junk_and_obsolete_files", L"Cleaning junk and obsolete files",
         L"The junk cleaner searches the chosen drives for the checked file types (for example *.tmp, *.bak, "
         L"~*.*), the checked folders, the temporary folder and, when asked, zero-length files. Excluded folders "
         L"are never searched. Check the files to remove and choose whether they go to the recycle bin, are "
         L"deleted or are moved to a folder. Files in use are skipped and reported."},
        {L"Ensuring_your_personal_or_company_privacy", L"Erasing Internet and usage traces",
         L"The eraser removes the traces the options name: the browser cache, cookies and history, the typed "
         L"addresses, the recent-documents list and other most-recently-used lists. Files that Windows keeps "
         L"locked are removed at the next start. The recovered disk space is reported at the end."},
        {L"Fixing_and_removing_invalid_Windows_shortcuts", L"Fixing invalid shortcuts",
         L"The shortcut tool finds shortcuts whose target no longer exists, searches for a moved target, and "
         L"repairs, recycles, deletes or moves the checked shortcuts."},
        {L"Removing_invalid_uninstaller_information", L"Removing invalid uninstall entries",
         L"This tool lists the entries of the Windows uninstall list whose uninstall program is missing. Removing "
         L"an entry deletes its registry key only; what is removed is first written to an undo file in the "
         L"Registry Backup folder, which can be imported to put it back."},
        {L"Finding_and_removing_duplicate_files", L"Finding duplicate files",
         L"The duplicate finder groups files with equal size and content (or equal name, or equal date and time). "
         L"Not every duplicate can be removed: check each group carefully before removing anything."},
        {L"Cleaning_your_system_registry", L"Cleaning the registry",
         L"The registry cleaner lists registry values that name files or folders that no longer exist, and "
         L"shared-DLL entries whose file is gone. Every value is written to an undo file before it is deleted. "
         L"A full backup of the registry can be made before a scan and restored from the Backup tab."},
        {L"Managing_startup_applications", L"Managing startup programs",
         L"The startup manager lists the programs started with Windows from the registry Run lists, Win.ini and "
         L"the StartUp folder. Entries can be disabled, enabled, edited, added and deleted."},
        {L"Tracking_system_changes_with_Setwardener", L"Tracking installations",
         L"The install monitor records the disks, INI files and registry before an installer runs and again "
         L"after it, and writes the differences to a plain-text report."},
        {L"Unattended_scheduling_with_the_Scheduled_Maintenance_Tool", L"Scheduled maintenance",
         L"The junk cleaner, the eraser and the registry cleaner can run unattended: at Windows start, at shut "
         L"down, once, daily, weekly, monthly or at an interval. Define Actions opens the tool to choose what the "
         L"scheduled run does; Run Now starts it at once. The runs write their own logs."},
        {L"Scheduled_Maintenance_Enabling_scheduled_maintenance_for_a_specific_action", L"Enabling a schedule",
         L"Check Enabled on the task's page, choose when it runs in its properties, and choose whether a progress "
         L"window is shown and whether the run is logged."},
        {L"Tracking_statistics_with_Tool_Action_Logs", L"Logs and statistics",
         L"Each page shows the log of one tool, for the windows opened by you and for the scheduled runs. A log "
         L"can be viewed in the editor or cleared. The Statistics page shows the running totals; the Settings page "
         L"switches logging on and off per tool."},
    };
    return topics;
}

const HelpTopicText& FindHelpTopic(const std::wstring& name) {
    for (const auto& t : HelpTopics())
        if (SameText(t.name, name)) return t;
    return HelpTopics().front();
}

// --- topic viewer -----------------------------------------------------------------------------

static std::unique_ptr<TfrmHelpTopic>& Viewer() {
    static std::unique_ptr<TfrmHelpTopic> v;
    return v;
}

TfrmHelpTopic::TfrmHelpTopic() : ui::Form(L"Kestrune Help", 540, 384, ui::FormStyle::Dialog) {
    lblTitle.SetBold(true);
    cmdClose.OnClick = [this] { Close(); };
    CancelButton = &cmdClose;
    DefaultButton = &cmdClose;
}

void TfrmHelpTopic::ShowTopic(const std::wstring& name) {
    const HelpTopicText& t = FindHelpTopic(name);
    topic_ = t.name;
    lblTitle.SetText(t.title);
    mmoText.SetText(t.text);
    SetCaption(std::wstring(L"Kestrune Help - ") + t.title);
}

TfrmHelpTopic* OpenHelpViewer() {
    auto& v = Viewer();
    if (v && v->IsClosed()) v.reset();
    return v.get();
}

void CloseHelpViewer() { Viewer().reset(); }

void ShowHelpTopic(const std::wstring& name) {
    auto& v = Viewer();
    if (v && v->IsClosed()) v.reset();
    if (!v) {
        v = std::make_unique<TfrmHelpTopic>();
        v->Center();
    }
    v->ShowTopic(name);
    v->Show();
}

// --- the navigator's help window ----------------------------------------------------------------

static void DrawPictureButton(HDC dc, const RECT& rc, const std::wstring& caption, bool pressed) {
    TRIVERTEX v[2] = {{rc.left, rc.top, 0x3000, 0x5000, 0xA000, 0}, {rc.right, rc.bottom, 0x1000, 0x2000, 0x6000, 0}};
    if (pressed) std::swap(v[0].Red, v[1].Red), std::swap(v[0].Green, v[1].Green), std::swap(v[0].Blue, v[1].Blue);
    GRADIENT_RECT g{0, 1};
    ::GradientFill(dc, v, 2, &g, 1, GRADIENT_FILL_RECT_V);
    RECT r = rc;
    ::DrawEdge(dc, &r, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    HFONT f = ::CreateFontW(-13, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, ANTIALIASED_QUALITY, 0, L"Arial");
    HGDIOBJ old = ::SelectObject(dc, f);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, RGB(255, 255, 255));
    if (pressed) ::OffsetRect(&r, 1, 1);
    ::DrawTextW(dc, caption.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    ::SelectObject(dc, old);
    ::DeleteObject(f);
}

TfrmHelp::TwoPictureButton::TwoPictureButton(TfrmHelp& form, int top, const std::wstring& caption,
                                             const std::wstring& hint)
    : down(form, 27, top, 137, 32), up(form, 27, top, 137, 32) {
    down.OnPaint = [caption](HDC dc, const RECT& rc) { DrawPictureButton(dc, rc, caption, true); };
    up.OnPaint = [caption](HDC dc, const RECT& rc) { DrawPictureButton(dc, rc, caption, false); };
    ::SetWindowPos(up.Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    up.SetHandCursor(true);
    if (!hint.empty()) up.SetHint(hint);
    up.OnMouseDown = [this] { up.SetVisible(false); };
    up.OnMouseUp = [this] { up.SetVisible(true); };
    down.OnMouseUp = [this] { up.SetVisible(true); };
}

TfrmHelp::TfrmHelp() : ui::Form(L"Kestrune Help", 189, 209, ui::FormStyle::Popup) {
    SetStayOnTop(true);
    HelpTopic = L"Welcome_to_Ostrel_Kestrune";
    SetDragAnywhere(true);
    SetRegion(::CreateRoundRectRgn(0, 0, ui::Scale(189) + 1, ui::Scale(209) + 1, ui::Scale(36), ui::Scale(36)));
    OnPaint = [](HDC dc, const RECT& rc) {
        TRIVERTEX v[2] = {{rc.left, rc.top, 0xE000, 0xE800, 0xFF00, 0}, {rc.right, rc.bottom, 0x8000, 0x9800, 0xD000, 0}};
        GRADIENT_RECT g{0, 1};
        ::GradientFill(dc, v, 2, &g, 1, GRADIENT_FILL_RECT_V);
    };
    imgAbout.up.OnClick = [this] { imgAboutClick(); };
    imgManual.up.OnClick = [this] { imgManualClick(); };
    imgSupport.up.OnClick = [this] { imgSupportClick(); };
    imgExit.up.OnClick = [this] { Close(); };
    CancelButton = nullptr;
    OnShow = [this] { Center(); };
}

std::wstring TfrmHelp::AboutText() {
    return std::wstring(L"Kestrune\r\nVersion ") + KES_VERSION_TEXT +
           L"\r\n\r\nSystem maintenance for Windows.\r\n\r\nVisit the Kestrune web site now?";
}

void TfrmHelp::imgAboutClick() {
    if (ui::MessageBox(AboutText(), L"About Kestrune", ui::MsgIcon::Information, ui::MsgButtons::YesNo) ==
        ui::MsgResult::Yes)
        ShellOpen(kMakerWebAddress, L"OPEN");
}

void TfrmHelp::imgManualClick() { ui::ShowHelp(L"Welcome_to_Ostrel_Kestrune"); }

void TfrmHelp::imgSupportClick() {
    ShellOpen(kMakerSupportAddress, L"OPEN");
    ShowHintOnce(L"Support",
                 L"Kestrune is trying to reach the Kestrune support forum in your web browser.  If no page appears, "
                 L"make sure you are connected to the Internet and browse to " +
                     std::wstring(kMakerSupportAddress) + L" by hand.");
}
