// Shows a core window on screen for a few seconds when KES_SHOW names it, so that it can be
// looked at in a screenshot:  KES_SHOW=hint|progress|help|topic test_core --gtest_filter=Showcase.*
#include <gtest/gtest.h>
#include "core/help.h"
#include "core/Hint.h"
#include "core/progress.h"
#include "tests/support/testenv.h"

using namespace kestest;

TEST(Showcase, ShowNamedWindow) {
    wchar_t name[32] = L"";
    if (!::GetEnvironmentVariableW(L"KES_SHOW", name, 32)) GTEST_SKIP() << "KES_SHOW not set";
    std::wstring what = name;
    auto hold = [] { PumpUntil([] { return false; }, 5000); };
    if (what == L"hint") {
        TfrmHint h(L"Web", L"Kestrune is trying to reach the Kestrune web site in your web browser.");
        h.Show();
        hold();
    } else if (what == L"progress") {
        TfrmProgress p;
        p.PlaceAndShow();
        hold();
    } else if (what == L"help") {
        TfrmHelp h;
        h.Show();
        hold();
    } else if (what == L"topic") {
        ShowHelpTopic(L"Cleaning_your_system_registry");
        hold();
        CloseHelpViewer();
    }
}
