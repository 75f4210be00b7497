#include <gtest/gtest.h>
#include "core/logs.h"
#include "core/paths.h"
#include "core/registry.h"
#include "logs/logs.h"
#include "logs/logstats.h"
#include "tests/support/testenv.h"
#include "ui/dialogs.h"

namespace {

const wchar_t* const kSchedJunk = L"\\Software\\Ostrel\\Kestrune\\Schedule\\Junk";

// A scratch registry and program folder for every test.
class LogsTest : public ::testing::Test {
protected:
    kestest::ScratchRegistry reg;
    kestest::ScratchFolder folder;
    void SetUp() override { SetProgramFolderOverride(folder.path()); }
    void TearDown() override { SetProgramFolderOverride(L""); }
    void SetCounter(const wchar_t* name, uint32_t v) { WriteRegInteger(kLogsKey, name, static_cast<int32_t>(v)); }
};

TEST_F(LogsTest, TotalsAreUnsignedAndSummedIn64Bits) {
    struct Case {
        uint32_t junkFiles, shortRemoved, dupeFiles, junkBytes, eraserBytes, shortBytes, dupeBytes;
        uint64_t files, bytes;
    } cases[] = {
        {3, 2, 5, 1024000, 0, 0, 0, 10, 1024000},
        {0, 0, 0, 0, 0, 0, 0, 0, 0},
        // Past 2 GB a counter still reads positive, and the sums do not wrap at 32 bits.
        {0, 0, 0, 0x80000000u, 0xFFFFFFFFu, 0xFFFFFFFFu, 1, 0, 0x80000000ull + 2 * 0xFFFFFFFFull + 1},
        {0xFFFFFFFFu, 0xFFFFFFFFu, 1, 0, 0, 0, 0, 0x1FFFFFFFFull, 0},
    };
    for (const auto& c : cases) {
        SetCounter(L"JunkFiles", c.junkFiles);
        SetCounter(L"ShortRemoved", c.shortRemoved);
        SetCounter(L"DupeFiles", c.dupeFiles);
        SetCounter(L"JunkBytes", c.junkBytes);
        SetCounter(L"EraserBytes", c.eraserBytes);
        SetCounter(L"ShortBytes", c.shortBytes);
        SetCounter(L"DupeBytes", c.dupeBytes);
        LogStatistics s = ReadStatistics();
        EXPECT_EQ(s.HistoricalFiles(), c.files);
        EXPECT_EQ(s.HistoricalBytes(), c.bytes);
        EXPECT_EQ(s.junkBytes, c.junkBytes);
    }
    EXPECT_EQ(SpaceText(1024000), L"1,024,000 bytes. (1.00 megabytes)");
    EXPECT_EQ(SpaceText(0), L"0 bytes. (0.00 megabytes)");
    EXPECT_EQ(SpaceText(0xFFFFFFFFull), L"4,294,967,295 bytes. (4,194.30 megabytes)");
    EXPECT_EQ(SpaceText(0x200000000ull), L"8,589,934,592 bytes. (8,388.61 megabytes)");
}

TEST_F(LogsTest, ResetGroupsDeleteExactlyTheirCounters) {
    const std::pair<StatGroup, std::vector<std::wstring>> groups[] = {
        {StatGroup::Junk, {L"JunkBytes", L"JunkFiles"}},
        {StatGroup::Privacy, {L"EraserBytes"}},
        {StatGroup::Shortcuts, {L"ShortBytes", L"ShortRemoved", L"ShortFixed"}},
        {StatGroup::Uninstallers, {L"UninItems"}},
        {StatGroup::Dupes, {L"DupeBytes", L"DupeFiles"}},
        {StatGroup::Registry, {L"RegRefs"}},
        {StatGroup::All, {std::begin(kCounterNames), std::end(kCounterNames)}},
    };
    for (const auto& [group, names] : groups) {
        for (const wchar_t* n : kCounterNames) SetCounter(n, 7);
        ResetStatistics(group);
        RegKey k = OpenKey(HKEY_CURRENT_USER, kLogsKey + 1, false);
        for (const wchar_t* n : kCounterNames) {
            bool inGroup = std::find(names.begin(), names.end(), n) != names.end();
            EXPECT_EQ(ValueExists(k.get(), n), !inGroup) << kestest::Narrow(n);
        }
    }
}

TEST_F(LogsTest, LogFilesFoundRegardlessOfCase) {
    folder.WriteFile(L"manual_shortcuts_log.TXT", "one\r\n");
    auto found = FindLogFile(L"Manual_Shortcuts_Log.txt");
    ASSERT_TRUE(found);
    EXPECT_EQ(ReadLogText(*found), L"one\r\n");
    EXPECT_FALSE(FindLogFile(L"JunkLog.txt"));
    EXPECT_FALSE(FindLogFile(L"*.txt"));
    EXPECT_FALSE(FindLogFile(L"..\\manual_shortcuts_log.TXT"));
}

TEST_F(LogsTest, WindowShowsPanesStatisticsAndClears) {
    ui::DialogScript dialogs;
    WriteLogLine(kLogJunk, L"scheduled run");
    SetCounter(L"JunkFiles", 3);
    SetCounter(L"ShortRemoved", 2);
    SetCounter(L"DupeFiles", 5);
    SetCounter(L"JunkBytes", 1024000);
    TfrmLogs form;
    form.FormShow();
    EXPECT_EQ(form.tsJunk.mmo.Text(), kNoEventsLogged);
    EXPECT_EQ(form.tsJunk.mmoAuto->Text(), L"scheduled run\r\n");
    EXPECT_TRUE(form.tsJunk.cmdCMenu->Enabled());
    EXPECT_TRUE(form.tsJunk.cmdVMenu->Enabled());
    EXPECT_EQ(form.sb.PanelText(0), L"Total Files Removed: 10");
    EXPECT_EQ(form.sb.PanelText(1), L"Total Space Freed: 1,024,000 bytes. (1.00 megabytes)");
    EXPECT_EQ(form.lblHRemoved.Text(), L"10");

    // Viewing the missing manual log says so.
    form.tsJunk.cmdVMenu->Choose(0);
    ASSERT_EQ(dialogs.Count(), 1u);
    EXPECT_EQ(dialogs.Last().text, L"No events have been logged for this operation yet.");

    // Clearing the scheduled log: confirmed, the file goes, the pane says so, the buttons go off.
    dialogs.Answer(ui::MsgResult::Yes);
    form.tsJunk.cmdCMenu->Choose(1);
    EXPECT_EQ(dialogs.Last().caption, L"Please confirm");
    EXPECT_FALSE(FindLogFile(kLogJunk));
    EXPECT_EQ(form.tsJunk.mmoAuto->Text(), kNoEventsLogged);
    EXPECT_FALSE(form.tsJunk.cmdCMenu->Enabled());
    EXPECT_FALSE(form.tsJunk.cmdVMenu->Enabled());

    // A page shown again keeps its text until "Refresh Data".
    form.pc.SetActivePage(form.tsShort.page);
    EXPECT_EQ(form.tsShort.mmo.Text(), kNoEventsLogged);
    EXPECT_FALSE(form.tsShort.cmdC->Enabled());
    WriteLogLine(kLogManualShortcuts, L"fixed");
    form.pc.SetActivePage(form.tsJunk.page);
    form.pc.SetActivePage(form.tsShort.page);
    EXPECT_EQ(form.tsShort.mmo.Text(), kNoEventsLogged);
    form.N4Click();
    EXPECT_EQ(form.tsShort.mmo.Text(), L"fixed\r\n");
    EXPECT_TRUE(form.tsShort.cmdC->Enabled());
    EXPECT_TRUE(form.tsShort.cmdV->Enabled());
    form.Close();
}

TEST_F(LogsTest, LockedLogIsReportedAndStaysShown) {
    ui::DialogScript dialogs;
    WriteLogLine(kLogManualDupes, L"kept");
    TfrmLogs form;
    form.FormShow();
    form.pc.SetActivePage(form.tsDupes.page);
    std::wstring path = *FindLogFile(kLogManualDupes);
    {
        UniqueHandle lock(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(lock);
        dialogs.Answer(ui::MsgResult::Yes);
        form.tsDupes.cmdC->Click();
        ASSERT_EQ(dialogs.Count(), 2u);   // the question, then the report
        EXPECT_NE(dialogs.Last().text.find(L"could not be cleared"), std::wstring::npos);
        EXPECT_EQ(form.tsDupes.mmo.Text(), L"kept\r\n");
        EXPECT_TRUE(form.tsDupes.cmdC->Enabled());
    }
    // Answered No: nothing happens.
    dialogs.Answer(ui::MsgResult::No);
    form.tsDupes.cmdC->Click();
    EXPECT_TRUE(FindLogFile(kLogManualDupes));
    form.Close();
}

TEST_F(LogsTest, ResetItemsAskAndRefresh) {
    ui::DialogScript dialogs;
    for (const wchar_t* n : kCounterNames) SetCounter(n, 5);
    TfrmLogs form;
    dialogs.Answer(ui::MsgResult::No);
    form.ResetItem(StatGroup::All);
    EXPECT_EQ(dialogs.Last().caption, L"Please confirm...");
    EXPECT_EQ(ReadCounter(L"RegRefs"), 5u);
    dialogs.Answer(ui::MsgResult::Yes);
    form.ResetItem(StatGroup::All);
    for (const wchar_t* n : kCounterNames) EXPECT_EQ(ReadCounter(n), 0u);
    EXPECT_EQ(form.sb.PanelText(0), L"Total Files Removed: 0");
    EXPECT_EQ(form.sb.PanelText(1), L"Total Space Freed: 0 bytes. (0.00 megabytes)");
    form.Close();
}

TEST_F(LogsTest, SwitchesWrittenAtClose) {
    WriteRegBool(kSchedJunk, L"LogEvents", false);
    TfrmLogs form;
    form.FormShow();
    EXPECT_FALSE(form.cbJunkAuto.Checked());
    EXPECT_TRUE(form.cbPrivAuto.Checked());   // missing reads true
    form.cbDupes.Click();
    form.cbJunkAuto.Click();
    form.tsPriv.SetAutoWidth(200);
    form.Close();
    {
        // The scheduled pane keeps the width it was given.
        TfrmLogs again;
        again.FormShow();
        EXPECT_EQ(again.tsPriv.AutoWidth(), 200);
        EXPECT_EQ(again.tsJunk.AutoWidth(), 280);
        again.tsReg.SetAutoWidth(5000);   // held within the page
        EXPECT_LE(again.tsReg.AutoWidth(), 572 - 66);
        again.Close();
    }
    EXPECT_FALSE(ReadRegBool(kLogsKey, L"DoDupes"));
    EXPECT_TRUE(ReadRegBool(kLogsKey, L"DoJunk"));
    RegKey k = OpenKey(HKEY_CURRENT_USER, kLogsKey + 1, false);
    EXPECT_TRUE(ValueExists(k.get(), L"DoReg"));
    EXPECT_TRUE(ReadRegBool(kSchedJunk, L"LogEvents"));
    EXPECT_TRUE(ReadRegBool(L"\\Software\\Ostrel\\Kestrune\\Schedule\\Registry", L"LogEvents"));
}

}  // namespace
