// The scheduling window "Scheduled Maintenance": enabling the three tasks, their schedules,
// event logs and options, the resident scheduler's registration, and the unattended runs that
// the command-line switches start.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include "sched/schedule.h"
#include "ui/formsettings.h"
#include "ui/ui.h"

class TfrmSched : public ui::Form {
public:
    TfrmSched();
    ~TfrmSched() override;

    ui::Picture imgSide1{*this, 8, 8, 80, 200};
    ui::Picture imgSide2{*this, 8, 216, 80, 200};
    ui::PageControl pc{*this, 96, 8, 520, 420};

    // One task page.
    struct TaskPage {
        SchedTask task;
        ui::TabPage page;
        ui::Picture imgHeading;
        ui::Label lblHeading;
        ui::CheckBox cbEnabled;                 // cbJunk, cbEraser, cbRegistry
        ui::Label lblSchedCap, lblLastCap, lblNextCap;
        ui::Label lblSched, lblLast, lblNext;   // lblSched1.., lblLast1.., lblNext1..
        ui::CheckBox cbSave;                    // cbSave1..3
        ui::CheckBox cbShowProg;                // cbJShowProg, cbEShowProg, cbRShowProg
        ui::Label lblEventLog;
        ui::Edit mmo;                           // mmoJunk, mmoEraser, mmoRegistry
        ui::Button cmdView, cmdClear, cmdChange, cmdSettings, cmdRunNow;
        TaskPage(ui::PageControl& pc, SchedTask task, const std::wstring& caption, const std::wstring& heading,
                 const std::wstring& saveCaption);
        std::wstring Key() const { return TaskKey(task); }
    };
    TaskPage tsJunk{pc, SchedTask::Junk, L"Junk Files", L"Find and Remove Junk and Obsolete Files", L"&Save To Log"};
    TaskPage tsEraser{pc, SchedTask::Eraser, L"Privacy", L"Ensure Privacy and Erase History", L"&Save To Log"};
    TaskPage tsRegistry{pc, SchedTask::Registry, L"Registry Cleaner", L"Scan and Clean Registry", L"&Save To Log?"};
    TaskPage* Tasks[3] = {&tsJunk, &tsEraser, &tsRegistry};
    TaskPage& Page(SchedTask t) { return *Tasks[static_cast<int>(t)]; }

    // The names the rest of the program knows these controls by.
    ui::CheckBox &cbJunk = tsJunk.cbEnabled, &cbEraser = tsEraser.cbEnabled, &cbRegistry = tsRegistry.cbEnabled;
    ui::Label &lblSched1 = tsJunk.lblSched, &lblSched2 = tsEraser.lblSched, &lblSched3 = tsRegistry.lblSched;
    ui::Label &lblLast1 = tsJunk.lblLast, &lblLast2 = tsEraser.lblLast, &lblLast3 = tsRegistry.lblLast;
    ui::Label &lblNext1 = tsJunk.lblNext, &lblNext2 = tsEraser.lblNext, &lblNext3 = tsRegistry.lblNext;
    ui::Edit &mmoJunk = tsJunk.mmo, &mmoEraser = tsEraser.mmo, &mmoRegistry = tsRegistry.mmo;

    // General options.
    ui::TabPage tsOptions{pc, L"General Options"};
    ui::Label lblOptHeading{tsOptions, 8, 8, 500, 18, L"           Global Options"};
    ui::CheckBox cbOnlyScan{tsOptions, 24, 44, 300, 20, L"&Only perform maintenance if primary drive"};
    ui::Label lblSpaceLess{tsOptions, 42, 70, 110, 16, L"space is less than"};
    ui::NumEdit meMegs{tsOptions, 156, 66, 70, 22, 1, 999, 100};   // with its up-down (UpDown2)
    ui::Label lblMegabytes{tsOptions, 232, 70, 100, 16, L"megabytes"};

    ui::Button cmdOK{*this, 460, 436, 75, 25, L"&Exit"};
    ui::Button cmdHelp{*this, 541, 436, 75, 25, L"&Help"};

    // Operations of the schedule.
    void RefreshSched(TaskPage& page);
    void RefreshAllSched();
    void RefreshLogs();
    void ToggleMaintenance();
    void EnableClick(TaskPage& page);      // cbJunkClick, cbEraserClick, cbRegistryClick
    void cmdChangeClick(TaskPage& page);   // "&Change Schedule..."
    void cmdSettingsClick(TaskPage& page); // "&Define Actions..."
    void cmdRunNowClick(TaskPage& page);
    void ViewLog(TaskPage& page);
    void ClearLog(TaskPage& page);
    void BroadCastRefresh();

    // Unattended runs (the program entry calls them on the hidden window).
    void PerformJunk();
    void PerformErase();
    void PerformRegClean();

    void FormShow();
    void FormCloseQuery();
    void pcChange();

    // Opens a task's tool window modally for "&Define Actions..."; replaceable for tests.
    std::function<void(SchedTask)> OpenToolWindow;

private:
    ui::FormSettings settings_{*this, L"software\\Ostrel\\Kestrune\\schedule\\pos"};
    bool creating_ = false;
    void FormCreate();
    void StoreCheckBox(const std::wstring& name, ui::CheckBox& box, std::function<void()> click);
};

// The "Scheduled Maintenance" window, modal (the navigator's button and "/SETSCHEDULE").
void ShowScheduler();
// "/CLEANJUNK", "/CLEANHISTORY", "/REGISTRYCLEAN": the task's unattended run on a hidden
// scheduling window; answers the exit status (0).
int RunScheduledTask(SchedTask task);

// The default "&Define Actions..." action: the tool window with the caption prefix, modal.
void OpenToolForScheduledActions(SchedTask task);
inline constexpr const wchar_t* kDefineActionsPrefix = L"Modifying Scheduled Maintenance Properties - ";

// The platform the unattended erase runs on (null: the real one); tests give a stand-in.
class EraserSystem;
void SetEraserSystemForRuns(EraserSystem* system);

// Waits for a tool's signal while handling messages: wakes on every message (and a few times a
// second to look at the signal) and never spins. Ends when done() or ended() answers true.
void WaitForToolSignal(const std::function<bool()>& done, const std::function<bool()>& ended);
