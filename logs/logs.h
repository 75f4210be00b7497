// The logs and statistics window "Tool Action Logs": the manual and scheduled logs of every tool,
// clearing and viewing them, the statistics totals with their reset groups, and the logging
// switches.
#pragma once
#include <memory>
#include <string>
#include "logs/logstats.h"
#include "ui/formsettings.h"
#include "ui/ui.h"

// A button that opens a two-item menu ("Manual Operations", "Scheduled Operations").
class LogMenuButton : public ui::Button {
public:
    LogMenuButton(ui::Container& parent, int x, int y, int w, int h, const std::wstring& caption);
    std::function<void(int index)> OnChange;   // 0 manual, 1 scheduled
    void Choose(int index) { if (OnChange) OnChange(index); }
    ui::PopupMenu menu;
};

class TfrmLogs : public ui::Form {
public:
    TfrmLogs();
    ~TfrmLogs() override;

    ui::Picture imgSide{*this, 8, 8, 96, 456};
    ui::PageControl pc{*this, 112, 8, 600, 456};

    // A log page: heading, one or two panes, its clear and view controls.
    struct LogPage {
        ui::TabPage page;
        ui::Picture imgHeading;
        ui::Label lblHeading;
        ui::Label lblManual, lblAuto;
        ui::Edit mmo;                       // manual pane
        std::unique_ptr<ui::Edit> mmoAuto;  // scheduled pane (two-pane pages only)
        std::unique_ptr<ui::Picture> splitter;   // between the panes, dragged sideways
        int grabX = -1;
        int AutoWidth() const;
        void SetAutoWidth(int width);       // kept within the page
        std::unique_ptr<LogMenuButton> cmdCMenu, cmdVMenu;   // two-pane pages
        std::unique_ptr<ui::Button> cmdC, cmdV;              // single-pane pages
        std::wstring manualFile, autoFile;
        bool loaded = false;
        LogPage(ui::PageControl& pc, const std::wstring& caption, const std::wstring& heading,
                const std::wstring& manualFile, const std::wstring& autoFile);
        bool TwoPanes() const { return mmoAuto != nullptr; }
        ui::Control& ClearControl() { return TwoPanes() ? static_cast<ui::Control&>(*cmdCMenu) : *cmdC; }
        ui::Control& ViewControl() { return TwoPanes() ? static_cast<ui::Control&>(*cmdVMenu) : *cmdV; }
    };
    LogPage tsJunk{pc, L"Junk Files", L"Find and Remove Junk and Obsolete Files", L"Manual_Junk_Log.txt", L"JunkLog.txt"};
    LogPage tsPriv{pc, L"Privacy", L"Ensure Privacy and Erase History", L"Manual_Privacy_Log.txt", L"EraserLog.txt"};
    LogPage tsShort{pc, L"Shortcuts", L"Find and Fix Invalid Shortcuts", L"Manual_Shortcuts_Log.txt", L""};
    LogPage tsUnin{pc, L"Uninstallers", L"Remove Invalid Uninstaller Information", L"Manual_Uninstallers_Log.txt", L""};
    LogPage tsDupes{pc, L"Duplicate Files", L"Find and Remove Duplicate Files", L"Manual_Dupes_Log.txt", L""};
    LogPage tsReg{pc, L"Registry", L"Scan and Clean Registry", L"Manual_Registry_Log.txt", L"RegistryLog.txt"};

    // Statistics page.
    ui::TabPage tsStatistics{pc, L"Statistics"};
    ui::Picture imgStatHeading{tsStatistics, 8, 8, 16, 16};
    ui::Label lblStatHeading{tsStatistics, 8, 8, 490, 18, L"           General Kestrune Statistics"};
    ui::Label lblJRemoved{tsStatistics, 0, 0, 10, 10, L""}, lblJFreed{tsStatistics, 0, 0, 10, 10, L""},
        lblEFreed{tsStatistics, 0, 0, 10, 10, L""}, lblSFixed{tsStatistics, 0, 0, 10, 10, L""},
        lblSRemoved{tsStatistics, 0, 0, 10, 10, L""}, lblURemoved{tsStatistics, 0, 0, 10, 10, L""},
        lblDRemoved{tsStatistics, 0, 0, 10, 10, L""}, lblDFreed{tsStatistics, 0, 0, 10, 10, L""},
        lblRRemoved{tsStatistics, 0, 0, 10, 10, L""}, lblHRemoved{tsStatistics, 0, 0, 10, 10, L""},
        lblHFreed{tsStatistics, 0, 0, 10, 10, L""};

