// A form with most controls of the layer. Hidden it checks the tool bar and the image list;
// with KES_SCREENSHOT=<seconds> set it stays on screen that long for a screenshot.
#include <gtest/gtest.h>
#include <algorithm>
#include <cstdlib>
#include "tests/support/testenv.h"
#include "tests/ui/themed.h"
#include "ui/dialogs.h"
#include "ui/ui.h"

namespace {

void DrawSquare(HDC dc, const RECT& rc, COLORREF color) {
    HBRUSH b = ::CreateSolidBrush(color);
    RECT r{rc.left + 2, rc.top + 2, rc.right - 2, rc.bottom - 2};
    ::FillRect(dc, &r, b);
    ::DeleteObject(b);
}

struct DemoForm : ui::Form {
    DemoForm() : ui::Form(L"Junk Files", 520, 400, ui::FormStyle::Sizeable) {
        il.AddDrawn([](HDC dc, const RECT& rc) { DrawSquare(dc, rc, RGB(0, 128, 0)); });
        il.AddDrawn([](HDC dc, const RECT& rc) { DrawSquare(dc, rc, RGB(200, 0, 0)); });
        il.AddIcon(::LoadIconW(nullptr, IDI_INFORMATION));
        go = &tb.AddButton(0, L"Start the scan", [this] { ++toolClicks; });
        tb.AddSeparator();
        del = &tb.AddButton(1, L"Remove the checked files");
        lv.AddColumn(L"Name", 200);
        lv.AddColumn(L"Size", 80, true);
        lv.SetSmallImages(il.Handle());
        const wchar_t* names[] = {L"C:\\TEMP\\~wrd0001.tmp", L"C:\\WINDOWS\\setup.old", L"C:\\Data\\report.bak"};
        for (int i = 0; i < 3; ++i) {
            int r = lv.AddItem(names[i], i % 2);
            lv.SetItemText(r, 1, std::to_wstring((i + 1) * 1024));
            lv.SetChecked(r, i != 1);
        }
        cb.AddItem(L"Recycle Bin");
        cb.AddItem(L"Delete");
        cb.SetItemIndex(0);
        opt1.SetChecked(true);
        cbConfirm.SetChecked(true);
        sb.SetPanelText(0, L"3 files found");
        sb.SetPanelText(1, L"3.00 MB");
        auto& pb = sb.PanelProgress(2);
        pb.SetPosition(60);
        pb.SetVisible(true);
        lblBold.SetBold(true);
        busy.SetActive(true);
        img.OnPaint = [](HDC dc, const RECT& rc) {
            ::FillRect(dc, &rc, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
            ::Ellipse(dc, rc.left + 4, rc.top + 4, rc.right - 4, rc.bottom - 4);
        };
        img.SetHandCursor(true);
        cmdGo.SetHint(L"Scan the drives");
        DefaultButton = &cmdGo;
        CancelButton = &cmdExit;
        cmdExit.OnClick = [this] { Close(); };
    }
    ui::ImageList il{16};
    ui::ToolBar tb{*this, il.Handle()};
    ui::ToolBar::ToolButton* go = nullptr;
    ui::ToolBar::ToolButton* del = nullptr;
    int toolClicks = 0;
    ui::PageControl pc{*this, 8, 34, 504, 300};
    ui::TabPage tsFiles{pc, L"Files"};
    ui::TabPage tsOptions{pc, L"Options"};
    ui::ListView lv{tsFiles, 4, 4, 486, 180, [] { ui::ListViewOptions o; o.checkBoxes = true; o.multiSelect = true; return o; }()};
    ui::Label lblBold{tsFiles, 4, 192, 200, 16, L"Files to remove:"};
    ui::LinkLabel lnkWeb{tsFiles, 4, 212, 200, 16, L"Visit the web site"};
    ui::LinkLabel lnkPlain{tsFiles, 210, 212, 200, 16, L"A plain link"};
    ui::Edit meDays{tsFiles, 4, 234, 120, 22, L"*.tmp,*.bak"};
    ui::NumEdit neDays{tsFiles, 130, 234, 60, 22, 1, 365, 14};
    ui::ComboBox cb{tsFiles, 200, 234, 140, 22};
    ui::DateTimePicker dt{tsFiles, 350, 234, 130, 22, false};
    ui::BusyAnimation busy{tsFiles, 440, 190, 32, 32};
    ui::Picture img{tsFiles, 400, 190, 32, 32};
    ui::GroupBox gb{tsOptions, 4, 4, 240, 100, L"Removal"};
    ui::RadioButton opt1{tsOptions, 14, 24, 200, 20, L"Send to the Recycle Bin", true};
    ui::RadioButton opt2{tsOptions, 14, 48, 200, 20, L"Delete"};
    ui::CheckBox cbConfirm{tsOptions, 14, 74, 200, 20, L"Confirm each file"};
    ui::Button cmdGo{*this, 352, 340, 75, 25, L"&Scan"};
    ui::Button cmdExit{*this, 437, 340, 75, 25, L"E&xit"};
    ui::StatusBar sb{*this, {160, 120}};
};

// Frames and pickers placed straight on a form, as the scheduling dialogs do.
struct TimeForm : ui::Form {
    TimeForm() : ui::Form(L"When", 300, 150) {
        optDaily.SetChecked(true);
        SYSTEMTIME st{};
        ::GetLocalTime(&st);
        st.wHour = 8;
        st.wMinute = 0;
        st.wSecond = 0;
        dtTime.SetValue(st);
    }
    ui::GroupBox gb{*this, 8, 8, 284, 100, L"Run the maintenance"};
    ui::RadioButton optDaily{*this, 18, 28, 120, 20, L"&Daily at", true};
    ui::RadioButton optOnce{*this, 18, 56, 120, 20, L"&Once on"};
    ui::DateTimePicker dtTime{*this, 150, 28, 120, 22, true};
    ui::DateTimePicker dtDate{*this, 150, 56, 120, 22, false};
    ui::Label lblNote{*this, 18, 84, 260, 16, L"Paths & names show as typed"};
    ui::Button cmdOK{*this, 217, 116, 75, 25, L"OK"};
};

TEST(Demo, ToolBarImagesAndControlsHidden) {
    DemoForm f;
    f.lnkPlain.SetLinkLook(false);
    EXPECT_EQ(f.il.Count(), 3);
    f.go->Click();
    EXPECT_EQ(f.toolClicks, 1);
    // A press of the tool bar button as the tool bar reports it; a disabled one does nothing.
    ::SendMessageW(f.Handle(), WM_COMMAND, MAKEWPARAM(f.go->id, BN_CLICKED), reinterpret_cast<LPARAM>(f.tb.Handle()));
    EXPECT_EQ(f.toolClicks, 2);
    f.tb.SetButtonEnabled(*f.go, false);
    EXPECT_FALSE(f.tb.ButtonEnabled(*f.go));
    ::SendMessageW(f.Handle(), WM_COMMAND, MAKEWPARAM(f.go->id, BN_CLICKED), reinterpret_cast<LPARAM>(f.tb.Handle()));
    EXPECT_EQ(f.toolClicks, 2);
    // The tip text of a button.
    NMTTDISPINFOW di{};
    di.hdr.hwndFrom = reinterpret_cast<HWND>(::SendMessageW(f.tb.Handle(), TB_GETTOOLTIPS, 0, 0));
    di.hdr.idFrom = static_cast<UINT_PTR>(f.del->id);
    di.hdr.code = TTN_GETDISPINFOW;
    ASSERT_NE(di.hdr.hwndFrom, nullptr);
    ::SendMessageW(f.Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&di));
    ASSERT_NE(di.lpszText, nullptr);
    EXPECT_STREQ(di.lpszText, L"Remove the checked files");
    EXPECT_EQ(f.neDays.Value(), 14);
    f.neDays.SetText(L"abc");
    EXPECT_EQ(f.neDays.Value(), 1);
    f.neDays.SetValue(1000);
    EXPECT_EQ(f.neDays.Value(), 365);
    f.opt2.Click();
    EXPECT_FALSE(f.opt1.Checked());
    EXPECT_TRUE(f.opt2.Checked());
    EXPECT_EQ(f.cb.Item(1), L"Delete");
    EXPECT_EQ(f.cb.Text(), L"Recycle Bin");
    EXPECT_EQ(f.lv.CheckedCount(), 2);
}

// Closes the input box of the screenshot demo.
void CALLBACK CloseInputBox(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    if (HWND box = ::FindWindowW(L"KestruneWindow", L"Add a file type")) ::PostMessageW(box, WM_CLOSE, 0, 0);
}

TEST(Demo, OnScreen) {
    const char* secs = std::getenv("KES_SCREENSHOT");
    if (!secs) GTEST_SKIP() << "set KES_SCREENSHOT=<seconds> to keep the demo on screen";
    int total = std::max(2, std::atoi(secs));
    DemoForm f;
    f.SetPosition(20, 20);
    f.Show();
    DemoForm g;
    g.pc.SetActivePage(g.tsOptions);
    g.SetPosition(600, 20);
    g.Show();
    TimeForm t;
    t.SetPosition(20, 620);
    t.Show();
    // The program itself runs with version 6 of the common controls (its manifest), themed.
    kestest::CommonControls6 v6;
    TimeForm themed;
    themed.SetCaption(L"When (themed)");
    themed.SetPosition(360, 620);
    themed.Show();
    // The mouse rests on the first tool-bar button of the active form, so its tip shows.
    ::SetForegroundWindow(f.Handle());
    RECT br{};
    ::SendMessageW(f.tb.Handle(), TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&br));
    POINT pt{(br.left + br.right) / 2, (br.top + br.bottom) / 2};
    ::ClientToScreen(f.tb.Handle(), &pt);
    ::SetCursorPos(pt.x, pt.y);
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = MOUSEEVENTF_MOVE;
    ::SendInput(1, &in, sizeof(in));
    DWORD until = ::GetTickCount() + 1000;
    kestest::PumpUntil([&] { return ::GetTickCount() > until; }, 5000);
    ::SetTimer(nullptr, 0, static_cast<UINT>((total - 1) * 1000), CloseInputBox);
    ui::InputBox(L"Add a file type", L"File mask (for example *.tmp):", L"*.tmp");
    if (std::getenv("KES_SCREENSHOT_FOLDER")) {   // then the folder chooser, closed after a while
        ::SetTimer(nullptr, 0, static_cast<UINT>(total * 1000), [](HWND, UINT, UINT_PTR id, DWORD) {
            ::KillTimer(nullptr, id);
            if (HWND box = ::FindWindowW(L"#32770", nullptr)) ::PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
        });
        std::wstring folder = L"C:\\windows";
        ui::SelectFolder(L"Choose the folder to move the files to:", folder);
    }
}

}  // namespace

