#include "tools/regclean/regclean.h"
#include "core/common.h"
#include "core/commontools.h"
#include "core/errors.h"
#include "core/logs.h"
#include "core/paths.h"
#include "core/registry.h"
#include "ui/dialogs.h"
#include <algorithm>
#include <cstring>

namespace {

constexpr int kW = 620, kH = 470, kPcH = 150;

struct Area {
    const wchar_t* caption;
    const wchar_t* description;
    const wchar_t* stored;
    const wchar_t* logName;
};
constexpr Area kAreas[] = {
    {L"HKEY_CURRENT_USER", L"Stores information about the currently logged-in user", L"CU", L"HKEY_CURRENT_USER"},
    {L"HKEY_USERS", L"Stores information about all configured users", L"US", L"HKEY_USERS"},
    {L"HKEY_LOCAL_MACHINE", L"Stores global information about the computer", L"LM", L"HKEY_LOCAL_MACHINE"},
    {L"Invalid shared DLL's", L"Find orphaned references to system-shared .dll files", L"SD", L"Shared DLL References"},
};

constexpr const wchar_t* kStartHint = L"Begin scanning your registry";
constexpr const wchar_t* kStopHint = L"Abort the current scan (may take a moment)";
constexpr const wchar_t* kBackupHint = L"Use this option to make a backup of your registry before performing a scan";

bool SystemIsNT() {
    OSVERSIONINFOW vi{};
    vi.dwOSVersionInfoSize = sizeof vi;
#if defined(_MSC_VER)
#pragma warning(suppress : 4996)
#endif
    if (!::GetVersionExW(&vi)) return true;
    return vi.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

std::wstring EntriesFound(int n) { return L"Number of invalid entries found: " + std::to_wstring(n); }

class WaitCursor {
public:
    WaitCursor() : previous_(::SetCursor(::LoadCursorW(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { ::SetCursor(previous_ ? previous_ : ::LoadCursorW(nullptr, IDC_ARROW)); }
private:
    HCURSOR previous_;
};

}  // namespace

TfrmRegClean::TfrmRegClean()
    : ui::Form(L"Registry Cleaner", kW, kH, ui::FormStyle::Sizeable),
      tb(*this, commontools().ilCommon16.Handle()),
      cmdRemove(tb.AddButton(kImgRemove, L"Remove the selected reference(s) from the registry ")),
      pcRegistry(*this, 8, 8, kW - 16, kPcH),
      tsAreas(pcRegistry, L"Scan Areas"),
      tsOptions(pcRegistry, L"Scan Options"),
      tsBackup(pcRegistry, L"Backup / Restore"),
      lvScanFor(tsAreas, 6, 6, kW - 36, kPcH - 44, ui::ListViewOptions{true, false, true}),
      cbExclude(tsOptions, 16, 16, 420, 20, L"&Exclude references to CDROM or network drives"),
      cbRescan(tsOptions, 16, 44, 420, 20, L"&Re-scan after removal"),
      Image2(tsBackup, 16, 14, 32, 32),
      cbBackup(tsBackup, 56, 20, 400, 20, L"&Backup registry files before scanning"),
      cmdBackup(tsBackup, 56, 60, 160, 26, L"&Perform Backup Now"),
      cmdRestore(tsBackup, 226, 60, 160, 26, L"&Restore From Backup"),
      lv(*this, 8, kPcH + 16, kW - 16, kH - kPcH - 90, ui::ListViewOptions{false, true, true}),
      aviSearch(*this, 8, kH - 62, 26, 26),
      btnStart(*this, kW - 3 * 100 - 4, kH - 60, 94, 26, L"Scan &Registry"),
      cmdExit(*this, kW - 2 * 100 - 4, kH - 60, 94, 26, L"&Exit"),
      cmdHelp(*this, kW - 100 - 4, kH - 60, 94, 26, L"&Help"),
      sb(*this, {200}),
      mnuRemoveSelected(pm.Add(L"&Remove Selected Entries\tDel")),
      mnuRemoveAll(pm.Add(L"Remove &All Entries\tCtrl+Del")) {
    NTPlatform = SystemIsNT();
    HelpTopic = L"Cleaning_your_system_registry";
    KeyPreview = true;
    DefaultButton = &btnStart;
    // Esc closes the window as the Exit button does (disabled, and so inert, while a scan runs);
    // it never starts a scan.
    CancelButton = &cmdExit;
    btnStart.SetHint(kStartHint);
    cmdExit.SetHint(L"Close and exit this tool");
    cmdHelp.SetHint(L"Get help with this tool");
    cmdBackup.SetHint(L"Backup registry information now");
    cmdRestore.SetHint(L"Restore last saved registry backup");
    cbBackup.SetHint(kBackupHint);
    Image2.SetHint(kBackupHint);
    cbExclude.SetChecked(true);
    cbRescan.SetChecked(false);
    cbBackup.SetChecked(true);
    Image2.SetHandCursor(true);
    Image2.OnPaint = [](HDC dc, const RECT& rc) { Tcommontools::DrawImage(dc, rc, kImgSave); };
    Image2.OnClick = [this] { cbBackup.SetChecked(!cbBackup.Checked()); };
    aviSearch.SetVisible(false);
    if (HBITMAP glyph = commontools().imgHelp16) cmdHelp.SetGlyph(glyph);

    lvScanFor.SetSmallImages(commontools().ilCommon16.Handle());
    lvScanFor.AddColumn(L"Location to scan", 164);
    lvScanFor.AddColumn(L"Description", 256);
    lv.SetSmallImages(commontools().ilCommon16.Handle());
    lv.AddColumn(L"Registry Key", 202);
    lv.AddColumn(L"Last Modification", 132);   // room for the time in the system font
    lv.AddColumn(L"Key", 80);
    lv.AddColumn(L"Invalid Reference Value", 150);
    lv.ContextMenu = &pm;

    btnStart.OnClick = [this] { btnStartClick(); };
    cmdExit.OnClick = [this] {
        StopRequested = true;
        Close();
    };
    cmdHelp.OnClick = [this] { ui::ShowHelp(HelpTopic); };
    cmdBackup.OnClick = [this] { BackupRegistry(false); };
    cmdRestore.OnClick = [this] { RestoreRegistry(false); };
    cmdRemove.OnClick = [this] {
        if (lv.SelectedCount() > 0) Remove_Selected();
    };
    mnuRemoveSelected.OnClick = [this] { Remove_Selected(); };
    mnuRemoveAll.OnClick = [this] { Remove_All(); };
    pm.OnPopup = [this] { ListChanged(); };
    lv.OnSelectionChanged = [this] { ListChanged(); };
    lv.OnKeyDown = [this](WORD vk) {
        if (vk != VK_DELETE || scanning_) return false;
        if (::GetKeyState(VK_CONTROL) < 0) Remove_All();
        else if (lv.SelectedCount() > 0) Remove_Selected();
        return true;
    };
    lvScanFor.OnItemChecked = [this](int i) { lvScanFor.SetSelected(i, lvScanFor.Checked(i)); };
    OnShow = [this] { FormShow(); };
    OnClose = [this] { FormCloseQuery(); };
    OnMessage = [this](UINT msg, WPARAM, LPARAM) {
        if (msg == WM_SIZE) Relayout();
    };

    Editor.OnWaiting = [] { ui::ProcessMessages(); };
    undo_ = std::make_unique<RegUndoFile>(RegUndoFile::DefaultFolder());
    settings_ = std::make_unique<ui::FormSettings>(*this, kRegCleanKey, true);
    settings_->Add(L"cbRescan", cbRescan);
    settings_->Add(L"cbBackup", cbBackup);
    AttachSettings(settings_.get());
    GetOptions();
    SetToolbarShown(false);
    tb.SetButtonEnabled(cmdRemove, false);
    ListChanged();
}

TfrmRegClean::~TfrmRegClean() = default;

std::wstring TfrmRegClean::BackupFileName() { return ProgramFolder() + L"Registry Backup\\Reg_Backup.reg"; }

void TfrmRegClean::GetOptions() {
    lvScanFor.Clear();
    for (int i = 0; i < 4; ++i) {
        int row = lvScanFor.AddItem(kAreas[i].caption, i == 3 ? kImgDllRow : kImgKeyRow);
        lvScanFor.SetItemText(row, 1, kAreas[i].description);
        lvScanFor.SetChecked(row, ReadRegBool(kRegCleanKey, kAreas[i].stored));
    }
}

void TfrmRegClean::LogLine(const std::wstring& text) {
    if (UnattendedLog()) WriteLogLine(kLogRegistry, text);
    else if (ManualLog()) WriteLogLine(kLogManualRegistry, text);
}
void TfrmRegClean::LogManual(const std::wstring& text) {
    if (ManualLog()) WriteLogLine(kLogManualRegistry, text);
}
void TfrmRegClean::LogUnattended(const std::wstring& text) {
    if (UnattendedLog()) WriteLogLine(kLogRegistry, text);
}

void TfrmRegClean::SetToolbarShown(bool shown) {
    tb.SetVisible(shown);
    Relayout();
}

void TfrmRegClean::Relayout() {
    if (!Handle()) return;
    RECT rc;
    ::GetClientRect(Handle(), &rc);
    int scale100 = ui::Scale(100);
    int w = static_cast<int>((rc.right - rc.left) * 100 / scale100);
    int h = static_cast<int>((rc.bottom - rc.top) * 100 / scale100);
    if (w < 200 || h < 200) return;
    int top = tb.Visible() ? tb.Height() * 100 / scale100 + 2 : 0;
    int sbH = sb.Height() * 100 / scale100;
    pcRegistry.SetBounds(8, top + 8, w - 16, kPcH);
    RECT page = pcRegistry.PageRect();
    int areasW = (page.right - page.left) - 12;
    lvScanFor.SetBounds(6, 6, areasW, (page.bottom - page.top) - 12);
    if (areasW - lvScanFor.ColumnWidth(0) - 24 > 256) lvScanFor.SetColumnWidth(1, areasW - lvScanFor.ColumnWidth(0) - 24);
    int buttonsY = h - sbH - 34;
    int listTop = top + kPcH + 16;
    lv.SetBounds(8, listTop, w - 16, buttonsY - listTop - 8);
    aviSearch.SetBounds(8, buttonsY - 1, 26, 26);
    btnStart.SetBounds(w - 3 * 100 - 4, buttonsY, 94, 26);
    cmdExit.SetBounds(w - 2 * 100 - 4, buttonsY, 94, 26);
    cmdHelp.SetBounds(w - 100 - 4, buttonsY, 94, 26);
    sb.Relayout();
    // The first column takes what the other three leave.
    int others = lv.ColumnWidth(1) + lv.ColumnWidth(2) + lv.ColumnWidth(3);
    if (w - 16 - others > 70) lv.SetColumnWidth(0, w - 16 - others - 4 - 20);
}

void TfrmRegClean::FormShow() {
    SetToolbarShown(false);
    tb.SetButtonEnabled(cmdRemove, false);
    tsBackup.SetTabVisible(!NTPlatform);
    cbBackup.SetChecked(!NTPlatform);
    DoReg = ReadRegBool(L"\\software\\Ostrel\\Kestrune\\logs", L"DoReg");
    RemovedCount = 0;
    if (ManualLog()) WriteSessionOpen(kLogManualRegistry, L"SESSION START: ");
    if (!IsAdministrator())
        ShowHintOnce(L"Registry",
                     L"In order to utilize the Registry Cleaner's backup and restore functions you must be logged in "
                     L"as an administrator, thus these features have been temporarily removed.");
    Relayout();
}

void TfrmRegClean::FormCloseQuery() {
    StopRequested = true;
    for (int i = 0; i < 4 && i < lvScanFor.Count(); ++i)
        WriteRegBool(kRegCleanKey, kAreas[i].stored, lvScanFor.Checked(i));
    if (ManualLog())
        WriteSessionClose(kLogManualRegistry, L"CLOSE SESSION: ",
                          {L"NUMBER OF INVALID REFERENCES REMOVED: " + std::to_wstring(RemovedCount)});
    AddToCounter(L"RegRefs", RemovedCount);
}

void TfrmRegClean::ListChanged() {
    mnuRemoveAll.enabled = lv.Count() > 0;
    mnuRemoveSelected.enabled = lv.SelectedCount() > 0;
}

void TfrmRegClean::AddRow(const RegRow& row) {
    int i = lv.AddItem(row.caption, row.image);
    lv.SetItemText(i, 1, row.modified);
    lv.SetItemText(i, 2, row.valueName);
    lv.SetItemText(i, 3, row.data);
    if (lv.SelectedCount() == 0) lv.SetSelected(0, true);
}

RegRow TfrmRegClean::RowAt(int i) const {
    return RegRow{lv.ItemText(i, 0), lv.ItemImage(i), lv.ItemText(i, 1), lv.ItemText(i, 2), lv.ItemText(i, 3)};
}

void TfrmRegClean::btnStartClick() {
    if (scanning_) {
        StopRequested = true;
        btnStart.SetText(L"Scan &Registry");
        btnStart.SetHint(kStartHint);
        return;
    }
    if (busy_) return;
    scanning_ = true;
    ScanEnded = false;
    btnStart.SetHint(kStopHint);
    btnStart.SetText(L"&Stop");
    cmdBackup.SetEnabled(false);
    cmdRestore.SetEnabled(false);
    pcRegistry.SetEnabled(false);
    std::exception_ptr failure;
    try {
        if (UnattendedLog()) WriteOperationStart(kLogRegistry, false);
        LogManual(L"  Scanning registry for invalid references.");
        cmdExit.SetEnabled(false);
        lv.Clear();
        ListChanged();
        ScanRegistry();
    } catch (...) {
        failure = std::current_exception();
    }
    btnStart.SetText(L"Scan &Registry");
    btnStart.SetHint(kStartHint);
    cmdBackup.SetEnabled(true);
    cmdRestore.SetEnabled(true);
    pcRegistry.SetEnabled(true);
    aviSearch.SetActive(false);
    aviSearch.SetVisible(false);
    std::wstring reason;
    if (failure) {
        try {
            std::rethrow_exception(failure);
        } catch (const KesError& e) {
            reason = e.message();
        } catch (const std::exception& e) {
            reason = ui::ApplicationTitle() + L" error: " + std::wstring(e.what(), e.what() + std::strlen(e.what()));
        } catch (...) {
            reason = L"Unknown error";
        }
        // Whatever ended the scan, it ends visibly.
        sb.SetPanelText(0, kScanInterrupted);
        cmdExit.SetEnabled(true);
    }
    try {
        LogLine(L"  Scan complete. " + std::to_wstring(lv.Count()) + L" invalid references found.");
        if (failure) LogLine(L"  The scan ended with an error: " + reason);
    } catch (...) {
    }
    scanning_ = false;
    ScanEnded = true;
    if (OnScanEnded) OnScanEnded();
    // In the window the error is shown by the default error report; an unattended run shows
    // nothing and has logged it.
    if (failure && !Unattended) std::rethrow_exception(failure);
}

void TfrmRegClean::ScanRegistry() {
    StopRequested = false;
    backupFailed_ = false;
    if (cbBackup.Checked()) {
        LogUnattended(L"  Backing up registry files...");
        if (!BackupRegistry(true)) {
            backupFailed_ = true;
            if (Unattended) {
                // Nothing is cleaned without a backup to go back to.
                LogUnattended(L"  Registry backup failed: " + backupError_);
                LogUnattended(L"  Scan cancelled: the registry is not cleaned without a good backup.");
                if (UnattendedLog()) WriteOperationComplete(kLogRegistry, {}, false);
                sb.SetPanelText(0, kScanInterrupted);
                sb.SetPanelText(1, EntriesFound(0));
                cmdExit.SetEnabled(true);
                return;
            }
        }
    }
    aviSearch.SetVisible(true);
    aviSearch.SetActive(true);
    tb.SetButtonEnabled(cmdRemove, false);
    for (int i = 0; i < 4; ++i) {
        if (StopRequested || !lvScanFor.Checked(i)) continue;
        LogLine(std::wstring(L"  Analyzing: ") + kAreas[i].logName + L"...");
        sb.SetPanelText(0, std::wstring(L"Analyzing: ") + kAreas[i].logName);
        static const HKEY roots[] = {HKEY_CURRENT_USER, HKEY_USERS, HKEY_LOCAL_MACHINE, HKEY_LOCAL_MACHINE};
        RegistryWalker walker(roots[i], i == 3 ? L"HKEY_LOCAL_MACHINE" : kAreas[i].caption);
        walker.OnRow = [this](const RegRow& row) { AddRow(row); };
        walker.OnAnalyzing = [this](const std::wstring& key) {
            sb.SetPanelText(1, L"Analyzing: " + key);
            ui::ProcessMessages();
        };
        walker.StopRequested = [this] { return StopRequested; };
        if (i < 2) walker.ScanKeys(L"\\");
        else if (i == 2) walker.ScanKeys(L"\\Software");
        else walker.DoAnalyzeDLLs(std::wstring(L"\\") + kSharedDllKey, cbExclude.Checked());
    }
    aviSearch.SetActive(false);
    aviSearch.SetVisible(false);
    int rows = lv.Count();
    sb.SetPanelText(0, StopRequested ? kScanInterrupted : kScanCompleted);
    sb.SetPanelText(1, EntriesFound(rows));
    if (rows == 0 && !StopRequested) {
        if (!Unattended) {
            ui::MessageBox(L"No invalid references detected.", ui::ApplicationTitle(), ui::MsgIcon::Information,
                           ui::MsgButtons::OK);
        } else {
            LogUnattended(L"  Registry Already Clean: No invalid references detected.");
            if (UnattendedLog()) WriteOperationComplete(kLogRegistry, {}, false);
        }
    }
    SetToolbarShown(rows > 0);
    tb.SetButtonEnabled(cmdRemove, rows > 0);
    cmdExit.SetEnabled(true);
    ListChanged();
}

TfrmRegClean::RowOutcome TfrmRegClean::RemoveRow(int index) {
    RegRow row = RowAt(index);
    std::wstring rootName, keyPath;
    HKEY root = nullptr;
    ParseRowCaption(row.caption, rootName, keyPath, root);
    LogLine(L"  Removing invalid reference...");
    LogLine(L"      KEY: " + rootName + keyPath);
    LogLine(L"      VALUE: " + row.valueName);
    bool hadUndo = undo_->Created();
    std::wstring error;
    RemoveResult result = RemoveRowValue(row, *undo_, error);
    if (!hadUndo && undo_->Created()) LogLine(L"  Undo file: " + undo_->Path());
    switch (result) {
    case RemoveResult::Removed:
        ++RemovedCount;
        return RowOutcome::Removed;
    case RemoveResult::ValueMissing:
        LogLine(L"      NOT REMOVED: the value no longer exists.");
        return RowOutcome::Gone;
    default:
        LogLine(L"      REMOVAL FAILED: " + error);
        lastFailure_ = error;
        return RowOutcome::Kept;
    }
}

void TfrmRegClean::ReportFailures(int failed) {
    if (failed == 0 || Unattended) return;
    ui::MessageBox(std::to_wstring(failed) + (failed == 1 ? L" entry" : L" entries") +
                       L" could not be removed from the Registry and remained in the list.\r\r" + lastFailure_,
                   ui::ApplicationTitle(), ui::MsgIcon::Warning, ui::MsgButtons::OK);
}

void TfrmRegClean::Remove_Selected() {
    int selected = lv.SelectedCount();
    if (selected == 0 || scanning_) return;
    if (!Unattended) {
        std::wstring q = selected == 1 ? std::wstring(L"Are you sure you want to remove selected entry from the Registry?")
                                       : L"Are you sure you want to remove " + std::to_wstring(selected) +
                                             L" selected entries from the Registry?";
        if (ui::MessageBox(q, ui::ApplicationTitle(), ui::MsgIcon::Warning, ui::MsgButtons::YesNo) != ui::MsgResult::Yes)
            return;
    }
    int i = 0, failed = 0;
    while (lv.SelectedCount() > 0 && i < lv.Count()) {
        if (!lv.Selected(i)) {
            ++i;
            continue;
        }
        if (RemoveRow(i) == RowOutcome::Kept) {
            lv.SetSelected(i, false);
            ++failed;
            ++i;
        } else {
            lv.DeleteItem(i);
        }
    }
    int count = lv.Count();
    sb.SetPanelText(1, EntriesFound(count));
    if (i - 1 >= 0 && i - 1 < count) lv.SetSelected(i - 1, true);
    else if (i < count) lv.SetSelected(i, true);
    else if (i + 1 < count) lv.SetSelected(i + 1, true);
    tb.SetButtonEnabled(cmdRemove, count > 0);
    ListChanged();
    ReportFailures(failed);
    if (cbRescan.Checked()) btnStartClick();
}

void TfrmRegClean::Remove_All() {
    if (scanning_) return;
    if (!Unattended) {
        if (ui::MessageBox(L"Are you sure you want to remove all displayed entries from the Registry?",
                           ui::ApplicationTitle(), ui::MsgIcon::Warning, ui::MsgButtons::YesNo) != ui::MsgResult::Yes)
            return;
    } else {
        if (backupFailed_) {
            LogUnattended(L"  Registry not cleaned: the registry backup failed.");
            return;
        }
        LogUnattended(L"  Start: Removing invalid references");
    }
    std::vector<int> kept;
    int count = lv.Count();
    for (int i = 0; i < count; ++i)
        if (RemoveRow(i) == RowOutcome::Kept) kept.push_back(i);
    lv.BeginUpdate();
    for (int i = count - 1; i >= 0; --i)
        if (std::find(kept.begin(), kept.end(), i) == kept.end()) lv.DeleteItem(i);
    lv.EndUpdate();
    tb.SetButtonEnabled(cmdRemove, lv.Count() > 0);
    sb.SetPanelText(1, EntriesFound(lv.Count()));
    ListChanged();
    if (!Unattended) {
        ReportFailures(static_cast<int>(kept.size()));
        if (cbRescan.Checked()) btnStartClick();
    } else {
        if (!kept.empty()) LogUnattended(L"  Not removed: " + std::to_wstring(kept.size()) + L" invalid references");
        LogUnattended(L"  Finish: Removing invalid references");
        if (UnattendedLog())
            WriteOperationComplete(kLogRegistry,
                                   {L"NUMBER OF INVALID REFERENCES REMOVED: " + std::to_wstring(RemovedCount)}, false);
    }
}

bool TfrmRegClean::BackupRegistry(bool silent) {
    LogManual(L"  Backing up registry files.");
    std::wstring folder = ProgramFolder() + L"Registry Backup";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    std::wstring target = BackupFileName();
    if (!silent && FileExists(target) &&
        ui::MessageBox(L"A backup copy of the registry exists - do you want to update it?", L"Existing Backup...",
                       ui::MsgIcon::Question, ui::MsgButtons::YesNo) != ui::MsgResult::Yes) {
        sb.SetPanelText(0, L"Registry backup procedure complete...");
        return true;
    }
    bool ok;
    {
        busy_ = true;
        bool startEnabled = btnStart.Enabled();
        if (!scanning_) btnStart.SetEnabled(false);
        cmdBackup.SetEnabled(false);
        cmdRestore.SetEnabled(false);
        WaitCursor wait;
        sb.SetPanelText(0, L"Backing up registry files...");
        backupError_.clear();
        ok = ExportRegistry(Editor, Handle(), target, backupError_);
        if (!scanning_) {
            btnStart.SetEnabled(startEnabled);
            cmdBackup.SetEnabled(true);
            cmdRestore.SetEnabled(true);
        }
        busy_ = false;
    }
    if (ok) {
        if (!silent) ui::ShowMessage(L"Registry files successfully backed up to:\r\r" + target);
    } else {
        LogManual(L"  Registry backup failed: " + backupError_);
        // A failed backup is reported even before a scan: the user decides what to remove.
        if (!Unattended)
            ui::MessageBox(L"There was an error while backing up the registry.\r\r" + backupError_,
                           ui::ApplicationTitle(), ui::MsgIcon::Error, ui::MsgButtons::OK);
    }
    sb.SetPanelText(0, L"Registry backup procedure complete...");
    return ok;
}

bool TfrmRegClean::RestoreRegistry(bool silent) {
    LogManual(L"  Restoring registry files from backup.");
    std::wstring target = BackupFileName();
    if (!FileExists(target)) {
        if (!silent && !Unattended) ui::ShowMessage(L"No backup copy of the registry exists.");
        sb.SetPanelText(0, L"Restore procedure complete");
        return true;
    }
    std::wstring error;
    bool ok = false;
    if (!IsRegistryEditorFile(target)) {
        error = L"The backup file " + target + L" is not a registry editor file.";
    } else {
        sb.SetPanelText(0, L"Restoring Registry");
        busy_ = true;
        bool startEnabled = btnStart.Enabled();
        btnStart.SetEnabled(false);
        cmdBackup.SetEnabled(false);
        cmdRestore.SetEnabled(false);
        {
            WaitCursor wait;
            ok = Editor.Run(Handle(), L"/c \"" + target + L"\"", error);
        }
        btnStart.SetEnabled(startEnabled);
        cmdBackup.SetEnabled(true);
        cmdRestore.SetEnabled(true);
        busy_ = false;
    }
    if (!ok) {
        LogManual(L"  Registry restore failed: " + error);
        if (!Unattended)
            ui::MessageBox(L"There was an error while restoring the registry.\r\r" + error, ui::ApplicationTitle(),
                           ui::MsgIcon::Error, ui::MsgButtons::OK);
    }
    sb.SetPanelText(0, L"Restore procedure complete");
    return ok;
}

void ShowRegistryCleaner() {
    auto form = std::make_unique<TfrmRegClean>();
    form->ShowModal();
}
