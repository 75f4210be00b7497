// Looks at the windows: run by hand with --gtest_also_run_disabled_tests; each window is shown
// and the screen written as a bitmap to the folder named by KES_SHOT_DIR.
#include <gtest/gtest.h>
#include "core/logs.h"
#include "core/paths.h"
#include "core/registry.h"
#include "logs/logs.h"
#include "sched/sProps.h"
#include "sched/sched.h"
#include "tests/support/testenv.h"
#include "ui/dialogs.h"

namespace {

void SaveScreen(const std::wstring& name) {
    wchar_t dir[MAX_PATH] = {};
    if (!::GetEnvironmentVariableW(L"KES_SHOT_DIR", dir, MAX_PATH)) return;
    kestest::PumpUntil([] { return false; }, 800);
    HDC screen = ::GetDC(nullptr);
    int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
    HDC mem = ::CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bmp = ::CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(mem, bmp);
    ::BitBlt(mem, 0, 0, w, h, screen, 0, 0, SRCCOPY);
    ::SelectObject(mem, old);
    DWORD stride = ((w * 3 + 3) / 4) * 4, size = stride * h;
    BITMAPFILEHEADER fh{};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof bi.bmiHeader;
    fh.bfSize = fh.bfOffBits + size;
    std::wstring path = std::wstring(dir) + L"\\" + name + L".bmp";
    HANDLE f = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD n = 0;
    ::WriteFile(f, &fh, sizeof fh, &n, nullptr);
    ::WriteFile(f, &bi.bmiHeader, sizeof bi.bmiHeader, &n, nullptr);
    ::WriteFile(f, bits, size, &n, nullptr);
    ::CloseHandle(f);
    ::DeleteObject(bmp);
    ::DeleteDC(mem);
    ::ReleaseDC(nullptr, screen);
}

TEST(DISABLED_Screens, SchedAndLogsWindows) {
    kestest::ScratchRegistry reg;
    kestest::ScratchFolder folder;
    SetProgramFolderOverride(folder.path());
    WriteLogLine(L"JunkLog.txt", L"========================================");
    WriteLogLine(L"JunkLog.txt", L"OPERATION START: 2024/01/10 14:20");
    WriteLogLine(L"JunkLog.txt", L"  Drives Already Clean: No junk files found");
    WriteLogLine(L"Manual_Junk_Log.txt", L"OPEN SESSION: 2024/01/10 14:00");
    WriteRegInteger(kLogsKey, L"JunkFiles", 12);
    WriteRegInteger(kLogsKey, L"JunkBytes", static_cast<int32_t>(3000000000u));
    WriteRegInteger(kLogsKey, L"DupeFiles", 4);
    {
        TfrmSched form;
        form.cbJunk.Click();
        form.Show();
        SaveScreen(L"sched");
        {
            TfrmSProps props(SchedTask::Junk, true, &form);
            props.Show();
            SaveScreen(L"sprops");
            props.Close();
        }
        form.pc.SetActivePage(form.tsOptions);
        SaveScreen(L"sched-options");
        form.Close();
    }
    {
        TfrmLogs logs;
        logs.Show();
        SaveScreen(L"logs");
        logs.pc.SetActivePage(logs.tsStatistics);
        SaveScreen(L"logs-stats");
        logs.pc.SetActivePage(logs.tsSettings);
        SaveScreen(L"logs-settings");
        logs.Close();
    }
    SetProgramFolderOverride(L"");
}

}  // namespace
