#include <gtest/gtest.h>
#include "core/common.h"
#include "core/registry.h"
#include "sched/residentcore.h"
#include "sched/sched.h"
#include "sched/schedule.h"
#include "core/paths.h"
#include "ui/dialogs.h"
#include "tests/support/testenv.h"

namespace {

double DT(int y, int mo, int d, int h = 0, int mi = 0) { return EncodeDateTime(y, mo, d, h, mi); }

void SetTask(SchedTask task, int kind, const std::wstring& params, std::optional<double> nextRun, bool enabled = true) {
    std::wstring key = TaskKey(task);
    WriteRegInteger(key, L"Enabled", enabled ? 1 : 0);
    WriteRegInteger(key, L"SchedType", kind);
    WriteRegString(key, L"Params", params);
    if (nextRun) WriteDateTimeValue(key, L"NextRun", *nextRun);
}

class ResidentLogic : public ::testing::Test {
protected:
    kestest::ScratchRegistry reg;
    std::optional<uint64_t> freeBytes = 500ull * 1024000;
    ResidentScheduler scheduler{[this] { return freeBytes; }};
    const double now = DT(2024, 1, 10, 12, 0);
};

TEST_F(ResidentLogic, DueTaskStartsOnceAndGetsItsNextRun) {
    SetTask(SchedTask::Junk, kKindMinutes, L"30", DT(2024, 1, 10, 11, 10));
    SetTask(SchedTask::Eraser, kKindDays, L"1|0.5", DT(2024, 1, 11, 8, 0));      // not yet due
    SetTask(SchedTask::Registry, kKindMinutes, L"5", DT(2024, 1, 1), false);      // disabled
    auto started = scheduler.Tick(now);
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0], SchedTask::Junk);
    // The rhythm is kept: 11:10 + 30 minutes steps, the first after now.
    EXPECT_EQ(*ReadDateTimeValue(TaskKey(SchedTask::Junk), L"NextRun"), DT(2024, 1, 10, 12, 10));
    EXPECT_TRUE(scheduler.Tick(now).empty());
    EXPECT_TRUE(scheduler.Tick(now + 5.0 / 1440).empty());
    // Restarted with the same stored values at the same time: nothing is due any more.
    ResidentScheduler fresh{[this] { return freeBytes; }};
    EXPECT_TRUE(fresh.Tick(now).empty());
    EXPECT_EQ(fresh.Tick(DT(2024, 1, 10, 12, 10)).size(), 1u);
}

TEST_F(ResidentLogic, FreeSpaceOptionAndBrokenValues) {
    const std::wstring root = ScheduleRoot();
    WriteRegInteger(root, L"OnlyScan", 1);
    WriteRegInteger(root, L"SpaceFree", 100);
    SetTask(SchedTask::Junk, kKindDays, L"1|0.25", DT(2024, 1, 9));
    // 500 MB free, the option asks for less than 100: skipped, but its next run moves on.
    EXPECT_TRUE(scheduler.Tick(now).empty());
    EXPECT_EQ(*ReadDateTimeValue(TaskKey(SchedTask::Junk), L"NextRun"), DT(2024, 1, 11, 6, 0));
    freeBytes = 99ull * 1024000;
    SetTask(SchedTask::Junk, kKindDays, L"1|0.25", DT(2024, 1, 9, 1));
    EXPECT_EQ(scheduler.Tick(now).size(), 1u);

    // A broken value of one task leaves the others running.
    WriteRegInteger(root, L"OnlyScan", 0);
    SetTask(SchedTask::Junk, kKindDays, L"1|0.25", std::nullopt);
    RegKey junk = OpenKey(HKEY_CURRENT_USER, TaskKey(SchedTask::Junk), false);
    SetBinary(junk.get(), L"NextRun", "xyz", 3);
    SetTask(SchedTask::Eraser, kKindMinutes, L"not a number", DT(2024, 1, 1));
    RegKey reg2 = OpenKey(HKEY_CURRENT_USER, TaskKey(SchedTask::Registry), true);
    SetTask(SchedTask::Registry, kKindMonths, L"1|31", DT(2024, 1, 2));
    SetString(reg2.get(), L"Enabled", L"yes");   // wrong type
    auto first = scheduler.Tick(now);
    ASSERT_EQ(first.size(), 1u);   // unusable parameters still run the due task once
    EXPECT_EQ(first[0], SchedTask::Eraser);
    SetDword(reg2.get(), L"Enabled", 1);
    auto second = scheduler.Tick(now);
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(second[0], SchedTask::Registry);
    EXPECT_EQ(*ReadDateTimeValue(TaskKey(SchedTask::Registry), L"NextRun"), DT(2024, 2, 29));
    EXPECT_TRUE(scheduler.Tick(now).empty());
}

TEST_F(ResidentLogic, StartUpAndShutDownKindsAreNotTimed) {
    SetTask(SchedTask::Junk, kKindWinStart, L"", DT(2024, 1, 1));
    SetTask(SchedTask::Eraser, kKindWinEnd, L"", DT(2024, 1, 1));
    EXPECT_TRUE(scheduler.Tick(now).empty());
    EXPECT_TRUE(ResidentScheduler::RunsAtShutDown(SchedTask::Eraser));
    EXPECT_FALSE(ResidentScheduler::RunsAtShutDown(SchedTask::Junk));
}

