#include "tools/uninstall/addremove.h"
#include "core/common.h"
#include "core/commontools.h"
#include "core/logs.h"
#include "core/registry.h"
#include "ui/dialogs.h"

namespace {
constexpr int kW = 600, kH = 340;
constexpr const wchar_t* kLogsSwitchKey = L"\\software\\Ostrel\\kestrune\\logs";
}  // namespace

TfrmAddRemove::TfrmAddRemove()
    : ui::Form(L"Remove Invalid Add/Remove Links", kW, kH, ui::FormStyle::Sizeable),
      tb(*this, commontools().ilCommon16.Handle()),
      cmdRemove(tb.AddButton(kImgRemove, L"Remove the selected item from the add/remove list in your control panel.")),
      cmdRefresh(tb.AddButton(kImgScan, L"Refresh the list of invalid uninstaller information")),
      tbHelp((tb.AddSeparator(), tb.AddButton(kImgHelp, L"Help"))),
      lv(*this, 0, 30, kW, kH - 52, ui::ListViewOptions{false, false, true}),
      sb(*this),
      mnuRemove(pm.Add(L"Clean &Selected\tDel")) {
    HelpTopic = L"Removing_invalid_uninstaller_information";
    KeyPreview = true;
    lv.SetSmallImages(commontools().ilCommon16.Handle());
    lv.AddColumn(L"Program Description", 200);
    lv.AddColumn(L"Internal Name", 150);
    lv.AddColumn(L"Uninstaller", 240);
    lv.ContextMenu = &pm;
    cmdRemove.OnClick = [this] { mnuRemoveClick(); };
    mnuRemove.OnClick = [this] { mnuRemoveClick(); };
    cmdRefresh.OnClick = [this] { cmdRefreshClick(); };
    tbHelp.OnClick = [this] { ui::ShowHelp(HelpTopic); };
    pm.OnPopup = [this] { mnuRemove.enabled = lv.SelectedIndex() >= 0; };
    lv.OnSelectionChanged = [this] { lvChange(); };
    lv.OnKeyDown = [this](WORD vk) {
        if (vk != VK_DELETE || lv.SelectedIndex() < 0) return false;
        mnuRemoveClick();
        return true;
    };
    OnShow = [this] { FormShow(); };
    OnClose = [this] { FormCloseQuery(); };
    OnMessage = [this](UINT msg, WPARAM, LPARAM) {
        if (msg == WM_SIZE) Relayout();
    };
    undo_ = std::make_unique<RegUndoFile>(RegUndoFile::DefaultFolder());
    settings_ = std::make_unique<ui::FormSettings>(*this, L"software\\Ostrel\\Kestrune\\addremove\\pos", true);
    AttachSettings(settings_.get());
    lvChange();
}

TfrmAddRemove::~TfrmAddRemove() = default;

void TfrmAddRemove::Relayout() {
    if (!Handle()) return;
    RECT rc;
    ::GetClientRect(Handle(), &rc);
    int scale100 = ui::Scale(100);
    int w = (rc.right - rc.left) * 100 / scale100, h = (rc.bottom - rc.top) * 100 / scale100;
    int top = tb.Height() * 100 / scale100 + 2, sbH = sb.Height() * 100 / scale100;
    if (h - top - sbH < 40) return;
    lv.SetBounds(0, top, w, h - top - sbH);
    sb.Relayout();
}

void TfrmAddRemove::Log(const std::wstring& text) {
    if (DoUnin) WriteLogLine(kLogManualUninstallers, text);
}

void TfrmAddRemove::lvChange() {
    bool selected = lv.SelectedIndex() >= 0;
    tb.SetButtonEnabled(cmdRemove, selected);
    mnuRemove.enabled = selected;
}

void TfrmAddRemove::GetOrphans() {
    lv.Clear();
    struct Finish {
        TfrmAddRemove& f;
        ~Finish() {
            if (f.lv.Count() > 0) f.lv.SetSelected(0, true);
            f.sb.SetText(f.lv.Count() > 0 ? std::to_wstring(f.lv.Count()) + L" invalid Add/Remove entrie(s) found."
                                          : L"Kestrune did not find any invalid add/remove entries on your system.");
            f.lvChange();
        }
    } finish{*this};
    std::vector<UninstallRow> rows = FindOrphanedEntries(HKEY_LOCAL_MACHINE);
    lv.BeginUpdate();
    for (const UninstallRow& r : rows) {
        int i = lv.AddItem(r.displayName, 0);
        lv.SetItemText(i, 1, r.keyName);
        lv.SetItemText(i, 2, r.uninstallString);
    }
    lv.Sort([this](int a, int b) { return CompareTextLocale(lv.ItemText(a), lv.ItemText(b)); });
    lv.EndUpdate();
}

void TfrmAddRemove::DoNoAdmin() {
    ShowRegistryAccessError();
    Close();
}

void TfrmAddRemove::FormShow() {
    DoUnin = ReadRegBool(kLogsSwitchKey, L"DoUnin");
    RemovedEntries = 0;
    if (DoUnin) WriteSessionOpen(kLogManualUninstallers, L"SESSION START: ");
    try {
        GetOrphans();
    } catch (...) {
        DoNoAdmin();
        return;
    }
    Log(L"  Number of invalid uninstaller references found: " + std::to_wstring(lv.Count()));
    Relayout();
}

void TfrmAddRemove::FormCloseQuery() {
    if (DoUnin)
        WriteSessionClose(kLogManualUninstallers, L"SESSION CLOSE: ",
                          {L"NUMBER OF REFERENCES REMOVED: " + std::to_wstring(RemovedEntries)});
    AddToCounter(L"UninItems", RemovedEntries);
}

void TfrmAddRemove::mnuRemoveClick() {
    int index = lv.SelectedIndex();
    if (index < 0) return;
    std::wstring description = lv.ItemText(index, 0), name = lv.ItemText(index, 1), failure;
    try {
        bool hadUndo = undo_->Created();
        bool removed = RemoveUninstallEntry(HKEY_LOCAL_MACHINE, name, *undo_, failure);
        if (!hadUndo && undo_->Created()) Log(L"  Undo file: " + undo_->Path());
        if (removed) {
            Log(L"  Removed: " + description);
            ++RemovedEntries;
        } else {
            Log(L"  Removal failed: " + description + L" (" + failure + L")");
        }
    } catch (...) {
        try {
            GetOrphans();
        } catch (...) {
        }
        DoNoAdmin();
        return;
    }
    try {
        GetOrphans();
    } catch (...) {
        DoNoAdmin();
        return;
    }
    if (!failure.empty())
        ui::MessageBox(L"\"" + description + L"\" could not be removed from the Add/Remove list.\r\r" + failure,
                       ui::ApplicationTitle(), ui::MsgIcon::Warning, ui::MsgButtons::OK);
}

void ShowAddRemoveCleaner() {
    auto form = std::make_unique<TfrmAddRemove>();
    form->ShowModal();
}
