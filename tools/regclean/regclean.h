// The Registry Cleaner window: finds registry values that name missing files or folders and
// shared-DLL entries whose file is gone, removes the chosen ones (each saved to the session's
// undo file first), and backs up or restores the whole registry through the registry editor.
// Created hidden; the scheduler sets Unattended/LogEvents, presses btnStart, waits for
// ScanEnded (status panel 0 then reads kScanCompleted or kScanInterrupted) and calls Remove_All.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include "tools/regclean/regscan.h"
#include "tools/regclean/regundo.h"
#include "ui/formsettings.h"
#include "ui/ui.h"

inline constexpr const wchar_t* kScanCompleted = L"Scan successfully completed.";
inline constexpr const wchar_t* kScanInterrupted = L"Scan interrupted.";
inline constexpr const wchar_t* kRegCleanKey = L"\\software\\Ostrel\\Kestrune\\regclean\\pos";

class TfrmRegClean : public ui::Form {
public:
    TfrmRegClean();
    ~TfrmRegClean() override;

    // Set by the scheduler before it presses btnStart.
    bool Unattended = false;
    bool LogEvents = false;
    // The manual log switch, read when the window is shown (false while it never was).
    bool DoReg = false;
    bool StopRequested = false;
    // Values deleted in this window session.
    int RemovedCount = 0;
    // Windows NT family: the backup tab is hidden and the backup before a scan switched off when
    // the window is shown. Taken from the system at creation.
    bool NTPlatform = true;

    // The end of every scan, completed, stopped, refused for want of a backup, or ended by an
    // error; status panel 0 then reads kScanCompleted or kScanInterrupted.
    bool ScanEnded = false;
    std::function<void()> OnScanEnded;
    bool Scanning() const { return scanning_; }
    // Why the latest backup failed (empty when it succeeded).
    const std::wstring& BackupError() const { return backupError_; }
    const RegUndoFile& UndoFile() const { return *undo_; }

    // The registry editor used for backup and restore (tests replace the program).
    RegistryEditor Editor;

    void btnStartClick();
    void ScanRegistry();
    void Remove_Selected();
    void Remove_All();
    bool BackupRegistry(bool silent);
    bool RestoreRegistry(bool silent);
    void GetOptions();
    void FormShow();
    void FormCloseQuery();
    // The backup file: ProgramFolder() + "Registry Backup\Reg_Backup.reg".
    static std::wstring BackupFileName();

    ui::ToolBar tb;
    ui::ToolBar::ToolButton& cmdRemove;
    ui::PageControl pcRegistry;
    ui::TabPage tsAreas, tsOptions, tsBackup;
    ui::ListView lvScanFor;
    ui::CheckBox cbExclude, cbRescan;
    ui::Picture Image2;
    ui::CheckBox cbBackup;
    ui::Button cmdBackup, cmdRestore;
    ui::ListView lv;
    ui::BusyAnimation aviSearch;
    ui::Button btnStart, cmdExit, cmdHelp;
    ui::StatusBar sb;
    ui::PopupMenu pm;
    ui::PopupMenu::Item& mnuRemoveSelected;
    ui::PopupMenu::Item& mnuRemoveAll;

private:
    enum class RowOutcome { Removed, Gone, Kept };
    RowOutcome RemoveRow(int index);
    void AddRow(const RegRow& row);
    RegRow RowAt(int index) const;
    void ListChanged();
    void Relayout();
    void SetToolbarShown(bool shown);
    void ReportFailures(int failed);
    bool UnattendedLog() const { return Unattended && LogEvents; }
    bool ManualLog() const { return !Unattended && DoReg; }
    void LogLine(const std::wstring& text);         // whichever log applies
    void LogManual(const std::wstring& text);
    void LogUnattended(const std::wstring& text);

    std::unique_ptr<ui::FormSettings> settings_;
    std::unique_ptr<RegUndoFile> undo_;
    std::wstring backupError_, lastFailure_;
    bool scanning_ = false, backupFailed_ = false, busy_ = false;
};

// Creates the Registry Cleaner, shows it modally and frees it (the navigator's button).
void ShowRegistryCleaner();
