// The main of every test program: COM and common controls are ready, as in the program.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_LINK_CLASS};
    ::InitCommonControlsEx(&icc);
    ::testing::InitGoogleTest(&argc, argv);
    int rc = RUN_ALL_TESTS();
    ::CoUninitialize();
    return rc;
}
