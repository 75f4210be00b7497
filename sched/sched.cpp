#include "sched/sched.h"
#include "core/commontools.h"
#include "core/common.h"
#include "core/paths.h"
#include "core/registry.h"
#include "core/shellopen.h"
#include "logs/logstats.h"
#include "sched/sProps.h"
#include "ui/dialogs.h"

namespace {

const wchar_t* const kHeadingIndent = L"           ";
const wchar_t* const kEnableHint = L"Enable/Disable Sheduled Maintenance for this tool";
const wchar_t* const kNoEventsMessage = L"No events have been logged for this operation yet.";
const wchar_t* const kSettingsHint =
    L"Kestrune uses your last saved settings as criteria when running scheduled maintenance.  To modify these "
    L"settings, alter the desired items and then close the associated window.  The modified settings will be used "
    L"when Kestrune next runs the scheduled maintenance associated with that operation.";

// Tells a running resident scheduler to look at the schedules again.
void NudgeResident() {
    HWND resident = ::FindWindowW(kResidentWindowClass, nullptr);
    if (resident) ::PostMessageW(resident, kRefreshMessage, 0, 0);
}

}  // namespace

TfrmSched::TaskPage::TaskPage(ui::PageControl& pc, SchedTask t, const std::wstring& caption,
                              const std::wstring& heading, const std::wstring& saveCaption)
    : task(t),
      page(pc, caption),
      imgHeading(page, 8, 8, 16, 16),
      lblHeading(page, 8, 8, 500, 18, kHeadingIndent + heading),
      cbEnabled(page, 16, 36, 120, 20, L"&Enabled?"),
      lblSchedCap(page, 32, 64, 70, 16, L"Schedule:"),
      lblLastCap(page, 32, 84, 70, 16, L"Last Run:"),
      lblNextCap(page, 32, 104, 70, 16, L"Next Run:"),
      lblSched(page, 104, 64, 396, 16, L"None"),
      lblLast(page, 104, 84, 396, 16, L"None"),
      lblNext(page, 104, 104, 396, 16, L"---"),
      cbSave(page, 32, 128, 150, 20, saveCaption),
      cbShowProg(page, 200, 128, 200, 20, L"S&how progess window"),
      lblEventLog(page, 16, 156, 200, 16, L"Event Log"),
      mmo(page, 16, 174, 484, 150, L"", true, true),
      cmdView(page, 16, 332, 150, 25, L"View in &Text Editor"),
      cmdClear(page, 172, 332, 100, 25, L"Clear &Log"),
      cmdChange(page, 16, 362, 150, 25, L"&Change Schedule..."),
      cmdSettings(page, 172, 362, 150, 25, L"&Define Actions..."),
      cmdRunNow(page, 328, 362, 100, 25, L"&Run Now") {
    lblHeading.SetBold(true);
    cbEnabled.SetHint(kEnableHint);
    static const int images[] = {kImgScan, kImgView, kImgRegistry};
    int image = images[static_cast<int>(t)];
    imgHeading.OnPaint = [image](HDC dc, const RECT& rc) { Tcommontools::DrawImage(dc, rc, image); };
    // The picture sits in the blanks in front of the heading text, above its label.
    if (HWND h = lblHeading.Handle())
        ::SetWindowLongPtrW(h, GWL_STYLE, ::GetWindowLongPtrW(h, GWL_STYLE) | WS_CLIPSIBLINGS);
    if (imgHeading.Handle())
        ::SetWindowPos(imgHeading.Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    HWND h = mmo.Handle();
    if (h) ::SendMessageW(h, EM_SETLIMITTEXT, 0, 0);
    for (ui::Control* c : std::initializer_list<ui::Control*>{&lblSchedCap, &lblLastCap, &lblNextCap, &lblSched,
                                                                &lblLast, &lblNext, &cbSave, &cbShowProg})
        c->SetEnabled(false);
    cbSave.SetChecked(true);
    cbShowProg.SetChecked(true);
}

TfrmSched::TfrmSched() : ui::Form(kSchedWindowTitle, 624, 470, ui::FormStyle::Dialog) {
    HelpTopic = L"Unattended_scheduling_with_the_Scheduled_Maintenance_Tool";
    CancelButton = &cmdOK;
    OpenToolWindow = OpenToolForScheduledActions;
    lblOptHeading.SetBold(true);

    for (TaskPage* p : Tasks) {
        TaskPage& page = *p;
        page.cbEnabled.OnClick = [this, &page] { EnableClick(page); };
        page.cmdChange.OnClick = [this, &page] { cmdChangeClick(page); };
        page.cmdSettings.OnClick = [this, &page] { cmdSettingsClick(page); };
        page.cmdRunNow.OnClick = [this, &page] { cmdRunNowClick(page); };
        page.cmdView.OnClick = [this, &page] { ViewLog(page); };
        page.cmdClear.OnClick = [this, &page] { ClearLog(page); };
        page.cbSave.OnClick = [&page] { WriteRegBool(page.Key(), L"LogEvents", page.cbSave.Checked()); };
        page.cbShowProg.OnClick = [&page] { WriteRegBool(page.Key(), L"ShowProgress", page.cbShowProg.Checked()); };
    }
    cbOnlyScan.OnClick = [this] {
        WriteRegBool(ScheduleRoot(), L"OnlyScan", cbOnlyScan.Checked());
        meMegs.SetEnabled(cbOnlyScan.Checked());
        NudgeResident();
    };
    meMegs.OnChange = [this] { WriteRegInteger(ScheduleRoot(), L"SpaceFree", meMegs.Value()); };
    meMegs.SetEnabled(false);
    if (HWND ud = meMegs.Handle() ? ::GetWindow(meMegs.Handle(), GW_HWNDNEXT) : nullptr) {
        wchar_t cls[32] = {};
        ::GetClassNameW(ud, cls, 32);
        UDACCEL accel{0, 10};
        if (std::wstring(cls) == UPDOWN_CLASSW) ::SendMessageW(ud, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
    }

    cmdOK.OnClick = [this] { Close(); };
    cmdHelp.OnClick = [this] { ui::ShowHelp(HelpTopic); };
    pc.OnChange = [this] { pcChange(); };
    OnShow = [this] { FormShow(); };
    OnClose = [this] { FormCloseQuery(); };
    OnMessage = [this](UINT msg, WPARAM, LPARAM) {
        if (msg == kRefreshMessage) {
            RefreshLogs();
            RefreshAllSched();
        } else if (msg == WM_ACTIVATE) {
            RefreshLogs();
        }
    };

    for (ui::Picture* side : {&imgSide1, &imgSide2}) {
        side->OnPaint = [side, this](HDC dc, const RECT& rc) {
            HBRUSH back = ::CreateSolidBrush(RGB(0, 64, 128));
            ::FillRect(dc, &rc, back);
            ::DeleteObject(back);
            int cx = (rc.right - rc.left) / 2, cy = (rc.bottom - rc.top) / 2;
            RECT pic{cx - 24, cy - 24, cx + 24, cy + 24};
            Tcommontools::DrawImage(dc, pic, side == &imgSide1 ? kImgOpen : kImgSave);
        };
    }

    // Stored settings: the position and the option boxes. A box whose state changes on
    // restoring acts as if it had been clicked.
    StoreCheckBox(L"cbEraser", cbEraser, [this] { EnableClick(tsEraser); });
    StoreCheckBox(L"cbJunk", cbJunk, [this] { EnableClick(tsJunk); });
    StoreCheckBox(L"cbOnlyScan", cbOnlyScan, [this] { if (cbOnlyScan.OnClick) cbOnlyScan.OnClick(); });
    StoreCheckBox(L"cbRegistry", cbRegistry, [this] { EnableClick(tsRegistry); });
    settings_.Add(L"UpDown2", meMegs);
    for (TaskPage* p : Tasks) {
        TaskPage& page = *p;
        static const wchar_t* const progNames[] = {L"cbJShowProg", L"cbEShowProg", L"cbRShowProg"};
        static const wchar_t* const saveNames[] = {L"cbSave1", L"cbSave2", L"cbSave3"};
        int i = static_cast<int>(page.task);
        StoreCheckBox(progNames[i], page.cbShowProg, [&page] { page.cbShowProg.OnClick(); });
        StoreCheckBox(saveNames[i], page.cbSave, [&page] { page.cbSave.OnClick(); });
    }
    AttachSettings(&settings_);
    FormCreate();
}

TfrmSched::~TfrmSched() = default;

void TfrmSched::StoreCheckBox(const std::wstring& name, ui::CheckBox& box, std::function<void()> click) {
    settings_.AddInt(
        name, [&box] { return box.Checked() ? 1 : 0; },
        [&box, click](int v) {
            bool want = v != 0;
            if (box.Checked() == want) return;
            box.SetChecked(want);
            click();
        });
}

void TfrmSched::FormCreate() {
    creating_ = true;
    for (TaskPage* p : Tasks) {
        bool enabled = false;
        try {
            enabled = ReadRegInteger(p->Key(), L"Enabled") != 0;
        } catch (...) {
            enabled = false;   // a broken value reads as "not enabled"
        }
        if (enabled) {
            p->cbEnabled.SetChecked(true);
            EnableClick(*p);
        }
    }
    RefreshAllSched();
    tsRegistry.page.SetTabVisible(IsAdministrator());
    cbOnlyScan.SetChecked(ReadRegInteger(ScheduleRoot(), L"OnlyScan") != 0);
    meMegs.SetEnabled(cbOnlyScan.Checked());
    int megs = ReadRegInteger(ScheduleRoot(), L"SpaceFree");
    meMegs.SetValue(megs >= 1 && megs <= 999 ? megs : 100);
    creating_ = false;
}

void TfrmSched::FormShow() {
    for (TaskPage* p : Tasks) {
        p->cbSave.SetChecked(ReadRegBool(p->Key(), L"LogEvents"));
        p->cbShowProg.SetChecked(ReadRegBool(p->Key(), L"ShowProgress"));
    }
    RefreshLogs();
}

void TfrmSched::FormCloseQuery() {
    WriteEnabled(tsJunk.Key(), cbJunk.Checked());
    WriteEnabled(tsRegistry.Key(), cbRegistry.Checked());
    WriteEnabled(tsEraser.Key(), cbEraser.Checked());
}

void TfrmSched::pcChange() {
    bool options = pc.ActivePage() == &tsOptions;
    imgSide1.SetVisible(!options);
    imgSide2.SetVisible(!options);
    RefreshLogs();
}

// --- schedule texts ---------------------------------------------------------------------------
void TfrmSched::RefreshSched(TaskPage& page) {
    ScheduleTexts t = ComputeScheduleTexts(page.Key(), SchedNow());
    if (t.schedule) page.lblSched.SetText(*t.schedule);
    if (t.lastRun) page.lblLast.SetText(*t.lastRun);
    if (t.nextRun) page.lblNext.SetText(*t.nextRun);
}

void TfrmSched::RefreshAllSched() {
    for (TaskPage* p : Tasks) {
        try {
            RefreshSched(*p);
        } catch (...) {
            ui::ReportException(std::current_exception());
        }
    }
}

// --- enabling ---------------------------------------------------------------------------------
void TfrmSched::ToggleMaintenance() {
    bool any = cbJunk.Checked() || cbEraser.Checked() || cbRegistry.Checked();
    HWND resident = ::FindWindowW(kResidentWindowClass, nullptr);
    if (any) {
        WriteRegString(kRunKey, kResidentRunValue, ResidentCommand());
        if (!resident) {
            std::wstring exe = ProgramFolder() + kResidentExeName;
            if (FileExists(exe)) ShellOpen(exe, L"OPEN");
        }
    } else {
        if (resident) {
            DWORD_PTR r = 0;
            ::SendMessageTimeoutW(resident, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 5000, &r);
        }
        DeleteRegValue(kRunKey, kResidentRunValue);
    }
}

void TfrmSched::EnableClick(TaskPage& page) {
    bool enabled = page.cbEnabled.Checked();
    // "Enabled" (and a first schedule) are stored before the resident scheduler is started, so
    // that it finds them when it first looks.
    WriteEnabled(page.Key(), enabled);
    if (enabled) HandleFirstCheck(page.Key(), SchedNow());
    ToggleMaintenance();
    if (enabled) RefreshSched(page);
    if (UpperCase(page.lblSched.Text()) == L"WHEN WINDOWS IS STARTED") {
        if (enabled) WriteWinStart(page.task);
        else RemoveWinStart(page.task);
    }
    for (ui::Control* c : std::initializer_list<ui::Control*>{&page.lblSchedCap, &page.lblLastCap, &page.lblNextCap,
                                                                &page.lblSched, &page.lblLast, &page.lblNext,
                                                                &page.cbSave, &page.cbShowProg})
        c->SetEnabled(enabled);
    if (!creating_) NudgeResident();
}

// --- buttons ----------------------------------------------------------------------------------
void TfrmSched::cmdChangeClick(TaskPage& page) {
    {
        TfrmSProps props(page.task, page.cbEnabled.Checked(), this);
        props.ShowModal();
    }
    RefreshAllSched();
    NudgeResident();
}

void TfrmSched::cmdSettingsClick(TaskPage& page) {
    ShowHintOnce(L"SchedSettings", kSettingsHint);
    if (OpenToolWindow) OpenToolWindow(page.task);
}

void TfrmSched::cmdRunNowClick(TaskPage& page) {
    DeleteNextRun(page.Key());
    std::wstring exe = ProgramFolder() + kProgramExeName;
    if (FileExists(exe)) ShellOpen(exe, L"Open", TaskInfo(page.task).commandSwitch);
}

void TfrmSched::ViewLog(TaskPage& page) {
    auto path = FindLogFile(TaskInfo(page.task).logFile);
    if (path) ShellOpen(*path, L"Open");
    else ui::ShowMessage(kNoEventsMessage);
}

void TfrmSched::ClearLog(TaskPage& page) {
    auto answer = ui::MessageBox(L"Are you sure you want to permanently clear the log file associated with this operation?",
                                 L"Please confirm", ui::MsgIcon::Question, ui::MsgButtons::YesNo);
    if (answer != ui::MsgResult::Yes) return;
    std::wstring error;
    if (!DeleteLogFile(TaskInfo(page.task).logFile, error))
        ui::MessageBox(L"The log file \"" + std::wstring(TaskInfo(page.task).logFile) + L"\" could not be cleared.\r\n\r\n" +
                           error,
                       ui::ApplicationTitle(), ui::MsgIcon::Warning);
    RefreshLogs();
}

void TfrmSched::RefreshLogs() {
    for (TaskPage* p : Tasks) {
        auto path = FindLogFile(TaskInfo(p->task).logFile);
        p->cmdView.SetEnabled(path.has_value());
        p->cmdClear.SetEnabled(path.has_value());
        if (path) {
            std::wstring text;
            try {
                text = ReadLogText(*path);
            } catch (...) {
                text = kNoEventsLogged;
            }
            p->mmo.SetText(text);
            if (HWND h = p->mmo.Handle()) {
                int len = ::GetWindowTextLengthW(h);
                ::SendMessageW(h, EM_SETSEL, len, len);
                ::SendMessageW(h, EM_SCROLLCARET, 0, 0);
            }
        } else {
            p->mmo.SetText(kNoEventsLogged);
        }
    }
}

void TfrmSched::BroadCastRefresh() {
    SendRefreshToSchedWindows();
    ui::ProcessMessages();
    SetCaption(kSchedWindowTitle);
}

// --- entry points -----------------------------------------------------------------------------
void ShowScheduler() {
    auto form = std::make_unique<TfrmSched>();
    form->ShowModal();
    ui::ProcessMessages();
}

int RunScheduledTask(SchedTask task) {
    auto form = std::make_unique<TfrmSched>();
    switch (task) {
        case SchedTask::Junk: form->PerformJunk(); break;
        case SchedTask::Eraser: form->PerformErase(); break;
        case SchedTask::Registry: form->PerformRegClean(); break;
    }
    ui::ProcessMessages();
    form->Close();
    form.reset();
    ui::ProcessMessages();
    return 0;
}
