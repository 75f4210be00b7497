// Real mouse input on a shown form: the clicks take the system's route to the handlers.
#include <gtest/gtest.h>
#include "tests/support/testenv.h"
#include "ui/ui.h"

namespace {

void ClickAt(HWND hwnd, POINT client) {
    ::ClientToScreen(hwnd, &client);
    ::SetCursorPos(client.x, client.y);
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ::SendInput(2, in, sizeof(INPUT));
}

struct ClickForm : ui::Form {
    ClickForm() : ui::Form(L"Clicks", 320, 240) {
        lv.AddColumn(L"Name", 150);
        lv.AddItem(L"first.tmp");
        lv.AddItem(L"second.tmp");
    }
    ui::PageControl pc{*this, 4, 4, 312, 232};
    ui::TabPage ts{pc, L"Page"};
    ui::Button cmdGo{ts, 8, 8, 75, 25, L"&Go"};
    ui::ListView lv{ts, 8, 40, 280, 120, [] { ui::ListViewOptions o; o.checkBoxes = true; return o; }()};
};

TEST(Input, MouseClicksReachButtonOnTabPageAndListCheckBox) {
    ClickForm f;
    int clicks = 0;
    std::vector<int> checked;
    f.cmdGo.OnClick = [&] { ++clicks; };
    f.lv.OnItemChecked = [&](int i) { checked.push_back(i); };
    f.Show();
    ::SetForegroundWindow(f.Handle());
    kestest::PumpUntil([&] { return ::GetForegroundWindow() == f.Handle(); }, 3000);
    kestest::PumpPending();

    RECT rc;
    ::GetClientRect(f.cmdGo.Handle(), &rc);
    ClickAt(f.cmdGo.Handle(), {rc.right / 2, rc.bottom / 2});
    EXPECT_TRUE(kestest::PumpUntil([&] { return clicks == 1; }, 5000));

    // The check box of the second row: the first point of the row the list reports as its state icon.
    RECT row{};
    ListView_GetItemRect(f.lv.Handle(), 1, &row, LVIR_BOUNDS);
    POINT box{-1, (row.top + row.bottom) / 2};
    for (int x = row.left; x < row.right && box.x < 0; ++x) {
        LVHITTESTINFO hit{};
        hit.pt = {x, box.y};
        if (ListView_HitTest(f.lv.Handle(), &hit) == 1 && (hit.flags & LVHT_ONITEMSTATEICON)) box.x = x + 4;
    }
    ASSERT_GE(box.x, 0);
    ClickAt(f.lv.Handle(), box);
    EXPECT_TRUE(kestest::PumpUntil([&] { return !checked.empty(); }, 5000));
    EXPECT_EQ(checked, (std::vector<int>{1}));
    EXPECT_TRUE(f.lv.Checked(1));
    EXPECT_FALSE(f.lv.Checked(0));
    f.Close();
}

}  // namespace
