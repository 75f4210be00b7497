// The navigator: the main window of the interactive program. A column of tool buttons, four
// side buttons (logs, web site, help, exit) and a hint panel describing the button under the
// pointer.
#pragma once
#include <array>
#include <functional>
#include <memory>
#include <string>
#include "ui/ui.h"

class TfrmHelp;

// What each navigator button opens; filled with the tools this build has (tools that are not
// part of the build say so).
struct NavigatorActions {
    std::function<void()> junk, eraser, shortcuts, uninstall, dupes, registry, startup, installMonitor, schedule,
        logs;
};
NavigatorActions DefaultNavigatorActions();

class TfrmNav : public ui::Form {
public:
    explicit TfrmNav(NavigatorActions actions = DefaultNavigatorActions());
    ~TfrmNav() override;

    // A tool button: three stacked pictures (pressed look at the bottom, hover look in the middle,
    // normal look on top).
    struct ToolButton {
        ui::Picture down, over, up;
        ui::Picture* hint = nullptr;
        ToolButton(TfrmNav& nav, int top, const std::wstring& caption);
    };
    // A side button: the pressed look below, the normal look (the clickable one) above.
    struct SideButton {
        ui::Picture down, up;
        ui::Picture* hint = nullptr;
        SideButton(TfrmNav& nav, int top, const std::wstring& caption);
    };

    ToolButton imgJunk{*this, 118, L"Junk Files"};
    ToolButton imgEraser{*this, 150, L"Internet Eraser"};
    ToolButton imgShortCuts{*this, 182, L"Shortcuts"};
    ToolButton imgUninstall{*this, 214, L"Uninstall List"};
    ToolButton imgDupes{*this, 246, L"Duplicate Files"};
    ToolButton imgReg{*this, 278, L"Registry Cleaner"};
    ToolButton imgStartUp{*this, 311, L"Startup Manager"};
    ToolButton imgSafe{*this, 344, L"Install Monitor"};
    ToolButton imgSched{*this, 377, L"Scheduled Maintenance"};
    SideButton imgLogs{*this, 289, L"Logs"};
    SideButton imgWeb{*this, 325, L"Web Site"};
    SideButton imgHelp{*this, 361, L"Help"};
    SideButton imgExit{*this, 397, L"Exit"};

    // The hint panel: one picture per button at 319, 121; at most one visible.
    ui::Picture imgJunk_Hint{*this, 319, 121, 167, 167}, imgEraser_Hint{*this, 319, 121, 167, 167},
        imgShortcuts_Hint{*this, 319, 121, 167, 167}, imgUninstall_Hint{*this, 319, 121, 167, 167},
        imgDupes_Hint{*this, 319, 121, 167, 167}, imgReg_Hint{*this, 319, 121, 167, 167},
        imgStartUp_Hint{*this, 319, 121, 167, 167}, imgSafe_Hint{*this, 319, 121, 167, 167},
        imgSched_Hint{*this, 319, 121, 167, 167}, imgLogs_Hint{*this, 319, 121, 167, 167},
        imgWeb_Hint{*this, 319, 121, 167, 167}, imgHelp_Hint{*this, 319, 121, 167, 167},
        imgExit_Hint{*this, 319, 121, 167, 167};

    // Every button picture visible again except `except`.
    void AllUp(ui::Picture* except);
    // Shows the hint belonging to a button picture (a picture without one changes nothing).
    void ChangeHint(ui::Picture* picture);
    // Shows that hint picture and hides the others; none hides all.
    void UpdateHint(ui::Picture* hint);
    ui::Picture* VisibleHint();

    bool CheckAdminStatus();
    std::function<bool()> IsAdmin;      // the administrator test (replaceable in tests)

    void imgWebClick();
    void imgHelpClick();
    void imgExitClick();
    void imgDupesClick();
    void imgUninstallClick();
    void imgStartUpClick();

private:
    NavigatorActions actions_;
    std::array<ToolButton*, 9> tools_;
    std::array<SideButton*, 4> sides_;
    std::array<ui::Picture*, 13> hints_;
    std::unique_ptr<TfrmHelp> help_;
    void Wire(ToolButton& b, ui::Picture& hint, std::function<void()> action);
    void Wire(SideButton& b, ui::Picture& hint, std::function<void()> action);
};

// Creates the navigator, shows it and runs the message loop until the program ends.
void RunNavigator();
