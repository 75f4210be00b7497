// The junk cleaner: finds temporary, backup and left-over files, whole folders of them and
// zero-length files, lists them and removes the chosen ones. Created hidden; the scheduler
// drives it with Unattended/LogEvents, cmdGo.Click() and cmdDelete.Click().
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include "scan/DiskList.h"
#include "scan/FileList.h"
#include "scan/TreeScan.h"
#include "tools/junk/junkrules.h"
#include "ui/formsettings.h"
#include "ui/ui.h"

inline constexpr const wchar_t* kJunkCaption = L"Find and Clean Junk and Obsolete Files";
inline constexpr const wchar_t* kJunkHelpTopic = L"Cleaning_your_system_of_junk_and_obsolete_files";

class TfrmJunk : public ui::Form {
public:
    TfrmJunk();
    ~TfrmJunk() override;

    // Set by the scheduler before it presses cmdGo.
    bool Unattended = false;
    bool LogEvents = false;
    // A copy of the manual-log switch "DoJunk", read at creation.
    bool LogJunk = true;
    // Session totals of the files removed through this window.
    int64_t RemovedBytes = 0;   // 64 bits: a session may well remove more than 2 GB
    int32_t RemovedFiles = 0;

    // --- scan -------------------------------------------------------------------------------
    void cmdGoClick();
    void ScanStart();
    void ScanEnd(bool completed);
    int32_t NumBytes() const;
    bool IsInListView(const std::wstring& path) const { return listed_.Contains(path); }
    bool RestrictedFile(const std::wstring& path) const;
    bool Scanning() const { return scanning_; }
    // The root each walk of the scan started from, in order (for the logs and the tests).
    const std::vector<std::wstring>& WalkedRoots() const { return walked_; }

    // --- removal ----------------------------------------------------------------------------
    void cmdDeleteClick();
    bool Perform_Delete(const std::wstring& path);
    void cmdViewClick();
    void cmdPropsClick();
    void D1Click();
    bool ToolBarShown() const { return tb.Visible(); }

    // --- the lists ----------------------------------------------------------------------------
    std::vector<ScanTypeRow> ScanTypes() const;
    void SetScanTypes(const std::vector<ScanTypeRow>& rows);

    // Controls, in the order they are laid out.
    ui::PageControl PageControl1;
    ui::TabPage TabSheet1, TabSheet2, TabSheet3, TabSheet4, TabSheet5;
    // Drives
    ui::Label lblDrives;
    TDiskListView DiskListView1;
    // Files to find
    ui::Label lblScan;
    ui::ListView lvScan;
    ui::Button cmdAddNew, cmdEdit, cmdRemove;
    ui::Picture imgMag;
    // Folders
    ui::Label lblFind, lblExclude;
    ui::ListView lvFolderFind, lvFolderExclude;
    ui::Button cmdAddFind, cmdEditFind, cmdRemoveFind, cmdExcludeAdd, cmdEditExclude, cmdRemoveExclude;
    // Other considerations
    ui::CheckBox cbDays;
    ui::NumEdit meDays;
    ui::Label lblDays;
    ui::CheckBox cbSkipAttr, cbInUse, cbTemp, cbZeroLength;
    // Removal
    ui::GroupBox grpRemoval;
    ui::Picture imgRecycle, imgDelete, imgMoveTo;
    ui::RadioButton optRecycle, optDelete, optMove;
    ui::Edit deMove;
    ui::Button cmdBrowseMove;
    ui::CheckBox cbConfirm;
    // Beside the pages
    ui::Button cmdGo, cmdExit, cmdHelp;
    ui::BusyAnimation aviSearch;
    // Below: the result tool bar, the list and the status bar
    ui::Panel tb;
    ui::Button cmdDelete, cmdDeleteMenu, cmdView, cmdProps;
    TFileListView lv;
    ui::StatusBar sb;
    ui::ProgressBar& pg() { return sb.PanelProgress(0); }

    ui::PopupMenu pmScan, pmFind, pmExclude, pmDelete, pmToolFunc;
    TTreeScanner ts, tsZero;

private:
    void FormCreate();
    void FormShow();
    void FormCloseQuery();
    bool PageControl1Changing();
    void BuildMenus();
    void UpdateListButtons();
    void UpdateResultButtons();
    void ShowToolBar(bool show);
    void Log(const std::wstring& line);
    bool LoggingOn() const { return Unattended ? LogEvents : LogJunk; }
    const wchar_t* LogName() const;
    void Status(const std::wstring& text) {
        statusPending_ = false;
        sb.SetPanelText(1, text);
    }
    void ShowPendingStatus();
    void Walk(TTreeScanner& scanner, const std::wstring& root, const std::wstring& masks);
    void Advance() { pg().SetPosition(pg().Position() + 1); }
    void tsFileFound(TTreeScanner& s);
    void tsZeroFileFound(TTreeScanner& s);
    void tsSearchDone(TTreeScanner& s);
    // A found file that passed the folder rules: listed now, or once the worker has tested it.
    void OfferFile(const TTreeScanner& s);
    void AddFoundRow(RuleWorker::File& f);
    void TakeTestedFiles();
    // The first icon stored in the file, added to ilFileIcons: its image, or 0.
    int AddAssociatedIcon(const std::wstring& path);
    void RowDetails(const std::wstring& path, uint64_t size, TFileListView::RowDetails& details);
    void PrepareFilter();
    void cmdAddNewClick();
    void lvScanDblClick();
    void cmdRemoveClick();
    bool ConfirmRemoveItem();
    void optClick();
    void optMoveClick();
    void ChooseMoveFolder();
    void lvDblClick();
    void DeleteRow(int index);

    static bool ProbeInUse(const std::wstring& path, DWORD attributes);
    void PumpNow();

    std::unique_ptr<ui::FormSettings> settings_;
    DWORD lastPump_ = 0;
    std::wstring pendingStatus_;   // the folder report not yet shown
    bool statusPending_ = false;
    ui::ImageList ilFileIcons{16, 64};
    ListedPaths listed_;
    JunkFilter filter_;
    RuleWorker tester_;
    std::vector<std::wstring> walked_;
    bool scanning_ = false;
};

// Creates the junk cleaner, shows it modally and frees it (the navigator's button).
void ShowJunkCleaner();
