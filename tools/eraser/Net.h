// The Eraser: the window that removes the shell's and the browsers' records of what the user
// did. Created hidden; the scheduler drives it with Unattended/LogEvents and cmdExecute.Click().
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include "tools/eraser/Dirscan.h"
#include "tools/eraser/Traces.h"
#include "ui/formsettings.h"
#include "ui/ui.h"

// Netscape's folder for the traces searched below it (nothing: not installed), resolved at the
// start of every run, and the free-space measure taken then. Both live for the whole process.
std::optional<std::wstring>& NetscapeFolder();
FreeSpaceSnapshot& FreeSpaceAtStart();

// The first status panel once a run has completed.
inline constexpr const wchar_t* kErasedText = L"You have been erased...  ";

class TfrmNet : public ui::Form {
public:
    explicit TfrmNet(EraserSystem* system = nullptr);
    ~TfrmNet() override;

    // Set by the scheduler before it presses cmdExecute.
    bool Unattended = false;
    bool LogEvents = false;
    // Whether the manual log is written; read from the Logs key at creation.
    bool DoPriv = true;

    // The end of every run, completed or not (the completion text marks only a completed run).
    bool RunEnded = false;
    bool RunCompleted = false;
    std::function<void()> OnRunEnded;
    bool Running() const { return running_; }
    // Space recovered by the latest run of this window (0 before the first run).
    int64_t LastRecovered() const { return lastRecovered_; }
    // Files the latest run could not delete.
    const std::vector<std::wstring>& LastFailedFiles() const { return lastFailed_; }

    // Shell-folder lookups: nothing when the value is missing.
    std::optional<std::wstring> CookiesFolder() const;
    std::optional<std::wstring> HistoryFolder() const;
    std::optional<std::wstring> CacheFolder() const;

    // The run and its parts.
    void cmdExecuteClick();
    void Clean_IE_Cache();
    void EraseCacheIndex(const std::wstring& folder);
    void Clean_IE_History();
    void WriteBatch(const std::wstring& name, const std::wstring& folder);
    void FormShow();
    void FormCloseQuery();

    ui::PageControl pc;
    ui::TabPage tsGeneral, tsInternet, tsExplorer, tsAOL;
    ui::Label lblGeneral, lblInternet, lblExplorer, lblAOL;
    ui::CheckBox cbFind, cbComputer, cbRun, cbDocuments;
    ui::CheckBox cbCookies, cbCache, cbURLList, cbClearHist;
    ui::CheckBox cbPersistent;
    ui::Label lblKeep, lblDays;
    ui::NumEdit seHistory;
    ui::CheckBox cbAOL;
    ui::Button cmdExecute, cmdClose, cmdHelp;
    ui::StatusBar fsb;

    ui::ProgressBar& pg() { return fsb.PanelProgress(0); }

private:
    void FormCreate();
    void Run();
    void Finish();
    void LogLine(const std::wstring& text);
    // A failure the user must hear of: a message box, or in an unattended run (which never
    // waits on a dialog) a line of the log.
    void ReportFailure(const std::wstring& text);
    void BeginStep(const std::wstring& text);
    void StepDone();
    void RemoveKey(HKEY root, const std::wstring& path, const wchar_t* failureText);
    void EmptyNetscapeCaches(const std::wstring& folder);
    // Empties a trace folder; files still in it afterwards go to FailedFiles.
    bool EmptyTraceFolder(const std::wstring& folder);
    void ShowWarning();
    TraceFileEraser& Eraser();

    EraserSystem* system_;
    std::unique_ptr<ui::FormSettings> settings_;
    std::unique_ptr<TraceFileEraser> eraser_;   // FailedFiles of the run in progress
    std::vector<std::wstring> lastFailed_;
    bool running_ = false, closing_ = false;
    int64_t lastRecovered_ = 0;
};

// Creates the Eraser, shows it modally and frees it (the navigator's button). A prefix goes
// before the caption ("Modifying Scheduled Maintenance Properties - ").
void ShowEraser();
void ShowEraser(const std::wstring& captionPrefix);
