// Scheduled_Maintenance.exe: the resident scheduler. A hidden top-level window of class
// "Scheduled Maintenance" that looks at the schedule keys every half minute (and whenever it
// receives the refresh message), starts Kestrune.exe with the switch of a task that is due,
// and runs the eraser task when Windows shuts down if it is scheduled for that.
//
// Options for tests only:
//   /KeyRoot <key>     the schedule key under HKEY_CURRENT_USER instead of the product's
//   /Program <path>    the program to start instead of Kestrune.exe beside this one
//   /Interval <ms>     the time between two looks
#include <windows.h>
#include <shellapi.h>
#include <memory>
#include <string>
#include <vector>
#include "core/common.h"
#include "core/paths.h"
#include "core/winhandle.h"
#include "sched/residentcore.h"
#include "sched/schedule.h"

namespace {

constexpr UINT_PTR kTimerId = 1;
constexpr DWORD kShutDownWaitMs = 60000;

struct Resident {
    std::wstring program;
    UINT interval = 30000;
    std::unique_ptr<ResidentScheduler> scheduler;
    bool ranAtShutDown = false;
};
Resident g_resident;

// Starts the program with a switch; answers the process handle (empty when it failed).
UniqueHandle StartProgram(const std::wstring& commandSwitch) {
    std::wstring cmd = QuotedPath(g_resident.program) + L" " + commandSwitch;
    std::wstring folder = ExtractFilePath(g_resident.program);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(g_resident.program.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          folder.empty() ? nullptr : folder.c_str(), &si, &pi))
        return UniqueHandle();
    ::CloseHandle(pi.hThread);
    return UniqueHandle(pi.hProcess);
}

void LookAtSchedules() {
    for (SchedTask task : g_resident.scheduler->Tick(NowDateTime())) StartProgram(TaskInfo(task).commandSwitch);
}

void RunAtShutDown() {
    if (g_resident.ranAtShutDown) return;
    g_resident.ranAtShutDown = true;
    if (!ResidentScheduler::RunsAtShutDown(SchedTask::Eraser)) return;
    UniqueHandle process = StartProgram(TaskInfo(SchedTask::Eraser).commandSwitch);
    if (process) ::WaitForSingleObject(process.get(), kShutDownWaitMs);
}

LRESULT CALLBACK ResidentWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_TIMER:
        if (wp == kTimerId) LookAtSchedules();
        return 0;
    case kRefreshMessage:
        LookAtSchedules();
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        if (wp) RunAtShutDown();
        return 0;
    case WM_CLOSE:
        ::DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        ::KillTimer(hwnd, kTimerId);
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}

void ReadOptions() {
    g_resident.program = ProgramFolder() + kProgramExeName;
    int argc = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (!argv) return;
    for (int i = 1; i + 1 < argc; ++i) {
        std::wstring name = UpperCase(argv[i]);
        std::wstring value = argv[i + 1];
        if (name == L"/KEYROOT") { SetScheduleRootOverride(value); ++i; }
        else if (name == L"/PROGRAM") { g_resident.program = value; ++i; }
        else if (name == L"/INTERVAL") {
            long ms = std::wcstol(value.c_str(), nullptr, 10);
            if (ms >= 50 && ms <= 3600000) g_resident.interval = static_cast<UINT>(ms);
            ++i;
        }
    }
    ::LocalFree(argv);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // One resident scheduler per user session.
    if (::FindWindowW(kResidentWindowClass, nullptr)) return 0;
    ReadOptions();
    g_resident.scheduler = std::make_unique<ResidentScheduler>(PrimaryDriveFreeBytes);

    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = ResidentWindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = kResidentWindowClass;
    if (!::RegisterClassExW(&wc)) return 1;
    // Titled like the scheduling window, so that the refresh broadcast after a run reaches it.
    HWND hwnd = ::CreateWindowExW(WS_EX_TOOLWINDOW, kResidentWindowClass, kSchedWindowTitle, WS_POPUP, 0, 0, 0, 0,
                                  nullptr, nullptr, instance, nullptr);
    if (!hwnd) return 1;
    LookAtSchedules();
    ::SetTimer(hwnd, kTimerId, g_resident.interval, nullptr);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}