namespace {

TEST(Controls, PictureMouseLinkCursorAndBusyFrames) {
    ui::Form f(L"Pictures", 200, 100);
    ui::Picture img{f, 0, 0, 40, 40};
    ui::LinkLabel lnk{f, 50, 0, 100, 16, L"Web"};
    ui::BusyAnimation busy{f, 50, 20, 32, 32};
    std::wstring log;
    img.OnMouseEnter = [&] { log += L"enter "; };
    img.OnMouseDown = [&] { log += L"down "; };
    img.OnMouseUp = [&] { log += L"up "; };
    img.OnClick = [&] { log += L"click "; };
    img.OnMouseExit = [&] { log += L"exit "; };
    ::SendMessageW(img.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    ::SendMessageW(img.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(6, 6));
    ::SendMessageW(img.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(6, 6));
    ::SendMessageW(img.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(6, 6));
    ::SendMessageW(img.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(6, 6));
    ::SendMessageW(img.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(90, 90));   // released outside: no click
    ::SendMessageW(img.Handle(), WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(log, L"enter down up click down up exit ");

    auto handCursor = [&] {
        return ::SendMessageW(f.Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(lnk.Handle()),
                              MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)) == TRUE;
    };
    EXPECT_TRUE(handCursor());
    EXPECT_EQ(lnk.TextColor(), RGB(0, 0, 255));
    lnk.SetLinkLook(false);
    EXPECT_FALSE(handCursor());
    EXPECT_EQ(lnk.TextColor(), RGB(0, 0, 0));

    busy.SetActive(true);
    int first = busy.Frame();
    EXPECT_TRUE(kestest::PumpUntil([&] { return busy.Frame() != first; }));
    busy.SetActive(false);
    EXPECT_FALSE(busy.Active());
}

TEST(Controls, ClosedFormForgetsItsWindows) {
    auto f = std::make_unique<ui::Form>(L"Closing", 200, 100);
    ui::Edit ed{*f, 0, 0, 100, 22, L"text"};
    ui::NumEdit ne{*f, 0, 30, 60, 22, 0, 10, 5};
    EXPECT_EQ(ed.Text(), L"text");
    f->Close();
    EXPECT_EQ(ed.Handle(), nullptr);
    EXPECT_EQ(ed.Text(), L"");
    EXPECT_EQ(ne.Value(), 0);
    // A new window may get a recycled handle; the old controls must not destroy it.
    ui::Form g(L"Next", 200, 100);
    ui::Edit other{g, 0, 0, 100, 22, L"other"};
    f.reset();
    EXPECT_EQ(other.Text(), L"other");
}

}  // namespace
