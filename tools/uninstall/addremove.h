// The uninstall-list cleaner window: lists the registrations of the system's uninstall list
// whose uninstaller is gone and removes the chosen one (saved to the session's undo file
// first). Opened by the navigator after its administrator gate.
#pragma once
#include <memory>
#include <string>
#include "tools/regclean/regundo.h"
#include "tools/uninstall/uninstrule.h"
#include "ui/formsettings.h"
#include "ui/ui.h"

class TfrmAddRemove : public ui::Form {
public:
    TfrmAddRemove();
    ~TfrmAddRemove() override;

    // The manual log switch, read when the window is shown.
    bool DoUnin = true;
    // Entries removed in this window session.
    int RemovedEntries = 0;
    const RegUndoFile& UndoFile() const { return *undo_; }

    void GetOrphans();
    void DoNoAdmin();
    void FormShow();
    void FormCloseQuery();
    void mnuRemoveClick();
    void cmdRefreshClick() { GetOrphans(); }
    void lvChange();

    ui::ToolBar tb;
    ui::ToolBar::ToolButton& cmdRemove;
    ui::ToolBar::ToolButton& cmdRefresh;
    ui::ToolBar::ToolButton& tbHelp;
    ui::ListView lv;
    ui::StatusBar sb;
    ui::PopupMenu pm;
    ui::PopupMenu::Item& mnuRemove;

private:
    void Log(const std::wstring& text);
    void Relayout();
    std::unique_ptr<ui::FormSettings> settings_;
    std::unique_ptr<RegUndoFile> undo_;
};

// Creates the window, shows it modally and frees it (the navigator calls it after its
// administrator check).
void ShowAddRemoveCleaner();
