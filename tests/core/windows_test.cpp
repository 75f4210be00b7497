// The core windows and the list helpers, driven hidden.
#include <gtest/gtest.h>
#include "core/common.h"
#include "core/commontools.h"
#include "core/help.h"
#include "core/Hint.h"
#include "core/Navigator.h"
#include "core/progress.h"
#include "core/registry.h"
#include "core/shellopen.h"
#include "tests/support/testenv.h"
#include "ui/dialogs.h"
#include "ui/ui.h"

using namespace kestest;

namespace {
struct ListForm : ui::Form {
    ui::ListView list{*this, 0, 0, 300, 200, ui::ListViewOptions{true}};
    ListForm() : ui::Form(L"t", 300, 200) {
        list.AddColumn(L"Item", 150);
        list.AddColumn(L"Description", 150);
    }
};
const wchar_t* kList = L"\\software\\Ostrel\\Kestrune\\junk\\folders";
}  // namespace

TEST(CheckedList, NeverSavedKeepsBuiltInRowsAllChecked) {
    ScratchRegistry reg;
    ListForm f;
    f.list.AddItem(L"C:\\Temp\\", 9);
    f.list.AddItem(L"C:\\Old\\", 9);
    EXPECT_FALSE(LoadCheckedList(f.list, kList, 9));
    ASSERT_EQ(f.list.Count(), 2);
    EXPECT_TRUE(f.list.Checked(0));
    EXPECT_TRUE(f.list.Checked(1));
}

TEST(CheckedList, SaveWritesStatesAndDescriptionsAndLoadReadsThemBack) {
    ScratchRegistry reg;
    {
        ListForm f;
        f.list.AddItem(L"C:\\Temp\\", 9);
        f.list.SetItemText(0, 1, L"Work");
        f.list.SetChecked(0, true);
        f.list.AddItem(L"D:\\Old\\", 9);
        f.list.SetChecked(1, false);
        f.list.AddItem(L"C:\\Temp\\", 9);   // equal texts collapse into one value
        f.list.SetItemText(2, 1, L"Work");
        f.list.SetChecked(2, true);
        SaveCheckedList(f.list, kList);
    }
    RegKey k = OpenKey(HKEY_CURRENT_USER, kList, false);
    ASSERT_TRUE(k);
    EXPECT_EQ(GetDword(k.get(), L"C:\\Temp\\").value_or(9), 1u);
    EXPECT_EQ(GetDword(k.get(), L"D:\\Old\\").value_or(9), 0u);
    EXPECT_EQ(EnumValueNames(k.get()).size(), 2u);
    EXPECT_EQ(ReadRegString(std::wstring(kList) + L"\\Desc", L"C:\\Temp\\"), L"Work");
    EXPECT_EQ(ReadRegString(std::wstring(kList) + L"\\Desc", L"D:\\Old\\"), L" ");

    // A description without a state value is ignored; a state without a description reads empty.
    WriteRegString(std::wstring(kList) + L"\\Desc", L"E:\\Orphan\\", L"x");
    WriteRegInteger(kList, L"F:\\New\\", 1);
    ListForm g;
    g.list.AddItem(L"built-in", 9);
    EXPECT_TRUE(LoadCheckedList(g.list, kList, 3));
    ASSERT_EQ(g.list.Count(), 3);
    for (int i = 0; i < 3; ++i) {
        std::wstring t = g.list.ItemText(i);
        EXPECT_EQ(g.list.ItemImage(i), 3);
        if (t == L"C:\\Temp\\") { EXPECT_TRUE(g.list.Checked(i)); EXPECT_EQ(g.list.ItemText(i, 1), L"Work"); }
        else if (t == L"D:\\Old\\") { EXPECT_FALSE(g.list.Checked(i)); EXPECT_EQ(g.list.ItemText(i, 1), L" "); }
        else { EXPECT_EQ(t, L"F:\\New\\"); EXPECT_EQ(g.list.ItemText(i, 1), L""); }
    }
    // Saving again drops rows that are gone.
    g.list.DeleteItem(0);
    SaveCheckedList(g.list, kList);
    RegKey k2 = OpenKey(HKEY_CURRENT_USER, kList, false);
    EXPECT_EQ(EnumValueNames(k2.get()).size(), 2u);
}

