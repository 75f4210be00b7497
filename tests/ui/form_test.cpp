// Forms driven hidden: buttons on tab pages, reported exceptions, page changes, modal loops.
#include <gtest/gtest.h>
#include "core/errors.h"
#include "tests/support/testenv.h"
#include "ui/dialogs.h"
#include "ui/ui.h"

namespace {

struct TabForm : ui::Form {
    TabForm() : ui::Form(L"Tabs", 300, 200) {}
    ui::PageControl pc{*this, 4, 4, 292, 160};
    ui::TabPage tsOne{pc, L"One"};
    ui::TabPage tsTwo{pc, L"Two"};
    ui::Button cmdGo{tsTwo, 8, 8, 75, 25, L"&Go"};
    ui::Button cmdFail{*this, 8, 170, 75, 25, L"&Fail"};
};

TEST(Form, ButtonOnHiddenTabPageRunsHandler) {
    TabForm f;
    int clicks = 0;
    f.cmdGo.OnClick = [&] { ++clicks; };
    f.cmdGo.Click();
    // A click as the control sends it to its parent (the tab page) takes the same route.
    ::SendMessageW(f.tsTwo.Handle(), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(f.cmdGo.Handle()), BN_CLICKED),
                   reinterpret_cast<LPARAM>(f.cmdGo.Handle()));
    EXPECT_EQ(clicks, 2);
    EXPECT_FALSE(f.Showing());
    EXPECT_EQ(f.cmdGo.Text(), L"&Go");
}

TEST(Form, ThrowingHandlerIsReported) {
    ui::DialogScript script;
    TabForm f;
    f.cmdFail.OnClick = [] { throw KesError(L"Invalid data type for 'Drives'"); };
    f.cmdFail.Click();
    ASSERT_EQ(script.Count(), 1u);
    EXPECT_EQ(script.Last().text, L"Invalid data type for 'Drives'");
    EXPECT_EQ(script.Last().caption, ui::ApplicationTitle());
    EXPECT_EQ(script.Last().icon, ui::MsgIcon::Error);
}

}  // namespace
