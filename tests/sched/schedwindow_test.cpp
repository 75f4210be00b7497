#include <gtest/gtest.h>
#include <vector>
#include "core/logs.h"
#include "core/paths.h"
#include "core/registry.h"
#include "core/shellopen.h"
#include "logs/logstats.h"
#include "sched/sProps.h"
#include "sched/sched.h"
#include "tests/support/testenv.h"
#include "ui/dialogs.h"

namespace {

struct Opened {
    std::wstring target, verb, params;
};

// A scratch registry and program folder, a fixed clock, and a recorder for what would be opened.
class SchedWindow : public ::testing::Test {
protected:
    kestest::ScratchRegistry reg;
    kestest::ScratchFolder folder;
    ui::DialogScript dialogs;
    std::vector<Opened> opened;
    const double now = EncodeDateTime(2024, 1, 10, 14, 20);
    void SetUp() override {
        SetProgramFolderOverride(folder.path());
        SetSchedNowOverride([this] { return now; });
        previous_ = SetShellOpener([this](const std::wstring& t, const std::wstring& v, const std::wstring& p) {
            opened.push_back({t, v, p});
            return true;
        });
    }
    void TearDown() override {
        SetShellOpener(previous_);
        SetSchedNowOverride(nullptr);
        SetProgramFolderOverride(L"");
    }
    std::optional<std::wstring> RunValue(const std::wstring& name) {
        RegKey k = OpenKey(HKEY_CURRENT_USER, kRunKey, false);
        if (!k || !ValueExists(k.get(), name)) return std::nullopt;
        return ReadRegString(kRunKey, name);
    }
    ShellOpener previous_;
};

TEST_F(SchedWindow, EnablingGivesTheDefaultScheduleAndRegistersTheScheduler) {
    folder.WriteFile(kResidentExeName, "");   // a stand-in: the opener records the start
    TfrmSched form;
    EXPECT_EQ(form.lblSched1.Text(), L"None");
    EXPECT_FALSE(form.lblSched1.Enabled());
    form.cbJunk.Click();
    const std::wstring key = TaskKey(SchedTask::Junk);
    EXPECT_EQ(ReadRegInteger(key, L"Enabled"), 1);
    EXPECT_EQ(ReadRegInteger(key, L"SchedType"), 2);
    EXPECT_EQ(*ReadDateTimeValue(key, L"NextRun"), EncodeDateTime(2024, 1, 11));
    EXPECT_EQ(form.lblSched1.Text(), L"Every 5 Days at " + ShortTimeText(1.0 / 3.0));
    EXPECT_EQ(form.lblNext1.Text(), DateTimeText(EncodeDateTime(2024, 1, 11)));
    EXPECT_EQ(form.lblLast1.Text(), L"Never");
    EXPECT_TRUE(form.lblSched1.Enabled());
    EXPECT_EQ(RunValue(kResidentRunValue).value_or(L""), L"\"" + folder.path() + L"Scheduled_Maintenance.exe\"");
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].target, folder.path() + kResidentExeName);
    // The last task unchecked: the scheduler's entry goes.
    form.cbJunk.Click();
    EXPECT_EQ(ReadRegInteger(key, L"Enabled"), 0);
    EXPECT_FALSE(RunValue(kResidentRunValue));
    EXPECT_FALSE(form.lblSched1.Enabled());
    form.Close();
}

TEST_F(SchedWindow, StartUpKindOwnsItsRunValueWhileEnabled) {
    const std::wstring key = TaskKey(SchedTask::Junk);
    WriteRegInteger(key, L"SchedType", kKindWinStart);
    WriteRegString(key, L"Params", L"");
    TfrmSched form;
    EXPECT_EQ(form.lblSched1.Text(), L"When Windows is Started");
    EXPECT_EQ(form.lblNext1.Text(), L"Next Time Windows Starts");
    form.cbJunk.Click();
    const std::wstring quoted = L"\"" + folder.path() + L"Kestrune.exe\" /CleanJunk";
    EXPECT_EQ(RunValue(L"Clean Junk Files at StartUp").value_or(L""), quoted);
    {
        // Another kind chosen in the dialog removes it.
        TfrmSProps props(SchedTask::Junk, true);
        EXPECT_TRUE(props.optWinStart.Checked());
        props.FormShow();
        props.SelectKind(kKindMinutes);
        props.meMins.SetValue(45);
        props.cmdOK.Click();
        EXPECT_FALSE(RunValue(L"Clean Junk Files at StartUp"));
        EXPECT_EQ(ReadRegString(key, L"Params"), L"45");
    }
    {
        TfrmSProps props(SchedTask::Junk, true);
        props.FormShow();
        props.SelectKind(kKindWinStart);
        props.cmdOK.Click();
        EXPECT_EQ(RunValue(L"Clean Junk Files at StartUp").value_or(L""), quoted);
        EXPECT_EQ(ReadRegString(key, L"Params"), L"");
    }
    form.RefreshAllSched();
    form.cbJunk.Click();   // unchecked
    EXPECT_FALSE(RunValue(L"Clean Junk Files at StartUp"));
    form.Close();
}

