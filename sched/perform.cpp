// The unattended runs: each drives its tool window hidden, exactly as a user would, and records
// the time of the run.
#include <memory>
#include "core/logs.h"
#include "core/progress.h"
#include "core/registry.h"
#include "sched/sched.h"
#include "tools/eraser/Net.h"
#include "tools/junk/junk.h"
#include "tools/regclean/regclean.h"
#include "ui/dialogs.h"

void WaitForToolSignal(const std::function<bool()>& done, const std::function<bool()>& ended) {
    for (;;) {
        ui::ProcessMessages();
        if (done() || (ended && ended()) || ui::Terminated()) return;
        // Sleeps until a message arrives; the timeout only lets the signal be looked at again.
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 250, QS_ALLINPUT);
    }
}

static EraserSystem* g_eraserSystem = nullptr;

void SetEraserSystemForRuns(EraserSystem* system) { g_eraserSystem = system; }

namespace {

const wchar_t* const kPerformingCaption = L"Performing Scheduled Maintenance";

// The frame shared by the three runs: progress window, flags, "LastRan" and the final refresh.
class UnattendedRun {
public:
    UnattendedRun(TfrmSched& form, SchedTask task) : form_(form), task_(task), key_(TaskKey(task)) {
        OpenKeyOrThrow(HKEY_CURRENT_USER, NormalizeKeyPath(key_), true);
        form_.SetCaption(kPerformingCaption);
        if (ReadRegBool(key_, L"ShowProgress")) {
            progress_ = std::make_unique<TfrmProgress>();
            progress_->lblSchedType.SetText(TaskInfo(task).progressText);
            if (task == SchedTask::Eraser) progress_->lblCancel.SetVisible(false);
            progress_->PlaceAndShow();
            ui::ProcessMessages();
        }
        logEvents_ = ReadRegBool(key_, L"LogEvents");
    }
    ~UnattendedRun() {
        if (progress_) progress_->Close();
        progress_.reset();
        form_.BroadCastRefresh();
    }
    bool LogEvents() const { return logEvents_; }
    TfrmProgress* Progress() const { return progress_.get(); }
    void Finish() {
        ui::ProcessMessages();
        if (logEvents_) form_.RefreshLogs();
        WriteDateTimeValue(key_, L"LastRan", SchedNow());
    }

private:
    TfrmSched& form_;
    SchedTask task_;
    std::wstring key_;
    bool logEvents_ = true;
    std::unique_ptr<TfrmProgress> progress_;
};

// Nothing of an unattended run is shown to the user: an error ends the run quietly (the tool's
// log is its record) and the frame still sends the refresh.
template <typename Body>
void Guarded(Body body) {
    try {
        body();
    } catch (...) {
    }
}

}  // namespace

void TfrmSched::PerformErase() {
    Guarded([&] {
        UnattendedRun run(*this, SchedTask::Eraser);
        auto tool = std::make_unique<TfrmNet>(g_eraserSystem);
        ui::ProcessMessages();
        tool->Unattended = true;
        tool->LogEvents = run.LogEvents();
        tool->cmdExecute.Click();
        WaitForToolSignal([&] { return tool->fsb.PanelText(0) == kErasedText; },
                          [&] { return tool->RunEnded || tool->IsClosed(); });
        ui::ProcessMessages();
        run.Finish();
        tool->Close();
    });
}

void TfrmSched::PerformJunk() {
    Guarded([&] {
        UnattendedRun run(*this, SchedTask::Junk);
        auto tool = std::make_unique<TfrmJunk>();
        ui::ProcessMessages();
        tool->Unattended = true;
        tool->LogEvents = run.LogEvents();
        TfrmJunk* junk = tool.get();
        // "Cancel" stops a running scan; once the scan is over a late press does nothing.
        if (TfrmProgress* p = run.Progress())
            p->OnStopJunkScan = [junk] { if (junk->Scanning()) junk->cmdGo.Click(); };
        tool->cmdGo.Click();
        WaitForToolSignal([&] { return tool->cmdGo.Text() == L"&Scan"; }, [&] { return tool->IsClosed(); });
        if (TfrmProgress* p = run.Progress()) p->OnStopJunkScan = nullptr;
        if (tool->lv.Count() > 0) {
            tool->lv.SelectAll(true);
            tool->cmdDelete.Click();
        } else if (run.LogEvents()) {
            WriteLogLine(kLogJunk, L"  Drives Already Clean: No junk files found");
        }
        ui::ProcessMessages();
        run.Finish();
        tool->Close();
    });
}

void TfrmSched::PerformRegClean() {
    Guarded([&] {
        UnattendedRun run(*this, SchedTask::Registry);
        auto tool = std::make_unique<TfrmRegClean>();
        ui::ProcessMessages();
        tool->Unattended = true;
        tool->LogEvents = run.LogEvents();
        TfrmRegClean* reg = tool.get();
        if (TfrmProgress* p = run.Progress())
            p->OnStopRegistryScan = [reg] { if (reg->Scanning()) reg->btnStart.Click(); };
        tool->btnStart.Click();
        WaitForToolSignal(
            [&] {
                std::wstring s = tool->sb.PanelText(0);
                return s == kScanCompleted || s == kScanInterrupted;
            },
            [&] { return tool->ScanEnded || tool->IsClosed(); });
        if (TfrmProgress* p = run.Progress()) p->OnStopRegistryScan = nullptr;
        if (tool->lv.Count() > 0) tool->Remove_All();
        ui::ProcessMessages();
        run.Finish();
        tool->Close();
    });
}

void OpenToolForScheduledActions(SchedTask task) {
    switch (task) {
        case SchedTask::Eraser: {
            auto tool = std::make_unique<TfrmNet>();
            tool->SetCaption(kDefineActionsPrefix + tool->Caption());
            tool->ShowModal();
            break;
        }
        case SchedTask::Junk: {
            auto tool = std::make_unique<TfrmJunk>();
            tool->SetCaption(kDefineActionsPrefix + tool->Caption());
            tool->ShowModal();
            break;
        }
        case SchedTask::Registry: {
            auto tool = std::make_unique<TfrmRegClean>();
            tool->SetCaption(kDefineActionsPrefix + tool->Caption());
            tool->ShowModal();
            break;
        }
    }
}
