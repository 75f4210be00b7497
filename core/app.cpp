#include "core/app.h"
#include <shellapi.h>
#include <cwctype>

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

int RunKestrune(HINSTANCE) {
    return 0;
}