TEST_F(SchedWindow, DialogStoresKindParametersAndNextRun) {
    const std::wstring key = TaskKey(SchedTask::Registry);
    TfrmSProps props(SchedTask::Registry, false);
    EXPECT_FALSE(props.optWinEnd.Visible());
    props.FormShow();
    // No schedule yet: today, an hour from now.
    SYSTEMTIME d = props.dtDate.Value(), t = props.dtTime.Value();
    EXPECT_EQ(d.wDay, 10);
    EXPECT_EQ(t.wHour, 15);
    EXPECT_EQ(t.wMinute, 20);
    props.SelectKind(kKindHours);
    props.meHours.SetValue(3);
    props.meMinsAfter.SetValue(15);
    SYSTEMTIME date = DateTimePartsToSystemTime(DecodeDateTime(EncodeDateTime(2024, 2, 1)));
    SYSTEMTIME time = DateTimePartsToSystemTime(DecodeDateTime(EncodeDateTime(2024, 2, 1, 6, 30)));
    props.dtDate.SetValue(date);
    props.dtTime.SetValue(time);
    props.cmdOK.Click();
    EXPECT_TRUE(props.Saved());
    EXPECT_EQ(ReadRegInteger(key, L"SchedType"), 1);
    EXPECT_EQ(ReadRegString(key, L"Params"), L"3|15");
    EXPECT_EQ(*ReadDateTimeValue(key, L"NextRun"), EncodeDateTime(2024, 2, 1, 6, 30));

    // Reopened: the stored parameters are in the fields; Cancel writes nothing.
    TfrmSProps again(SchedTask::Registry, false);
    again.FormShow();
    EXPECT_TRUE(again.optHours.Checked());
    EXPECT_EQ(again.meHours.Value(), 3);
    EXPECT_EQ(again.meMinsAfter.Value(), 15);
    again.SelectKind(kKindMonths);
    again.cmdCancel.Click();
    EXPECT_EQ(ReadRegInteger(key, L"SchedType"), 1);
}

TEST_F(SchedWindow, RunNowLogPanesAndRefreshMessage) {
    folder.WriteFile(kProgramExeName, "");
    const std::wstring key = TaskKey(SchedTask::Eraser);
    WriteRegInteger(key, L"SchedType", kKindDays);
    WriteRegString(key, L"Params", L"5|0.3333333333");
    WriteDateTimeValue(key, L"NextRun", EncodeDateTime(2024, 1, 12));
    TfrmSched form;
    form.FormShow();

    form.tsEraser.cmdRunNow.Click();
    EXPECT_FALSE(ReadDateTimeValue(key, L"NextRun"));
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].target, folder.path() + L"Kestrune.exe");
    EXPECT_EQ(opened[0].params, L"/CleanHistory");

    // Logs: the junk log exists (name matched regardless of case), the others do not.
    folder.WriteFile(L"Junklog.txt", "line one\r\nline two\r\n");
    form.RefreshLogs();
    EXPECT_EQ(form.mmoJunk.Text(), L"line one\r\nline two\r\n");
    EXPECT_TRUE(form.tsJunk.cmdView.Enabled());
    EXPECT_EQ(form.mmoEraser.Text(), kNoEventsLogged);
    EXPECT_FALSE(form.tsEraser.cmdClear.Enabled());
    form.tsEraser.cmdView.Click();
    EXPECT_EQ(dialogs.Last().text, L"No events have been logged for this operation yet.");
    dialogs.Answer(ui::MsgResult::Yes);
    form.tsJunk.cmdClear.Click();
    EXPECT_FALSE(FindLogFile(L"JunkLog.txt"));
    EXPECT_EQ(form.mmoJunk.Text(), kNoEventsLogged);

    // A run elsewhere stored "LastRan": the refresh message brings the new texts.
    WriteDateTimeValue(key, L"LastRan", EncodeDateTime(2024, 1, 10, 14, 0));
    folder.WriteFile(L"EraserLog.txt", "erased\r\n");
    ::SendMessageW(form.Handle(), kRefreshMessage, 0, 0);
    EXPECT_EQ(form.lblLast2.Text(), DateTimeText(EncodeDateTime(2024, 1, 10, 14, 0)));
    EXPECT_EQ(form.lblNext2.Text(), DateTimeText(EncodeDateTime(2024, 1, 15, 8, 0)));
    EXPECT_EQ(form.mmoEraser.Text(), L"erased\r\n");
    form.Close();
}

TEST_F(SchedWindow, OptionsAndCloseWriteTheirValues) {
    TfrmSched form;
    form.FormShow();
    EXPECT_FALSE(form.meMegs.Enabled());
    form.cbOnlyScan.Click();
    EXPECT_TRUE(form.meMegs.Enabled());
    EXPECT_EQ(ReadRegInteger(ScheduleRoot(), L"OnlyScan"), 1);
    form.meMegs.SetValue(250);
    if (form.meMegs.OnChange) form.meMegs.OnChange();
    EXPECT_EQ(ReadRegInteger(ScheduleRoot(), L"SpaceFree"), 250);
    form.tsRegistry.cbSave.Click();
    EXPECT_FALSE(ReadRegBool(TaskKey(SchedTask::Registry), L"LogEvents"));
    form.tsJunk.cbShowProg.Click();
    EXPECT_FALSE(ReadRegBool(TaskKey(SchedTask::Junk), L"ShowProgress"));
    form.Close();
    for (SchedTask t : kAllTasks) EXPECT_EQ(ReadRegInteger(TaskKey(t), L"Enabled"), 0);
}

}  // namespace