TEST(CheckedList, AddFolderItemAndDeleteSelected) {
    ScratchRegistry reg;
    ui::DialogScript dialogs;
    ListForm f;
    dialogs.AnswerText(L"Work files");
    AddFolderItem(f.list, L"C:\\Temp", true, false, 9);
    ASSERT_EQ(f.list.Count(), 1);
    EXPECT_EQ(f.list.ItemText(0), L"C:\\Temp\\");
    EXPECT_EQ(f.list.ItemText(0, 1), L"Work files");
    EXPECT_EQ(dialogs.Last().caption, L"Folder Description");
    EXPECT_EQ(dialogs.Last().text, L"Enter a description for this folder");
    EXPECT_EQ(dialogs.Last().defaultText, L" ");

    dialogs.AnswerCancel();   // cancelling keeps the current description
    f.list.SetSelected(0, true);
    AddFolderItem(f.list, L"D:\\Other\\", true, true, 9);
    EXPECT_EQ(f.list.ItemText(0), L"D:\\Other\\");
    EXPECT_EQ(f.list.ItemText(0, 1), L"Work files");
    EXPECT_EQ(dialogs.Last().text, L"Enter a description for this excluded folder");

    f.list.Clear();
    for (const wchar_t* t : {L"a", L"b", L"c"}) f.list.AddItem(t);
    f.list.SetSelected(0, true);
    DeleteSelectedItem(f.list);
    EXPECT_EQ(f.list.Count(), 2);
    EXPECT_EQ(f.list.SelectedIndex(), 0);
    EXPECT_EQ(f.list.ItemText(0), L"b");
    f.list.SelectAll(false);
    f.list.SetSelected(1, true);
    DeleteSelectedItem(f.list);
    EXPECT_EQ(f.list.SelectedIndex(), 0);
    EXPECT_EQ(f.list.ItemText(0), L"b");
}

TEST(CheckedList, FixedDrivesCheckedOnFirstUseOnly) {
    ScratchRegistry reg;
    ExtraDrive x(L'X');
    ExtraDrive y(L'Y');
    ListForm f;
    f.list.AddItem(L"KESTEST-X (X:)");
    f.list.AddItem(L" (Y:)");
    f.list.AddItem(L" (Z:)");   // under Wine the host's whole file system: never checked for the user
    CheckFixedDrivesOnFirstUse(L"software\\Ostrel\\Kestrune\\junk", L"pos", f.list);
    EXPECT_TRUE(f.list.Checked(0));
    EXPECT_FALSE(f.list.Checked(1));
    EXPECT_FALSE(f.list.Checked(2));
    f.list.SetChecked(0, false);
    OpenKey(HKEY_CURRENT_USER, L"software\\Ostrel\\Kestrune\\junk\\pos", true);
    CheckFixedDrivesOnFirstUse(L"software\\Ostrel\\Kestrune\\junk", L"pos", f.list);
    EXPECT_FALSE(f.list.Checked(0));
}

TEST(Hints, SwitchedOffPerSubjectOrAltogether) {
    ScratchRegistry reg;
    ui::DialogScript dialogs;
    std::vector<std::wstring> shown;
    auto old = SetHintPresenter([&](TfrmHint& h) {
        shown.push_back(h.Subject() + L"=" + h.mmoHint.Text());
        if (h.Subject() == L"Web") h.cbShowHint.SetChecked(false);   // "don't show this one again"
    });
    ShowHintOnce(L"Web", L"text");
    ShowHintOnce(L"Web", L"text");
    ShowHintOnce(L"Support", L"other");
    EXPECT_EQ(shown, (std::vector<std::wstring>{L"Web=text", L"Support=other"}));
    EXPECT_FALSE(ReadRegBool(kHintsKey, L"Web"));

    // Unchecking "Show hints" asks; No keeps everything on, Yes switches all hints off.
    SetHintPresenter([&](TfrmHint& h) { h.cbAllHints.Click(); });
    dialogs.Answer(ui::MsgResult::No);
    ShowHintOnce(L"Support", L"x");
    EXPECT_TRUE(ReadRegBool(kHintsKey, L"All"));
    EXPECT_TRUE(ReadRegBool(kHintsKey, L"Support"));
    EXPECT_EQ(dialogs.Last().caption, L"Confirm");
    dialogs.Answer(ui::MsgResult::Yes);
    ShowHintOnce(L"Support", L"x");
    EXPECT_FALSE(ReadRegBool(kHintsKey, L"All"));
    shown.clear();
    SetHintPresenter([&](TfrmHint& h) { shown.push_back(h.Subject()); });
    ShowHintOnce(L"Registry", L"x");
    EXPECT_TRUE(shown.empty());
    SetHintPresenter(old);
}

TEST(Progress, PlacedInTheLowerRightCornerAndCancelWorksOnce) {
    POINT p = TfrmProgress::Placement(1280, 1024);
    EXPECT_EQ(p.x, 1280 - 258);
    EXPECT_EQ(p.y, 1024 - 82);
    TfrmProgress progress;
    int junkStops = 0, regStops = 0;
    progress.OnStopJunkScan = [&] { ++junkStops; };
    progress.OnStopRegistryScan = [&] { ++regStops; };
    EXPECT_EQ(progress.Caption(), L"Scheduled Maintenance Progress");
    progress.lblCancel.Click();
    progress.lblCancel.Click();
    EXPECT_EQ(junkStops, 1);
    EXPECT_EQ(regStops, 0);
    EXPECT_EQ(progress.lblCancel.Text(), L"Please Wait...");
    EXPECT_FALSE(progress.lblCancel.LinkLook());

    TfrmProgress reg;
    reg.lblSchedType.SetText(kStepRegistry);
    reg.OnStopRegistryScan = [&] { ++regStops; };
    reg.lblCancel.Click();
    EXPECT_EQ(regStops, 1);
}

