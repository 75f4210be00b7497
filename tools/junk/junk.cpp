#include "tools/junk/junk.h"
#include <shellapi.h>
#include <cmath>
#include "core/common.h"
#include "core/commontools.h"
#include "core/logs.h"
#include "core/paths.h"
#include "core/registry.h"
#include "core/winhandle.h"
#include "scan/ItemProp.h"
#include "scan/SHFileOp.h"
#include "ui/dialogs.h"

namespace {

constexpr const wchar_t* kLogsSwitchKey = L"\\software\\Ostrel\\Kestrune\\logs";
constexpr const wchar_t* kRemoveItemText =
    L"Are you sure you wish to permanently remove the selected item?  This procedure cannot be reversed.\r\r"
    L"If you would merely like to exclude this item you may do so by \"unchecking\" its corresponding box.";
constexpr const wchar_t* kRemoveFolderHint =
    L"Remove the selected folder location.  To temporarily exclude locations \"uncheck\" their box.";

struct WaitCursor {
    HCURSOR old;
    WaitCursor() : old(::SetCursor(::LoadCursorW(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { ::SetCursor(old); }
};

std::vector<std::wstring> CheckedTexts(const ui::ListView& list) {
    std::vector<std::wstring> out;
    for (int i = 0; i < list.Count(); ++i)
        if (list.Checked(i)) out.push_back(list.ItemText(i, 0));
    return out;
}

ui::ListViewOptions Checks(bool multi = false) {
    ui::ListViewOptions o;
    o.checkBoxes = true;
    o.multiSelect = multi;
    return o;
}

ui::ListViewOptions DriveOptions() {
    ui::ListViewOptions o = TDiskListView::DefaultOptions();
    o.checkBoxes = true;
    return o;
}

// The first bytes of a file tell whether it can carry icons or a version resource.
enum class Signature { Unknown, Program, IconFile, Other };

Signature ReadSignature(HANDLE h) {
    unsigned char b[4] = {};
    DWORD n = 0;
    if (!::ReadFile(h, b, 4, &n, nullptr)) return Signature::Unknown;
    if (n >= 2 && b[0] == 'M' && b[1] == 'Z') return Signature::Program;
    if (n == 4 && b[0] == 0 && b[1] == 0 && (b[2] == 1 || b[2] == 2) && b[3] == 0) return Signature::IconFile;
    return Signature::Other;
}

}  // namespace

TfrmJunk::TfrmJunk()
    : ui::Form(kJunkCaption, 640, 560, ui::FormStyle::Dialog),
      PageControl1(*this, 8, 8, 520, 250),
      TabSheet1(PageControl1, L"Drive(s) to Scan"),
      TabSheet2(PageControl1, L"Files to Find"),
      TabSheet3(PageControl1, L"Folders"),
      TabSheet4(PageControl1, L"Other Considerations"),
      TabSheet5(PageControl1, L"Removal"),
      lblDrives(TabSheet1, 8, 8, 490, 16, L"Check the boxes of the drive(s) you wish to scan."),
      DiskListView1(TabSheet1, 8, 28, 496, 188, DriveOptions(), L"Drives to scan"),
      lblScan(TabSheet2, 8, 8, 490, 16, L"Check the box next to the file type(s) you wish to scan for."),
      lvScan(TabSheet2, 8, 28, 390, 188, Checks()),
      cmdAddNew(TabSheet2, 410, 28, 92, 25, L"&Add..."),
      cmdEdit(TabSheet2, 410, 58, 92, 25, L"&Edit"),
      cmdRemove(TabSheet2, 410, 88, 92, 25, L"&Remove"),
      imgMag(TabSheet2, 440, 150, 32, 32),
      lblFind(TabSheet3, 8, 4, 490, 16, L"Find ALL files in these folders, regardless type..."),
      lblExclude(TabSheet3, 8, 112, 490, 16, L"Exclude all of the files in these folders..."),
      lvFolderFind(TabSheet3, 8, 22, 390, 86, Checks()),
      lvFolderExclude(TabSheet3, 8, 130, 390, 86, Checks()),
      cmdAddFind(TabSheet3, 410, 22, 92, 25, L"&Add Folder..."),
      cmdEditFind(TabSheet3, 410, 50, 92, 25, L"&Edit"),
      cmdRemoveFind(TabSheet3, 410, 78, 92, 25, L"&Remove"),
      cmdExcludeAdd(TabSheet3, 410, 130, 92, 25, L"A&dd Folder..."),
      cmdEditExclude(TabSheet3, 410, 158, 92, 25, L"Edi&t"),
      cmdRemoveExclude(TabSheet3, 410, 186, 92, 25, L"Re&move"),
      cbDays(TabSheet4, 12, 14, 300, 20, L"&Only find files that have not been accessed in"),
      meDays(TabSheet4, 314, 13, 52, 22, 0, 999, 30),
      lblDays(TabSheet4, 372, 16, 40, 16, L"days"),
      cbSkipAttr(TabSheet4, 12, 46, 490, 20, L"&Skip read-only and system files"),
      cbInUse(TabSheet4, 12, 76, 490, 20, L"S&kip files that are currently being used by their associated application"),
      cbTemp(TabSheet4, 12, 106, 490, 20, L"Find &unused files in the Windows \"Temporary\" folder"),
      cbZeroLength(TabSheet4, 12, 136, 490, 20, L"&Find zero length files"),
      grpRemoval(TabSheet5, 8, 6, 496, 208, L"Removal Options"),
      imgRecycle(TabSheet5, 22, 28, 32, 32),
      imgDelete(TabSheet5, 22, 70, 32, 32),
      imgMoveTo(TabSheet5, 22, 112, 32, 32),
      optRecycle(TabSheet5, 64, 34, 300, 20, L"&Move removed files to recycle bin", true),
      optDelete(TabSheet5, 64, 76, 300, 20, L"&Permanently delete removed files"),
      optMove(TabSheet5, 64, 118, 150, 20, L"M&ove removed files to:"),
      deMove(TabSheet5, 218, 117, 250, 22),
      cmdBrowseMove(TabSheet5, 470, 117, 24, 22, L"..."),
      cbConfirm(TabSheet5, 64, 166, 300, 20, L"&Confirm before removing files"),
      cmdGo(*this, 538, 30, 94, 27, L"&Scan"),
      cmdExit(*this, 538, 62, 94, 27, L"&Exit"),
      cmdHelp(*this, 538, 94, 94, 27, L"&Help"),
      aviSearch(*this, 565, 140, 40, 40),
      tb(*this, 8, 264, 624, 32),
      cmdDelete(tb, 0, 3, 92, 26, L"Remove"),
      cmdDeleteMenu(tb, 92, 3, 18, 26, L"v"),
      cmdView(tb, 118, 3, 92, 26, L"QuickView"),
      cmdProps(tb, 214, 3, 92, 26, L"Properties"),
      lv(*this, 8, 300, 624, 228,
         {L"Name", L"Size", L"Type", L"Last Modified", L"Attributes", L"File Version", L"Product Version"}),
      sb(*this, {200}) {
    FormCreate();
}

TfrmJunk::~TfrmJunk() {
    ts.KeepScanning = false;
    tsZero.KeepScanning = false;
}

void TfrmJunk::FormCreate() {
    HelpTopic = kJunkHelpTopic;
    KeyPreview = true;
    DefaultButton = &cmdGo;
    cmdGo.SetHint(L"Begin scanning for files");
    cmdExit.SetHint(L"Exit the Junk and Obsolete File tool");
    cmdHelp.SetHint(L"Documentation for this tool");
    cmdAddNew.SetHint(L"Add a new file type to scan for");
    cmdEdit.SetHint(L"Edit the selected file type");
    cmdRemove.SetHint(L"Remove the selected file type");
    cmdAddFind.SetHint(L"Add a new folder");
    cmdEditFind.SetHint(L"Edit the selected folder");
    cmdEditExclude.SetHint(L"Edit the selected folder location");
    cmdRemoveFind.SetHint(kRemoveFolderHint);
    cmdRemoveExclude.SetHint(kRemoveFolderHint);
    for (ui::Label* l : {&lblDrives, &lblScan, &lblFind, &lblExclude}) l->SetBold(true);

    // Pictures and glyphs of the shared module.
    Tcommontools& common = commontools();
    imgRecycle.SetBitmap(common.imgRecycle);
    imgDelete.SetBitmap(common.imgDelete);
    imgMoveTo.SetBitmap(common.imgMoveTo);
    imgMag.SetBitmap(common.imgMag);
    cmdHelp.SetGlyph(common.imgHelp16);
    for (ui::ListView* l : {static_cast<ui::ListView*>(&lvScan), &lvFolderFind, &lvFolderExclude})
        l->SetSmallImages(common.ilCommon16.Handle());
    aviSearch.SetVisible(false);

    LogJunk = ReadRegBool(kLogsSwitchKey, L"DoJunk");
    RemovedBytes = 0;
    RemovedFiles = 0;

    cbSkipAttr.SetChecked(true);
    cbInUse.SetChecked(true);
    cbConfirm.SetChecked(true);
    optRecycle.SetChecked(true);
    deMove.SetEnabled(false);
    settings_ = std::make_unique<ui::FormSettings>(*this, kJunkPosKey);
    settings_->Add(L"cbConfirm", cbConfirm);
    settings_->Add(L"cbDays", cbDays);
    settings_->Add(L"cbInUse", cbInUse);
    settings_->Add(L"cbSkipAttr", cbSkipAttr);
    settings_->Add(L"cbTemp", cbTemp);
    settings_->Add(L"cbZeroLength", cbZeroLength);
    settings_->Add(L"meDays", meDays);
    settings_->Add(L"deMove", deMove);
    AttachSettings(settings_.get());
    settings_->Restore();

    // The file types.
    lvScan.AddColumn(L"File type", 130);
    lvScan.AddColumn(L"Description", 236);
    std::wstring scanFor = kDefaultScanFor, scanDesc = kDefaultScanDesc;
    if (RegKey k = OpenKey(HKEY_CURRENT_USER, NormalizeKeyPath(kJunkKey), false, KEY_READ)) {
        if (ValueExists(k.get(), L"ScanFor")) scanFor = GetString(k.get(), L"ScanFor").value_or(L"");
        if (ValueExists(k.get(), L"ScanDesc")) scanDesc = GetString(k.get(), L"ScanDesc").value_or(L"");
    }
    SetScanTypes(ParseScanTypes(scanFor, scanDesc));

    // The drives: the stored letters are checked; selection follows the check boxes.
    DiskListView1.SelectLocalDrives = false;
    DiskListView1.RefreshDrives();
    DiskListView1.OnItemChecked = [this](int) {
        for (int i = 0; i < DiskListView1.Count(); ++i) DiskListView1.SetSelected(i, DiskListView1.Checked(i));
    };
    std::wstring stored = JunkUpper(ReadRegString(kJunkKey, L"Drives"));
    for (int i = 0; i < DiskListView1.Count(); ++i) {
        wchar_t c = DriveLetterOfCaption(DiskListView1.ItemText(i));
        if (c && stored.find(c) != std::wstring::npos) DiskListView1.SetChecked(i, true);
    }
    DiskListView1.OnItemChecked(0);

    // The folder lists.
    for (ui::ListView* l : {&lvFolderFind, &lvFolderExclude}) {
        l->AddColumn(L"Folder Location", 230);
        l->AddColumn(L"Description", 136);
    }
    LoadCheckedList(lvFolderFind, kJunkFoldersKey, kImgFolder);
    LoadCheckedList(lvFolderExclude, kJunkExcludedKey, kImgExcludedFolder);

    // The result list.
    {
        SHFILEINFOW sfi{};
        ::SHGetFileInfoW(L"file.kestrune-generic", FILE_ATTRIBUTE_NORMAL, &sfi, sizeof(sfi),
                         SHGFI_ICON | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES);
        if (sfi.hIcon) {
            ilFileIcons.AddIcon(sfi.hIcon);
            ::DestroyIcon(sfi.hIcon);
        } else {
            ilFileIcons.AddDrawn([](HDC dc, const RECT& rc) { Tcommontools::DrawImage(dc, rc, kImgView); });
        }
    }
    lv.SetSmallImages(ilFileIcons.Handle());
    lv.OnRowDetails = [this](const std::wstring& path, uint64_t size, TFileListView::RowDetails& d) {
        RowDetails(path, size, d);
    };
    lv.ContextMenu = &pmToolFunc;
    lv.OnSelectionChanged = [this] { UpdateResultButtons(); };
    lv.OnDoubleClick = [this](int) { lvDblClick(); };
    lv.OnKeyDown = [this](WORD vk) {
        if (vk == VK_DELETE && lv.SelectedCount() > 0) { cmdDeleteClick(); return true; }
        if (vk == VK_RETURN && lv.SelectedCount() == 1) { cmdViewClick(); return true; }
        return false;
    };
    sb.SetPanelText(1, L"");
    ShowToolBar(false);

    // Scanners.
    ts.FindHiddenFiles = ts.FindHiddenFolders = true;
    tsZero.FindHiddenFiles = tsZero.FindHiddenFolders = true;
    tsZero.SetFileMask(L"*.*");
    ts.PumpIntervalMs = tsZero.PumpIntervalMs = 10;
    ts.OnFileFound = [this](TTreeScanner& s) { tsFileFound(s); };
    tsZero.OnFileFound = [this](TTreeScanner& s) { tsZeroFileFound(s); };
    // The folder being walked reaches the status panel whenever messages are pumped, which is
    // when the window can show it; setting the panel for every folder costs more than the walk.
    ts.OnPumpMessages = tsZero.OnPumpMessages = [this] {
        tester_.Flush();
        TakeTestedFiles();
        ShowPendingStatus();
        ui::ProcessMessages();
    };
    ts.OnDirectoryFound = tsZero.OnDirectoryFound = [this](TTreeScanner& s) {
        pendingStatus_ = L"Scanning: " + s.FileFound() + L"...";
        statusPending_ = true;
    };
    ts.OnSearchDone = tsZero.OnSearchDone = [this](TTreeScanner& s) { tsSearchDone(s); };

    // Buttons, options and menus.
    cmdGo.OnClick = [this] { cmdGoClick(); };
    cmdExit.OnClick = [this] { lv.Clear(); listed_.Clear(); Close(); };
    cmdHelp.OnClick = [] { ui::ShowHelp(kJunkHelpTopic); };
    cmdAddNew.OnClick = [this] { cmdAddNewClick(); };
    cmdEdit.OnClick = [this] { lvScanDblClick(); };
    cmdRemove.OnClick = [this] { cmdRemoveClick(); };
    lvScan.OnDoubleClick = [this](int) { lvScanDblClick(); };
    auto folderEdit = [this](ui::ListView& list, int image, bool edit) {
        if (edit && list.SelectedIndex() < 0) return;
        AddOrEditFolder(list, edit, image);
        SaveCheckedList(list, &list == &lvFolderFind ? kJunkFoldersKey : kJunkExcludedKey);
        UpdateListButtons();
    };
    auto folderRemove = [this](ui::ListView& list) {
        if (list.SelectedIndex() < 0 || !ConfirmRemoveItem() || list.IsEditing()) return;
        DeleteSelectedItem(list);
        SaveCheckedList(list, &list == &lvFolderFind ? kJunkFoldersKey : kJunkExcludedKey);
        UpdateListButtons();
    };
    cmdAddFind.OnClick = [this, folderEdit] {
        if (!Unattended)
            ShowHintOnce(L"JunkFolders",
                         L"Using this option you may add specific folders to look within when scanning for junk and "
                         L"obsolete files.  Any files contained in these folders will be listed as candidates for "
                         L"removal, regardless of the settings under the \"Files to Find\" tab.");
        folderEdit(lvFolderFind, kImgFolder, false);
    };
    cmdExcludeAdd.OnClick = [this, folderEdit] {
        if (!Unattended)
            ShowHintOnce(L"JunkFolders", L"Using this option you may exclude specific folders from the file search.  "
                                         L"Any files within the folders in this list will be ignored.");
        folderEdit(lvFolderExclude, kImgExcludedFolder, false);
    };
    cmdEditFind.OnClick = [this, folderEdit] { folderEdit(lvFolderFind, kImgFolder, true); };
    cmdEditExclude.OnClick = [this, folderEdit] { folderEdit(lvFolderExclude, kImgExcludedFolder, true); };
    lvFolderFind.OnDoubleClick = [this, folderEdit](int) { folderEdit(lvFolderFind, kImgFolder, true); };
    lvFolderExclude.OnDoubleClick = [this, folderEdit](int) { folderEdit(lvFolderExclude, kImgExcludedFolder, true); };
    cmdRemoveFind.OnClick = [this, folderRemove] { folderRemove(lvFolderFind); };
    cmdRemoveExclude.OnClick = [this, folderRemove] { folderRemove(lvFolderExclude); };
    for (ui::ListView* l : {&lvScan, &lvFolderFind, &lvFolderExclude}) {
        l->OnSelectionChanged = [this] { UpdateListButtons(); };
        l->OnItemChecked = [this](int) { UpdateListButtons(); };
    }

    optRecycle.OnClick = [this] { optClick(); };
    optDelete.OnClick = [this] { optClick(); };
    optMove.OnClick = [this] { optMoveClick(); };
    imgRecycle.OnClick = [this] { optRecycle.Click(); };
    imgDelete.OnClick = [this] { optDelete.Click(); };
    imgMoveTo.OnClick = [this] { optMove.Click(); };
    cmdBrowseMove.OnClick = [this] { ChooseMoveFolder(); };
    PageControl1.OnChanging = [this] { return PageControl1Changing(); };

    cmdDelete.OnClick = [this] { if (lv.SelectedCount() > 0) cmdDeleteClick(); };
    cmdView.OnClick = [this] { cmdViewClick(); };
    cmdProps.OnClick = [this] { cmdPropsClick(); };
    BuildMenus();
    cmdDeleteMenu.OnClick = [this] {
        RECT rc;
        ::GetWindowRect(cmdDeleteMenu.Handle(), &rc);
        pmDelete.Popup(Handle(), rc.left, rc.bottom);
    };

    OnShow = [this] { FormShow(); };
    OnClose = [this] { FormCloseQuery(); };
    UpdateListButtons();
    UpdateResultButtons();
}

void TfrmJunk::BuildMenus() {
    auto listMenu = [this](ui::PopupMenu& m, ui::ListView& list, std::function<void()> add, std::function<void()> edit,
                           std::function<void()> remove, const wchar_t* editCaption, const wchar_t* uncheckCaption) {
        m.Add(L"&Add New Item\tCtrl+A", add);
        m.Add(editCaption, edit);
        m.Add(L"&Remove Selected Item\tDel", remove);
        m.Add(L"&Check all items", [&list] { CheckAllItems(list, true); });
        m.Add(uncheckCaption, [&list] { CheckAllItems(list, false); });
        m.OnPopup = [&m, &list] {
            bool sel = list.SelectedIndex() >= 0, any = list.Count() > 0;
            m[1].enabled = m[2].enabled = sel;
            m[3].enabled = m[4].enabled = any;
        };
        list.ContextMenu = &m;
    };
    listMenu(pmScan, lvScan, [this] { cmdAddNew.Click(); }, [this] { cmdEdit.Click(); }, [this] { cmdRemove.Click(); },
             L"&Edit Selected Item\tAlt+Enter", L"U&ncheck all items");
    listMenu(pmFind, lvFolderFind, [this] { cmdAddFind.Click(); }, [this] { cmdEditFind.Click(); },
             [this] { cmdRemoveFind.Click(); }, L"&Edit Selected Item\tCtrl+Enter", L"&Uncheck all items");
    listMenu(pmExclude, lvFolderExclude, [this] { cmdExcludeAdd.Click(); }, [this] { cmdEditExclude.Click(); },
             [this] { cmdRemoveExclude.Click(); }, L"&Edit Selected Item\tCtrl+Enter", L"&Uncheck all items");

    pmDelete.Add(L"&Remove Selected File(s)\tDel", [this] { if (lv.SelectedCount() > 0) cmdDeleteClick(); });
    pmDelete.Add(L"Remove &all listed files\tCtrl+Shift+Del", [this] { D1Click(); });
    pmToolFunc.Add(L"&Remove\tDel", [this] { if (lv.SelectedCount() > 0) cmdDeleteClick(); });
    pmToolFunc.Add(L"&QuickView\tEnter", [this] { cmdViewClick(); });
    pmToolFunc.Add(L"P&roperties\tAlt+Enter", [this] { cmdPropsClick(); });
    pmToolFunc.Add(L"&Select All\tCtrl+A", [this] { lv.SelectAll(true); UpdateResultButtons(); });
    pmToolFunc.OnPopup = [this] {
        int n = lv.SelectedCount();
        pmToolFunc[0].enabled = pmToolFunc[3].enabled = n >= 1;
        pmToolFunc[1].enabled = pmToolFunc[2].enabled = n == 1;
    };
}

void TfrmJunk::UpdateListButtons() {
    cmdEdit.SetEnabled(lvScan.SelectedIndex() >= 0);
    cmdRemove.SetEnabled(lvScan.SelectedIndex() >= 0);
    cmdEditFind.SetEnabled(lvFolderFind.SelectedIndex() >= 0);
    cmdRemoveFind.SetEnabled(lvFolderFind.SelectedIndex() >= 0);
    cmdEditExclude.SetEnabled(lvFolderExclude.SelectedIndex() >= 0);
    cmdRemoveExclude.SetEnabled(lvFolderExclude.SelectedIndex() >= 0);
}

void TfrmJunk::UpdateResultButtons() {
    int n = lv.SelectedCount();
    cmdView.SetEnabled(n == 1);
    cmdProps.SetEnabled(n == 1);
    cmdDelete.SetEnabled(n >= 1);
}

void TfrmJunk::ShowToolBar(bool show) { tb.SetVisible(show); }

void TfrmJunk::FormShow() {
    if (!Unattended && LogJunk) WriteSessionOpen(kLogManualJunk, L"OPEN SESSION: ");
    CheckFixedDrivesOnFirstUse(L"software\\Ostrel\\Kestrune\\junk", L"pos", DiskListView1);
}

// --- the file-type list ----------------------------------------------------------------------

std::vector<ScanTypeRow> TfrmJunk::ScanTypes() const {
    std::vector<ScanTypeRow> rows;
    for (int i = 0; i < lvScan.Count(); ++i) rows.push_back({lvScan.ItemText(i, 0), lvScan.ItemText(i, 1), lvScan.Checked(i)});
    return rows;
}

void TfrmJunk::SetScanTypes(const std::vector<ScanTypeRow>& rows) {
    lvScan.BeginUpdate();
    lvScan.Clear();
    for (const auto& r : rows) {
        int i = lvScan.AddItem(r.mask, kImgFileType);
        lvScan.SetItemText(i, 1, r.description);
        lvScan.SetChecked(i, r.checked);
    }
    lvScan.EndUpdate();
}

void TfrmJunk::cmdAddNewClick() {
    ShowHintOnce(L"JunkAdd", L"Use this option to add specific files or file extensions to look for when scanning "
                             L"your drives.  Wildcards such as \"*\" and \"?\" are supported.");
    std::wstring mask = ui::InputBox(L"Add New File Type", L"Extension or name of the file you wish to scan for:", L"");
    if (mask.empty()) return;
    std::wstring desc = ui::InputBox(L"New File Type Description", L"Enter a short description for this new file type:", L" ");
    int i = lvScan.AddItem(mask, kImgFileType);
    lvScan.SetItemText(i, 1, desc);
    lvScan.SetChecked(i, true);
    UpdateListButtons();
}

void TfrmJunk::lvScanDblClick() {
    int i = lvScan.SelectedIndex();
    if (i < 0) return;
    lvScan.SetItemText(i, 0, ui::InputBox(L"Modify File Type", L"Extension or name of the file you wish to scan for:",
                                          lvScan.ItemText(i, 0)));
    lvScan.SetItemText(i, 1, ui::InputBox(L"Modify File Type Description", L"Enter a short description for this file type:",
                                          lvScan.ItemText(i, 1)));
}

bool TfrmJunk::ConfirmRemoveItem() {
    return ui::MessageBox(kRemoveItemText, L"Please Confirm", ui::MsgIcon::Question, ui::MsgButtons::YesNo) ==
           ui::MsgResult::Yes;
}

void TfrmJunk::cmdRemoveClick() {
    int i = lvScan.SelectedIndex();
    if (i < 0 || !ConfirmRemoveItem()) return;
    lvScan.DeleteItem(i);
    if (lvScan.Count() > 0) lvScan.SetSelected(i > 0 ? i - 1 : 0, true);
    UpdateListButtons();
}

// --- the scan ----------------------------------------------------------------------------------

const wchar_t* TfrmJunk::LogName() const { return Unattended ? kLogJunk : kLogManualJunk; }

void TfrmJunk::Log(const std::wstring& line) {
    if (LoggingOn()) WriteLogLine(LogName(), line);
}

int32_t TfrmJunk::NumBytes() const {
    uint32_t sum = 0;
    for (int i = 0; i < lv.Count(); ++i) sum += static_cast<uint32_t>(_wtoi(lv.ItemText(i, 1).c_str()));
    return static_cast<int32_t>(sum);
}

bool TfrmJunk::RestrictedFile(const std::wstring& path) const {
    DWORD a = ::GetFileAttributesW(path.c_str());
    JunkFilter f = filter_;
    f.skipAttr = cbSkipAttr.Checked();
    f.days = cbDays.Checked();
    f.dayCount = meDays.Value();
    f.today = std::floor(NowDateTime());
    f.inUse = cbInUse.Checked();
    f.isInUse = [](const std::wstring& p, DWORD) { return IsFileInUse(p); };
    f.lastAccess = [](const std::wstring& p) { return GetLastAccessDate(p); };
    return f.Restricted(path, a == INVALID_FILE_ATTRIBUTES ? 0 : a);
}

void TfrmJunk::PrepareFilter() {
    std::vector<std::wstring> excluded = CheckedTexts(lvFolderExclude);
    filter_.SetExcluded(excluded);
    filter_.SetMoveFolder(deMove.Text());
    filter_.skipAttr = cbSkipAttr.Checked();
    filter_.days = cbDays.Checked();
    filter_.dayCount = meDays.Value();
    filter_.today = std::floor(NowDateTime());
    filter_.inUse = cbInUse.Checked();
    filter_.isInUse = &TfrmJunk::ProbeInUse;
    filter_.lastAccess = [](const std::wstring& p) { return GetLastAccessDate(p); };
    tester_.Start([f = filter_](const RuleWorker::File& file) { return f.Restricted(file.path, file.attributes); });
}

// The in-use test of IsFileInUse (a read-only file counts as in use; otherwise the file must
// open exclusively for writing), using the attributes the folder listing already gave.
bool TfrmJunk::ProbeInUse(const std::wstring& path, DWORD attributes) {
    if (attributes & FILE_ATTRIBUTE_READONLY) return true;
    UniqueHandle h(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                 nullptr));
    return !h.valid();
}

// The file handlers keep the window responsive without a queue check for every file.
void TfrmJunk::PumpNow() {
    DWORD now = ::GetTickCount();
    if (now - lastPump_ < 15) return;
    lastPump_ = now;
    tester_.Flush();
    TakeTestedFiles();
    ShowPendingStatus();
    ui::ProcessMessages();
}

void TfrmJunk::ShowPendingStatus() {
    if (!statusPending_) return;
    statusPending_ = false;
    sb.SetPanelText(1, pendingStatus_);
}

void TfrmJunk::cmdGoClick() {
    if (cmdGo.Text() == L"&Stop") {
        ScanEnd(false);
        return;
    }
    if (scanning_) return;   // a stopped scan is still unwinding
    scanning_ = true;
    walked_.clear();
    struct Running {
        bool& f;
        ~Running() { f = false; }
    } running{scanning_};
    if (Unattended && LogEvents) {
        WriteOperationStart(kLogJunk, true);
        WriteLogLine(kLogJunk, L"  Start Scan...");
    } else if (!Unattended && LogJunk) {
        WriteLogLine(kLogManualJunk, L"  Start Scan...");
    }
    auto finish = [this] {
        Log(L"  Scan End.");
        ScanEnd(true);
    };
    try {
        ScanStart();
        PrepareFilter();
        const std::wstring drives = DiskListView1.GetSelectedDrives();
        bool stopped = false;
        auto may = [&](TTreeScanner& s) { return !stopped && (stopped = !s.KeepScanning, !stopped); };
        if (cbTemp.Checked() && may(ts)) {
            Walk(ts, GetTempFolder(), L"*.*");
            Advance();
        }
        if (lvFolderFind.Count() > 0 && !stopped) {
            for (const auto& folder : CheckedTexts(lvFolderFind)) {
                if (!may(ts)) break;
                Walk(ts, folder, L"*.*");
            }
            Advance();
        }
        if (!stopped) {
            std::wstring masks;
            for (const auto& r : ScanTypes())
                if (r.checked) masks += (masks.empty() ? L"" : L",") + r.mask;
            ts.SetFileMaskCommaText(masks);
            if (!ts.FileMask().empty()) {
                for (wchar_t d : drives) {
                    if (!may(ts)) break;
                    Walk(ts, std::wstring(1, d) + L":\\", masks);
                    Advance();
                }
            }
        }
        if (cbZeroLength.Checked() && !stopped) {
            for (wchar_t d : drives) {
                if (!may(tsZero)) break;
                Walk(tsZero, std::wstring(1, d) + L":\\", L"");
                Advance();
            }
        }
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

void TfrmJunk::Walk(TTreeScanner& scanner, const std::wstring& root, const std::wstring& masks) {
    if (&scanner == &ts) scanner.SetFileMaskCommaText(masks);
    scanner.InitialDirectory = root;
    walked_.push_back(root);
    lv.BeginUpdate();
    struct Update {
        TFileListView& l;
        ~Update() { l.EndUpdate(); }
    } update{lv};
    scanner.Scan();
}

void TfrmJunk::ScanStart() {
    while (ImageList_GetImageCount(ilFileIcons.Handle()) > 1) ImageList_Remove(ilFileIcons.Handle(), 1);
    lv.Clear();
    lv.ClearDeferred();
    listed_.Clear();
    int drives = static_cast<int>(DiskListView1.GetSelectedDrives().size());
    int max = drives + (cbTemp.Checked() ? 1 : 0) + (cbZeroLength.Checked() ? drives : 0) +
              (lvFolderFind.Count() > 0 ? 1 : 0);
    pg().SetRange(0, max);
    pg().SetPosition(0);
    pg().SetVisible(true);
    cmdGo.SetText(L"&Stop");
    cmdGo.SetHint(L"Abort the current scan (may take a moment).");
    cmdHelp.SetVisible(false);
    aviSearch.SetVisible(true);
    aviSearch.SetActive(true);
    cmdExit.SetEnabled(false);
    PageControl1.SetEnabled(false);
    ShowToolBar(false);
    ts.SetFileMaskCommaText(L"");
    ts.KeepScanning = true;
    tsZero.KeepScanning = true;
}

void TfrmJunk::ScanEnd(bool completed) {
    tester_.Clear();   // a stopped scan lists nothing more
    ts.KeepScanning = false;
    tsZero.KeepScanning = false;
    cmdGo.SetText(L"&Scan");
    cmdGo.SetHint(L"Begin scanning for files");
    aviSearch.SetActive(false);
    aviSearch.SetVisible(false);
    cmdHelp.SetVisible(true);
    cmdExit.SetEnabled(true);
    PageControl1.SetEnabled(true);
    pg().SetPosition(0);
    if (lv.Count() == 0) {
        ShowToolBar(false);
    } else {
        ShowToolBar(true);
        lv.SelectAll(false);
        lv.SetSelected(0, true);
        lv.SetFocused(0);
        if (Showing()) lv.SetFocus();
    }
    UpdateResultButtons();
    if (completed && LoggingOn()) {
        WriteLogLine(LogName(), L"");
        WriteLogLine(LogName(), FoundLogLine(NumBytes(), lv.Count()));
    }
}

void TfrmJunk::tsSearchDone(TTreeScanner& s) {
    // The files of this walk still being tested are listed before its total is given.
    tester_.Finish([this](RuleWorker::File& f) { AddFoundRow(f); },
                   [this, &s] {
                       PumpNow();
                       return s.KeepScanning;
                   });
    int32_t bytes = NumBytes();
    Status(ScanCompleteText(bytes, lv.Count()));
    if (bytes != 0)
        Log(L"  Successfully scanned " + s.InitialDirectory +
            (&s == &tsZero ? L" for zero length files." : L" for specified file types."));
}

void TfrmJunk::tsFileFound(TTreeScanner& s) {
    PumpNow();
    if (!ts.KeepScanning) return;
    const std::wstring& path = s.FileFound();
    if (filter_.InExcludedFolder(path)) return;
    if (filter_.InMoveFolder(path, false)) return;
    if (listed_.Contains(path)) return;   // before the rules: they open the file
    OfferFile(s);
}

void TfrmJunk::tsZeroFileFound(TTreeScanner& s) {
    PumpNow();
    if (!tsZero.KeepScanning) return;
    const std::wstring& path = s.FileFound();
    if (filter_.InMoveFolder(path, true)) return;
    if (s.FileSize64() != 0) return;
    if (listed_.Contains(path)) return;
    OfferFile(s);
}

void TfrmJunk::OfferFile(const TTreeScanner& s) {
    RuleWorker::File f{s.FileFound(), s.FileAttributes(), s.FileSize64(), s.FileLastWrite()};
    if (!filter_.OpensFiles()) {
        if (!filter_.Restricted(f.path, f.attributes)) AddFoundRow(f);
        return;
    }
    tester_.Push(std::move(f));
    TakeTestedFiles();
}

void TfrmJunk::TakeTestedFiles() {
    tester_.TakeTested([this](RuleWorker::File& f) { AddFoundRow(f); });
}

void TfrmJunk::AddFoundRow(RuleWorker::File& f) {
    if (listed_.Contains(f.path)) return;
    // The icon and the version columns are looked up when the row is first shown.
    TFileListView::FoundFile info{f.attributes, f.size, f.lastWrite};
    if (lv.AddDeferredFile(f.path, info) >= 0) listed_.Add(f.path);
}

void TfrmJunk::RowDetails(const std::wstring& path, uint64_t size, TFileListView::RowDetails& d) {
    // Only programs and icon files can carry icons; only programs carry version resources.
    Signature sig = Signature::Other;
    if (size >= 2) {
        UniqueHandle h(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        sig = h.valid() ? ReadSignature(h.get()) : Signature::Unknown;
    }
    if (sig == Signature::Program || sig == Signature::Unknown) {
        d.fileVersion = FileVersionString(path, L"FileVersion");
        d.productVersion = FileVersionString(path, L"ProductVersion");
    }
    d.image = sig == Signature::Other ? 0 : AddAssociatedIcon(path);
}

int TfrmJunk::AddAssociatedIcon(const std::wstring& path) {
    HICON icon = ::ExtractIconW(ui::Instance(), path.c_str(), 0);
    int image = 0;
    if (icon && reinterpret_cast<INT_PTR>(icon) != 1) {
        int added = ilFileIcons.AddIcon(icon);
        ::DestroyIcon(icon);
        if (added >= 0) image = added;
    }
    return image;
}

// --- removal -----------------------------------------------------------------------------------

bool TfrmJunk::Perform_Delete(const std::wstring& path) {
    ui::ProcessMessages();
    TShellFileOp& op = commontools().ShellFileOp1();
    op.AddFile(path);
    std::wstring line;
    if (optDelete.Checked()) {
        op.Delete();
        line = L"  Permanently deleting: " + path;
    } else if (optMove.Checked()) {
        op.MoveTo(deMove.Text());
        line = L"  Relocating file: " + path + L"\r     To: " + deMove.Text();
    } else {
        op.Recycle();
        line = L"  Moving to recycle bin: " + path;
    }
    bool removed = op.WasRemoved(path);
    Log(removed ? line : L"  Unable to remove \"" + path + L"\".  The file was not removed.");
    return removed;
}

void TfrmJunk::cmdDeleteClick() {
    if (lv.SelectedCount() == 0) return;
    if (!Unattended && cbConfirm.Checked() &&
        ui::MessageBox(L"Are you sure you wish to remove the selected file(s) ?", L"Please confirm",
                       ui::MsgIcon::Warning, ui::MsgButtons::YesNo) != ui::MsgResult::Yes)
        return;
    WaitCursor wait;
    std::vector<int> selected = lv.SelectedIndices();
    auto finish = [&] {
        Status(RecoveredStatusText(RemovedBytes, RemovedFiles));
        if (lv.Count() == 0) {
            ShowToolBar(false);
        }
        UpdateResultButtons();
    };
    try {
        for (int i : selected) {
            const std::wstring path = lv.ItemText(i, 0);
            if (FileExists(path) && IsFileInUse(path)) {
                std::wstring line = L"  Unable to remove \"" + path + L"\".  This file is currently in use.";
                if (Unattended && LogEvents) WriteLogLine(kLogJunk, line);
                if (!Unattended && LogJunk) {
                    WriteLogLine(kLogManualJunk, line);
                    ShowHintOnce(L"JunkInUse", L"The file: \"" + path +
                                                   L"\" was unable to be removed at this time as it is currently in "
                                                   L"use by Windows or its associated application.");
                }
                continue;
            }
            uint64_t size = 0;
            WIN32_FILE_ATTRIBUTE_DATA fa;
            if (::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &fa))
                size = (static_cast<uint64_t>(fa.nFileSizeHigh) << 32) | fa.nFileSizeLow;
            if (Perform_Delete(path)) {
                RemovedBytes += static_cast<int64_t>(size);
                RemovedFiles += 1;
            }
        }
        int first = selected.empty() ? 0 : selected.front();
        for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
            DeleteRow(*it);
            ui::ProcessMessages();
        }
        if (lv.Count() > 0) {
            lv.SelectAll(false);
            int next = first < lv.Count() ? first : 0;
            lv.SetSelected(next, true);
            lv.SetFocused(next);
        }
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

void TfrmJunk::DeleteRow(int index) {
    listed_.Remove(lv.ItemText(index, 0));
    lv.DeleteItem(index);
}

void TfrmJunk::D1Click() {
    lv.SelectAll(true);
    if (lv.SelectedCount() > 0) cmdDeleteClick();
}

void TfrmJunk::cmdViewClick() {
    int i = lv.SelectedIndex();
    if (i < 0) return;
    std::wstring path = lv.ItemText(i, 0);
    std::wstring system = GetSystemFolder();
    if (system.empty()) {
        cmdView.SetEnabled(false);
        return;
    }
    std::wstring viewer = IncludeTrailingBackslash(system) + L"viewers\\QuikView.exe";
    HINSTANCE r;
    if (FileExists(viewer))
        r = ::ShellExecuteW(Handle(), nullptr, viewer.c_str(), (L"\"" + path + L"\"").c_str(), nullptr, SW_SHOWNORMAL);
    else
        r = ::ShellExecuteW(Handle(), L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    cmdView.SetEnabled(reinterpret_cast<INT_PTR>(r) > 32);
}

void TfrmJunk::cmdPropsClick() {
    int i = lv.SelectedIndex();
    if (i >= 0) ShowFileProperties(lv.ItemText(i, 0), Handle());
}

void TfrmJunk::lvDblClick() {
    if (lv.Count() == 0) return;
    int i = lv.SelectedIndex();
    if (i < 0) return;
    if (FileExists(lv.ItemText(i, 0)))
        ShowFileProperties(lv.ItemText(i, 0), Handle());
    else
        DeleteRow(i);
    if (lv.Count() == 0) ShowToolBar(false);
}

void TfrmJunk::optClick() { deMove.SetEnabled(optMove.Checked()); }

void TfrmJunk::optMoveClick() {
    if (!DirectoryExists(deMove.Text())) ChooseMoveFolder();
    optClick();
}

void TfrmJunk::ChooseMoveFolder() {
    std::wstring folder = deMove.Text();
    if (ui::SelectFolder(L"Move removed files to", folder)) deMove.SetText(folder);
}

bool TfrmJunk::PageControl1Changing() {
    if (PageControl1.ActivePage() != &TabSheet5 || !optMove.Checked() || DirectoryExists(deMove.Text())) return true;
    ui::MessageBox(L"You must specify a valid folder to move files to if you are going to use this removal option.",
                   ui::ApplicationTitle(), ui::MsgIcon::Warning);
    deMove.SetFocus();
    ChooseMoveFolder();
    return false;
}

void TfrmJunk::FormCloseQuery() {
    if (Unattended && LogEvents)
        WriteOperationComplete(kLogJunk, {TotalSpaceLine(RemovedBytes)}, true);
    else if (!Unattended && LogJunk)
        WriteSessionClose(kLogManualJunk, L"CLOSE SESSION: ", {TotalSpaceLine(RemovedBytes)});
    AddToCounter(L"JunkBytes", RemovedBytes);
    AddToCounter(L"JunkFiles", RemovedFiles);
    ts.KeepScanning = false;
    tsZero.KeepScanning = false;
    std::vector<ScanTypeRow> rows = ScanTypes();
    WriteRegString(kJunkKey, L"ScanFor", FormatScanFor(rows));
    WriteRegString(kJunkKey, L"ScanDesc", FormatScanDesc(rows));
    WriteRegString(kJunkKey, L"Drives", DiskListView1.GetSelectedDrives());
    SaveCheckedList(lvFolderFind, kJunkFoldersKey);
    SaveCheckedList(lvFolderExclude, kJunkExcludedKey);
}

void ShowJunkCleaner() {
    auto form = std::make_unique<TfrmJunk>();
    form->ShowModal();
    form->Close();
}
