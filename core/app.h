// Program entry: the start-up sequence and the dispatch on the first command-line argument.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

// The mode chosen by the first argument (upper-cased, compared exactly).
enum class AppMode { Navigator, CompleteCache, CleanJunk, CleanHistory, RegistryClean, SetSchedule, Unknown };
AppMode ModeFromArguments(const std::vector<std::wstring>& args);

// The command-line arguments after the program name.
std::vector<std::wstring> CommandLineArguments();

int RunKestrune(HINSTANCE instance);

// The help file the topics belong to: the program folder + "Kestrune.hlp".
std::wstring HelpFileName();

// The scheduler's modes (/CLEANJUNK, /CLEANHISTORY, /REGISTRYCLEAN, /SETSCHEDULE).
void RunScheduledMode(AppMode mode);