    // Settings page.
    ui::TabPage tsSettings{pc, L"Settings"};
    ui::Picture imgSetHeading{tsSettings, 8, 8, 16, 16};
    ui::Label lblSetHeading{tsSettings, 8, 8, 490, 18, L"           Log Settings"};
    ui::Label lblPerform{tsSettings, 16, 40, 400, 16, L"Perform logging for the following actions:"};
    ui::GroupBox gbManual{tsSettings, 16, 62, 230, 190, L"Manual Actions"};
    ui::GroupBox gbAuto{tsSettings, 258, 62, 230, 120, L"Automatic Actions"};
    ui::CheckBox cbJunk{tsSettings, 28, 84, 210, 20, L"&Junk and Obsolete Files"};
    ui::CheckBox cbPriv{tsSettings, 28, 110, 210, 20, L"&Privacy"};
    ui::CheckBox cbShort{tsSettings, 28, 136, 210, 20, L"&Invalid Shortcuts"};
    ui::CheckBox cbUnin{tsSettings, 28, 162, 210, 20, L"In&valid Uninstaller References"};
    ui::CheckBox cbDupes{tsSettings, 28, 188, 210, 20, L"Du&plicate Files"};
    ui::CheckBox cbReg{tsSettings, 28, 214, 210, 20, L"Re&gistry Cleaner"};
    ui::CheckBox cbJunkAuto{tsSettings, 270, 84, 210, 20, L"J&unk and Obsolete Files"};
    ui::CheckBox cbPrivAuto{tsSettings, 270, 110, 210, 20, L"P&rivacy"};
    ui::CheckBox cbRegAuto{tsSettings, 270, 136, 210, 20, L"Regis&try Cleaner"};

    ui::StatusBar sb{*this, {200}};

    // The six log pages in page order.
    LogPage* LogPages[6] = {&tsJunk, &tsPriv, &tsShort, &tsUnin, &tsDupes, &tsReg};

    // Operations.
    void GetStats();
    void RefreshAll();                 // "&Refresh Data" (F5)
    void LoadPage(LogPage& page);      // loads its panes unless it is marked as loaded
    void DoRefresh(LogPage& page, ui::Edit& pane, const std::wstring& file);
    void UpdateButtons(LogPage& page);
    // index: 0 manual, 1 scheduled (two-pane pages); single-pane pages use 0.
    void ClearLog(LogPage& page, int index);
    void LogView(LogPage& page, int index);
    void ResetItem(StatGroup group);   // the "&Reset..." items

    // Handlers.
    void FormShow();
    void FormActivate();
    void FormCloseQuery();
    void pcChange();
    void N2Click() { Close(); }        // "&Exit"
    void N4Click() { RefreshAll(); }   // "&Refresh Data"
    void N8Click();                    // help
    void N10Click();                   // web site

    // The menu bar, for the window and for tests.
    struct MenuCommand {
        UINT id;
        std::wstring caption;
        std::function<void()> action;
    };
    const std::vector<MenuCommand>& MenuCommands() const { return menuCommands_; }
    void RunMenuCommand(UINT id);

private:
    ui::FormSettings settings_{*this, L"software\\Ostrel\\Kestrune\\logs\\Pos"};
    std::vector<MenuCommand> menuCommands_;
    HMENU menuBar_ = nullptr;
    int sideImage_ = 0;
    void BuildMenu();
    void BuildStatistics();
    std::vector<std::unique_ptr<ui::Label>> statCaptions_;
};

// Creates the window, shows it modally and frees it (the navigator's "Logs" button).
void ShowLogsViewer();