TEST(Navigator, HoverShowsTheHintAndTheBackgroundHidesIt) {
    TfrmNav nav(NavigatorActions{});
    EXPECT_EQ(nav.Caption(), L"Navigator");
    EXPECT_EQ(nav.VisibleHint(), nullptr);
    ASSERT_TRUE(nav.imgJunk.up.OnMouseMove);
    nav.imgJunk.up.OnMouseMove(5, 5);
    EXPECT_FALSE(nav.imgJunk.up.Visible());
    nav.imgJunk.over.OnMouseEnter();
    EXPECT_EQ(nav.VisibleHint(), &nav.imgJunk_Hint);
    nav.imgLogs.up.OnMouseEnter();
    EXPECT_EQ(nav.VisibleHint(), &nav.imgLogs_Hint);
    nav.OnMouseMove(1, 1);
    EXPECT_TRUE(nav.imgJunk.up.Visible());
    EXPECT_EQ(nav.VisibleHint(), nullptr);
    RECT r = nav.imgReg.over.Bounds();
    EXPECT_EQ(r.left, 30);
    EXPECT_EQ(r.top, 278);
    EXPECT_EQ(r.right - r.left, 270);
    EXPECT_EQ(r.bottom - r.top, 35);
}

TEST(Navigator, ButtonsOpenTheirToolsOrSaySoAndRespectTheAdminCheck) {
    ScratchRegistry reg;
    ui::DialogScript dialogs;
    std::vector<std::wstring> opened;
    NavigatorActions a;
    a.junk = [&] { opened.push_back(L"junk"); };
    a.uninstall = [&] { opened.push_back(L"uninstall"); };
    a.dupes = [&] { opened.push_back(L"dupes"); };
    TfrmNav nav(a);
    nav.imgJunk.over.Click();
    EXPECT_EQ(opened, (std::vector<std::wstring>{L"junk"}));

    nav.IsAdmin = [] { return false; };
    nav.imgUninstall.over.Click();
    EXPECT_EQ(opened.size(), 1u);
    EXPECT_EQ(dialogs.Last().text, L"Due to security issues under Windows NT you must be logged in as an "
                                   L"administrator in order to access this tool.");
    nav.IsAdmin = [] { return true; };
    nav.imgUninstall.over.Click();
    EXPECT_EQ(opened.back(), L"uninstall");

    size_t before = dialogs.Count();
    nav.imgShortCuts.over.Click();   // not part of this build
    EXPECT_EQ(dialogs.Count(), before + 1);

    WriteRegBool(kHintsKey, L"DupeWarning", false);
    nav.imgDupes.over.Click();
    EXPECT_EQ(opened.back(), L"dupes");

    std::vector<std::wstring> shellOpened;
    auto oldShell = SetShellOpener([&](const std::wstring& t, const std::wstring& v, const std::wstring&) {
        shellOpened.push_back(v + L" " + t);
        return true;
    });
    auto oldHint = SetHintPresenter([](TfrmHint&) {});
    nav.imgWeb.up.Click();
    EXPECT_EQ(shellOpened, (std::vector<std::wstring>{std::wstring(L"OPEN ") + kMakerWebAddress}));
    SetShellOpener(oldShell);
    SetHintPresenter(oldHint);

    EXPECT_FALSE(ui::Terminated());
    nav.imgExit.up.Click();
    EXPECT_TRUE(ui::Terminated());
}

TEST(Help, EveryTopicHasTextAndUnknownNamesFallBack) {
    for (const wchar_t* name : {L"Welcome_to_Ostrel_Kestrune", L"Cleaning_your_system_of_junk_and_obsolete_files",
                                L"Ensuring_your_personal_or_company_privacy", L"Cleaning_your_system_registry",
                                L"Removing_invalid_uninstaller_information",
                                L"Unattended_scheduling_with_the_Scheduled_Maintenance_Tool",
                                L"Tracking_statistics_with_Tool_Action_Logs"}) {
        const HelpTopicText& t = FindHelpTopic(name);
        EXPECT_STREQ(t.name, name);
        EXPECT_GT(wcslen(t.text), 40u);
    }
    EXPECT_STREQ(FindHelpTopic(L"No_such_topic").name, L"Welcome_to_Ostrel_Kestrune");
    ShowHelpTopic(L"Cleaning_your_system_registry");
    ASSERT_NE(OpenHelpViewer(), nullptr);
    EXPECT_EQ(OpenHelpViewer()->TopicName(), L"Cleaning_your_system_registry");
    CloseHelpViewer();
}
