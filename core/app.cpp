#include "core/app.h"
#include <shellapi.h>
#include <cwctype>
#include "core/commontools.h"
#include "core/completecache.h"
#include "core/help.h"
#include "core/Navigator.h"
#include "core/paths.h"
#include "core/winhandle.h"
#include "ui/ui.h"

std::vector<std::wstring> CommandLineArguments() {
    std::vector<std::wstring> args;
    int n = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &n);
    if (!argv) return args;
    for (int i = 1; i < n; ++i) args.emplace_back(argv[i]);
    ::LocalFree(argv);
    return args;
}

AppMode ModeFromArguments(const std::vector<std::wstring>& args) {
    if (args.empty()) return AppMode::Navigator;
    std::wstring a = args[0];
    for (auto& c : a) c = static_cast<wchar_t>(std::towupper(c));
    if (a == L"/COMPLETECACHE") return AppMode::CompleteCache;
    if (a == L"/CLEANJUNK") return AppMode::CleanJunk;
    if (a == L"/CLEANHISTORY") return AppMode::CleanHistory;
    if (a == L"/REGISTRYCLEAN") return AppMode::RegistryClean;
    if (a == L"/SETSCHEDULE") return AppMode::SetSchedule;
    return AppMode::Unknown;
}

std::wstring HelpFileName() { return ProgramFolder() + L"Kestrune.hlp"; }

int RunKestrune(HINSTANCE instance) {
    AppMode mode = ModeFromArguments(CommandLineArguments());
    if (mode == AppMode::Unknown) return 0;   // not a switch of this program: nothing is shown

    ComInit com;
    ui::InitApplication(instance, L"Kestrune");
    ui::SetHelpHandler([](const std::wstring& topic) { ShowHelpTopic(topic); });
    CreateCommonTools();
    try {
        switch (mode) {
            case AppMode::Navigator: RunNavigator(); break;
            case AppMode::CompleteCache: RunCompleteCache(); break;
            default: RunScheduledMode(mode); break;
        }
    } catch (...) {
        ui::ReportException(std::current_exception());
    }
    ui::ProcessMessages();
    CloseHelpViewer();
    FreeCommonTools();
    ui::ProcessMessages();
    return 0;
}
