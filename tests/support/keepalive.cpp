// A hidden window that lives for the whole test run, so Wine keeps its desktop between the
// test programs instead of closing and reopening it for each one.
#include <windows.h>

// The command line names a file created once the desktop is up: the session script waits for
// it, so that Wine's desktop process is not started by (and does not inherit the output pipes
// of) the first test program.
int WINAPI wWinMain(HINSTANCE inst, HINSTANCE, PWSTR cmdLine, int) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = inst;
    wc.lpszClassName = L"KestruneTestKeepAlive";
    ::RegisterClassW(&wc);
    HWND w = ::CreateWindowW(wc.lpszClassName, L"", WS_POPUP, -10, -10, 1, 1, nullptr, nullptr, inst, nullptr);
    ::GetDesktopWindow();
    ::ShowWindow(w, SW_SHOWNA);
    ::UpdateWindow(w);
    ::ShowWindow(w, SW_HIDE);
    if (cmdLine && *cmdLine) {
        HANDLE f = ::CreateFileW(cmdLine, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (f != INVALID_HANDLE_VALUE) ::CloseHandle(f);
    }
    // Ends on its own after three hours at the latest; the session stop ends it before.
    ::SetTimer(nullptr, 0, 3 * 60 * 60 * 1000, nullptr);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER) break;
        ::DispatchMessageW(&msg);
    }
    return 0;
}