// The resident program itself, run under Wine against a scratch key and a recorder program.
TEST(ResidentProgram, StartsADueTaskOnceStoresNextRunAndRunsTheShutDownTask) {
    kestest::ScratchRegistry reg;
    kestest::ScratchFolder folder;
    ASSERT_EQ(::FindWindowW(kResidentWindowClass, nullptr), nullptr) << "a resident scheduler is already running";
    double now = NowDateTime();
    SetTask(SchedTask::Junk, kKindMinutes, L"30", now - 1.0);
    SetTask(SchedTask::Eraser, kKindWinEnd, L"", now - 1.0);   // at shut-down only
    SetTask(SchedTask::Registry, kKindDays, L"1|0.5", std::nullopt);
    RegKey regKey = OpenKey(HKEY_CURRENT_USER, TaskKey(SchedTask::Registry), false);
    SetBinary(regKey.get(), L"LastRan", "bad", 3);   // broken: must not stop the program

    std::wstring record = folder / L"started.txt";
    ::SetEnvironmentVariableW(L"KES_RECORDER_FILE", record.c_str());
    std::wstring exe = kestest::ProductBinFolder() + kResidentExeName;
    std::wstring program = kestest::TestBinFolder() + L"fixtures\\fixture_schedrecorder.exe";
    std::wstring cmd = QuotedPath(exe) + L" /KeyRoot " + QuotedPath(reg.userRoot() + L"\\" + ScheduleRoot()) +
                       L" /Program " + QuotedPath(program) + L" /Interval 100";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(::CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    UniqueHandle process(pi.hProcess), thread(pi.hThread);

    EXPECT_TRUE(kestest::PumpUntil([&] { return !kestest::ReadTextFile(record).empty(); }, 20000));
    HWND resident = nullptr;
    EXPECT_TRUE(kestest::PumpUntil([&] { return (resident = ::FindWindowW(kResidentWindowClass, nullptr)) != nullptr; }));
    // More looks at the schedule (the refresh message makes one at once) start nothing more.
    for (int i = 0; i < 3 && resident; ++i) {
        DWORD_PTR r = 0;
        ::SendMessageTimeoutW(resident, kRefreshMessage, 0, 0, SMTO_ABORTIFHUNG, 5000, &r);
    }
    kestest::PumpUntil([] { return false; }, 1500);   // let a wrongly started second run write
    EXPECT_EQ(kestest::ReadTextFile(record), "/CleanJunk\r\n");
    auto next = ReadDateTimeValue(TaskKey(SchedTask::Junk), L"NextRun");
    ASSERT_TRUE(next);
    EXPECT_GT(*next, now);
    EXPECT_LE(*next, now + 31.0 / 1440);

    // Windows ending: the shut-down task runs (and is waited for) before the answer comes back.
    if (resident) {
        DWORD_PTR r = 0;
        ::SendMessageTimeoutW(resident, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 5000, &r);
        ::SendMessageTimeoutW(resident, WM_ENDSESSION, TRUE, 0, SMTO_ABORTIFHUNG, 30000, &r);
    }
    EXPECT_EQ(kestest::ReadTextFile(record), "/CleanJunk\r\n/CleanHistory\r\n");

    if (resident) ::PostMessageW(resident, WM_CLOSE, 0, 0);
    EXPECT_EQ(::WaitForSingleObject(process.get(), 10000), WAIT_OBJECT_0);
    DWORD code = 99;
    ::GetExitCodeProcess(process.get(), &code);
    EXPECT_EQ(code, 0u);
    ::SetEnvironmentVariableW(L"KES_RECORDER_FILE", nullptr);
}

// Unchecking the last enabled task closes a running resident scheduler and removes its entry.
TEST(ResidentProgram, ClosedWhenNoTaskIsEnabled) {
    kestest::ScratchRegistry reg;
    kestest::ScratchFolder folder;
    ui::DialogScript dialogs;
    ASSERT_EQ(::FindWindowW(kResidentWindowClass, nullptr), nullptr);
    std::wstring exe = kestest::ProductBinFolder() + kResidentExeName;
    std::wstring cmd = QuotedPath(exe) + L" /KeyRoot " + QuotedPath(reg.userRoot() + L"\\" + ScheduleRoot()) +
                       L" /Program " + QuotedPath(folder.path() + L"none.exe");
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(::CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    UniqueHandle process(pi.hProcess), thread(pi.hThread);
    ASSERT_TRUE(kestest::PumpUntil([] { return ::FindWindowW(kResidentWindowClass, nullptr) != nullptr; }));

    SetProgramFolderOverride(folder.path());
    {
        TfrmSched form;
        form.cbJunk.Click();
        RegKey run = OpenKey(HKEY_CURRENT_USER, kRunKey, false);
        EXPECT_TRUE(run && ValueExists(run.get(), kResidentRunValue));
        form.cbJunk.Click();
        EXPECT_FALSE(ValueExists(run.get(), kResidentRunValue));
        form.Close();
    }
    SetProgramFolderOverride(L"");
    EXPECT_EQ(::WaitForSingleObject(process.get(), 10000), WAIT_OBJECT_0);
    if (::WaitForSingleObject(process.get(), 0) != WAIT_OBJECT_0) ::TerminateProcess(process.get(), 1);
}

}  // namespace
