// A hidden window that lives for the whole test run, so Wine keeps its desktop between the
// test programs instead of closing and reopening it for each one.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE inst, HINSTANCE, PWSTR, int) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = inst;
    wc.lpszClassName = L"KestruneTestKeepAlive";
    ::RegisterClassW(&wc);
    ::CreateWindowW(wc.lpszClassName, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, inst, nullptr);
    // Ends on its own after three hours at the latest; the session stop ends it before.
    ::SetTimer(nullptr, 0, 3 * 60 * 60 * 1000, nullptr);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER) break;
        ::DispatchMessageW(&msg);
    }
    return 0;
}
