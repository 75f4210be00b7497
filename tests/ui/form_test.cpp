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

namespace {

TEST(Form, PageChangeCanBeRefused) {
    TabForm f;
    int changes = 0;
    bool allow = false;
    f.pc.OnChanging = [&] { return allow; };
    f.pc.OnChange = [&] { ++changes; };
    EXPECT_EQ(f.pc.ActivePageIndex(), 0);
    EXPECT_TRUE(f.tsOne.Visible());
    f.pc.SetActivePage(f.tsTwo);
    EXPECT_EQ(f.pc.ActivePageIndex(), 0);
    EXPECT_EQ(changes, 0);
    allow = true;
    f.pc.SetActivePage(f.tsTwo);
    EXPECT_EQ(f.pc.ActivePage(), &f.tsTwo);
    EXPECT_TRUE(f.tsTwo.Visible());
    EXPECT_FALSE(f.tsOne.Visible());
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(TabCtrl_GetCurSel(f.pc.Handle()), 1);
    // Hiding the tab of the active page moves to the other page; the tab control keeps one tab.
    f.tsTwo.SetTabVisible(false);
    EXPECT_EQ(f.pc.ActivePageIndex(), 0);
    EXPECT_EQ(TabCtrl_GetItemCount(f.pc.Handle()), 1);
}

TEST(Form, PageWithHiddenTabIsNeverShown) {
    TabForm f;
    int changing = 0, changes = 0;
    f.pc.OnChanging = [&] { ++changing; return true; };
    f.pc.OnChange = [&] { ++changes; };
    auto shown = [](ui::TabPage& p) { return (::GetWindowLongPtrW(p.Handle(), GWL_STYLE) & WS_VISIBLE) != 0; };
    f.tsTwo.SetTabVisible(false);
    f.pc.SetActivePage(f.tsTwo);   // no tab to show it under: nothing happens
    EXPECT_EQ(f.pc.ActivePage(), &f.tsOne);
    EXPECT_TRUE(shown(f.tsOne));
    EXPECT_FALSE(shown(f.tsTwo));
    EXPECT_FALSE(f.tsTwo.Visible());
    EXPECT_EQ(changing + changes, 0);
    f.tsTwo.SetTabVisible(true);
    f.pc.SetActivePage(f.tsTwo);
    EXPECT_EQ(f.pc.ActivePage(), &f.tsTwo);
    EXPECT_TRUE(shown(f.tsTwo));
    EXPECT_FALSE(shown(f.tsOne));
    EXPECT_EQ(TabCtrl_GetCurSel(f.pc.Handle()), 1);
    // Hiding the active page's tab moves to the first page with a tab; hiding every tab shows none.
    f.tsTwo.SetTabVisible(false);
    EXPECT_EQ(f.pc.ActivePage(), &f.tsOne);
    EXPECT_TRUE(shown(f.tsOne));
    EXPECT_FALSE(shown(f.tsTwo));
    f.tsOne.SetTabVisible(false);
    EXPECT_EQ(f.pc.ActivePage(), nullptr);
    EXPECT_FALSE(shown(f.tsOne));
    EXPECT_FALSE(f.tsOne.Visible());
    f.pc.SetActivePage(f.tsTwo);
    EXPECT_EQ(f.pc.ActivePage(), nullptr);
    EXPECT_FALSE(shown(f.tsTwo));
}

TEST(Form, ShowModalEndsWhenClosedFromTimerAndEnablesOwner) {
    ui::Form owner(L"Owner", 200, 100);
    ui::Form dlg(L"Modal", 200, 100, ui::FormStyle::Dialog, &owner);
    bool ownerDisabledMeanwhile = false;
    int closes = 0, shows = 0;
    dlg.OnShow = [&] { ++shows; ::SetTimer(dlg.Handle(), 1, 20, nullptr); };
    dlg.OnClose = [&] { ++closes; };
    dlg.OnMessage = [&](UINT msg, WPARAM, LPARAM) {
        if (msg == WM_TIMER) {
            ownerDisabledMeanwhile = !::IsWindowEnabled(owner.Handle()) && dlg.IsModal();
            dlg.Close();
        }
    };
    dlg.ShowModal();
    EXPECT_TRUE(ownerDisabledMeanwhile);
    EXPECT_TRUE(::IsWindowEnabled(owner.Handle()));
    EXPECT_TRUE(dlg.IsClosed());
    EXPECT_FALSE(dlg.IsModal());
    EXPECT_EQ(shows, 1);
    dlg.Close();   // a second close does nothing
    EXPECT_EQ(closes, 1);
}

TEST(Form, CloseBoxClosesAndKeysReachPreview) {
    ui::DialogScript script;
    ui::Form f(L"Keys", 200, 100);
    ui::Button ok{f, 8, 8, 75, 25, L"OK"};
    ui::Edit ed{f, 8, 40, 100, 22};
    int okClicks = 0;
    std::vector<WORD> preview;
    ok.OnClick = [&] { ++okClicks; };
    f.DefaultButton = &ok;
    f.KeyPreview = true;
    f.HelpTopic = L"Junk_Files";
    f.OnKeyDown = [&](WORD vk) { preview.push_back(vk); return vk == 'Q'; };
    MSG m{ed.Handle(), WM_KEYDOWN, 'Q', 0};
    EXPECT_TRUE(f.PreTranslate(m));
    m.wParam = VK_RETURN;
    EXPECT_TRUE(f.PreTranslate(m));
    EXPECT_EQ(okClicks, 1);
    m.wParam = VK_F1;
    EXPECT_TRUE(f.PreTranslate(m));
    ASSERT_EQ(script.Count(), 1u);   // no help handler: a message names the topic
    EXPECT_NE(script.Last().text.find(L"Junk_Files"), std::wstring::npos);
    EXPECT_EQ(preview, (std::vector<WORD>{'Q', VK_RETURN, VK_F1}));
    ::SendMessageW(f.Handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(f.IsClosed());
}

TEST(Form, StatusBarPanelsOnHiddenForm) {
    ui::Form f(L"Status", 300, 100, ui::FormStyle::Sizeable);
    ui::StatusBar sb{f, {120, 80}};
    EXPECT_EQ(sb.PanelCount(), 3);
    sb.SetPanelText(0, L"Scanning...");
    sb.SetPanelText(2, L"12 files");
    sb.SetPanelText(7, L"ignored");
    EXPECT_EQ(sb.PanelText(0), L"Scanning...");
    EXPECT_EQ(sb.Text(), L"Scanning...");
    EXPECT_EQ(sb.PanelText(1), L"");
    EXPECT_EQ(sb.PanelText(2), L"12 files");
    EXPECT_EQ(sb.PanelText(7), L"");
    ui::ProgressBar& pb = sb.PanelProgress(1);
    EXPECT_FALSE(pb.Visible());
    pb.SetRange(0, 50);
    pb.SetPosition(20);
    EXPECT_EQ(pb.Position(), 20);
    EXPECT_EQ(pb.Max(), 50);
    EXPECT_EQ(&sb.PanelProgress(1), &pb);
}

TEST(Dialogs, ScriptAnswersInputBoxAndMessages) {
    ui::DialogScript script;
    script.AnswerText(L"*.bak");
    script.AnswerCancel();
    script.Answer(ui::MsgResult::No);
    EXPECT_EQ(ui::InputBox(L"Add", L"File mask:", L"*.tmp"), L"*.bak");
    EXPECT_EQ(ui::InputBox(L"Add", L"File mask:", L"*.tmp"), L"*.tmp");   // cancelled
    EXPECT_EQ(ui::MessageBox(L"Remove?", L"Kestrune", ui::MsgIcon::Question, ui::MsgButtons::YesNo), ui::MsgResult::No);
    // The queue is empty: the defaults.
    EXPECT_EQ(ui::MessageBox(L"Remove?", L"Kestrune", ui::MsgIcon::Question, ui::MsgButtons::YesNo), ui::MsgResult::Yes);
    EXPECT_EQ(ui::InputBox(L"Add", L"File mask:", L"*.old"), L"*.old");
    std::wstring folder = L"C:\\windows";
    EXPECT_FALSE(ui::SelectFolder(L"Pick", folder));
    EXPECT_EQ(folder, L"C:\\windows");
    script.AnswerText(L"C:\\temp\\");
    EXPECT_TRUE(ui::SelectFolder(L"Pick", folder));
    EXPECT_EQ(folder, L"C:\\temp");
    ASSERT_EQ(script.Count(), 7u);
    EXPECT_EQ(script.Seen()[0].kind, ui::DialogRequest::Input);
    EXPECT_EQ(script.Seen()[0].caption, L"Add");
    EXPECT_EQ(script.Seen()[0].text, L"File mask:");
    EXPECT_EQ(script.Seen()[0].defaultText, L"*.tmp");
    EXPECT_EQ(script.Seen()[5].kind, ui::DialogRequest::Folder);
    EXPECT_EQ(script.Seen()[5].defaultText, L"C:\\windows");
}

bool g_accept = false;

// Types into the input box that is now active and presses Enter or Esc.
void CALLBACK AnswerInputBox(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    HWND box = ::FindWindowW(L"KestruneWindow", L"Title");
    if (!dynamic_cast<ui::Form*>(ui::Control::FromHandle(box))) return;
    HWND edit = ::FindWindowExW(box, nullptr, L"Edit", nullptr);
    if (edit && g_accept) ::SetWindowTextW(edit, L"typed");
    // Through the modal loop, which hands keys to the form first (Enter/Esc press OK/Cancel).
    ::PostMessageW(edit, WM_KEYDOWN, static_cast<WPARAM>(g_accept ? VK_RETURN : VK_ESCAPE), 0);
}

TEST(Dialogs, RealInputBoxReturnsTypedTextOrDefault) {
    for (bool accept : {true, false}) {
        g_accept = accept;
        ::SetTimer(nullptr, 0, 50, AnswerInputBox);
        // Should the keys go astray, the box still closes (the result then shows the fault).
        UINT_PTR guard = ::SetTimer(nullptr, 0, 10000, [](HWND, UINT, UINT_PTR id, DWORD) {
            ::KillTimer(nullptr, id);
            ::PostMessageW(::FindWindowW(L"KestruneWindow", L"Title"), WM_CLOSE, 0, 0);
        });
        EXPECT_EQ(ui::InputBox(L"Title", L"Prompt:", L"default"), accept ? L"typed" : L"default");
        ::KillTimer(nullptr, guard);
    }
}

}  // namespace
