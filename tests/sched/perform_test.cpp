#include <gtest/gtest.h>
#include <set>
#include "core/logs.h"
#include "core/paths.h"
#include "core/registry.h"
#include "logs/logstats.h"
#include "sched/sched.h"
#include "tests/support/testenv.h"
#include "tools/eraser/Traces.h"
#include "tools/junk/junkrules.h"
#include "tools/regclean/regclean.h"
#include "ui/dialogs.h"

namespace {

TEST(SchedWait, EndsOnTheEndedSignalWithoutSpinning) {
    static bool ended = false;
    ended = false;
    UINT_PTR timer = ::SetTimer(nullptr, 0, 300, [](HWND, UINT, UINT_PTR, DWORD) { ended = true; });
    int looks = 0;
    WaitForToolSignal([&] { ++looks; return false; }, [] { return ended; });
    ::KillTimer(nullptr, timer);
    EXPECT_TRUE(ended);
    // The wait sleeps until a message comes: a handful of looks, not a busy loop.
    EXPECT_LT(looks, 50);
}

// Window captions created on this thread while it lives.
class CreatedWindows {
public:
    CreatedWindows() {
        self_ = this;
        hook_ = ::SetWindowsHookExW(WH_CBT, Proc, nullptr, ::GetCurrentThreadId());
    }
    ~CreatedWindows() {
        ::UnhookWindowsHookEx(hook_);
        self_ = nullptr;
    }
    bool Saw(const std::wstring& caption) const { return captions_.count(caption) > 0; }

private:
    static LRESULT CALLBACK Proc(int code, WPARAM wp, LPARAM lp) {
        if (code == HCBT_CREATEWND && self_) {
            auto* cw = reinterpret_cast<CBT_CREATEWNDW*>(lp);
            if (cw->lpcs && cw->lpcs->lpszName && !IS_INTRESOURCE(cw->lpcs->lpszName))
                self_->captions_.insert(cw->lpcs->lpszName);
        }
        return ::CallNextHookEx(nullptr, code, wp, lp);
    }
    static CreatedWindows* self_;
    HHOOK hook_ = nullptr;
    std::set<std::wstring> captions_;
};
CreatedWindows* CreatedWindows::self_ = nullptr;

// The eraser's platform without the browser, the clock or any waiting.
class QuietEraserSystem : public EraserSystem {
public:
    bool RunBrowserOnce() override { return true; }
    bool GetClock(SYSTEMTIME& utc) override { ::GetSystemTime(&utc); return true; }
    bool SetClock(const SYSTEMTIME&) override { return false; }
    void PumpFor(DWORD) override {}
    FreeSpaceSnapshot MeasureFreeSpace() override { return FreeSpaceSnapshot{}; }
};

class UnattendedErase : public ::testing::Test {
protected:
    kestest::ScratchRegistry reg{true};
    kestest::ScratchFolder folder;
    ui::DialogScript dialogs;
    QuietEraserSystem system;
    void SetUp() override {
        SetProgramFolderOverride(folder.path());
        SetEraserSystemForRuns(&system);
        // A Recent folder of its own, so that the erase runs to its end.
        WriteRegString(L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", L"Recent",
                       folder.MakeDir(L"Recent"));
    }
    void TearDown() override {
        SetEraserSystemForRuns(nullptr);
        SetProgramFolderOverride(L"");
    }
};

TEST_F(UnattendedErase, LogsStoresLastRanAndRefreshesAnOpenWindow) {
    const std::wstring key = TaskKey(SchedTask::Eraser);
    WriteRegInteger(key, L"SchedType", 2);
    WriteRegString(key, L"Params", L"1|0.5");
    TfrmSched other;   // the scheduling window of another instance, titled "Scheduled Maintenance"
    EXPECT_EQ(other.lblLast2.Text(), L"Never");
    CreatedWindows created;
    EXPECT_EQ(RunScheduledTask(SchedTask::Eraser), 0);
    EXPECT_TRUE(created.Saw(L"Scheduled Maintenance Progress"));   // "ShowProgress" missing: shown
    auto lastRan = ReadDateTimeValue(key, L"LastRan");
    ASSERT_TRUE(lastRan);
    // "LogEvents" missing logs as if it were set.
    auto log = FindLogFile(L"EraserLog.txt");
    ASSERT_TRUE(log);
    std::wstring text = ReadLogText(*log);
    EXPECT_NE(text.find(L"OPERATION START: "), std::wstring::npos);
    EXPECT_NE(text.find(L"OPERATION COMPLETE: "), std::wstring::npos);
    EXPECT_FALSE(FindLogFile(L"Manual_Privacy_Log.txt"));
    EXPECT_EQ(dialogs.Count(), 0u) << "an unattended run asks nothing: "
                                  << (dialogs.Count() ? kestest::Narrow(dialogs.Last().text) : "");
    // The other window received the refresh.
    EXPECT_EQ(other.lblLast2.Text(), DateTimeText(*lastRan));
    EXPECT_EQ(other.Caption(), L"Scheduled Maintenance");
    other.Close();
}

TEST_F(UnattendedErase, ProgressAndLogFollowTheTaskSwitches) {
    const std::wstring key = TaskKey(SchedTask::Eraser);
    WriteRegBool(key, L"ShowProgress", false);
    WriteRegBool(key, L"LogEvents", false);
    CreatedWindows created;
    RunScheduledTask(SchedTask::Eraser);
    EXPECT_FALSE(created.Saw(L"Scheduled Maintenance Progress"));
    EXPECT_FALSE(FindLogFile(L"EraserLog.txt"));
    EXPECT_TRUE(ReadDateTimeValue(key, L"LastRan"));
}

// The junk run on a scratch drive: only the stored drive, only the stored file type.
class UnattendedJunk : public ::testing::Test {
protected:
    kestest::ScratchRegistry reg{true};
    kestest::ScratchFolder folder;
    kestest::ExtraDrive drive{L'X'};
    ui::DialogScript dialogs;
    void SetUp() override {
        SetProgramFolderOverride(folder.path());
        std::vector<ScanTypeRow> types{{L"*.tmp", L"Temporary files", true}};
        WriteRegString(kJunkKey, L"ScanFor", FormatScanFor(types));
        WriteRegString(kJunkKey, L"ScanDesc", FormatScanDesc(types));
        WriteRegString(kJunkKey, L"Drives", L"X");
        for (const wchar_t* box : {L"cbTemp", L"cbZeroLength", L"cbDays", L"cbConfirm"})
            WriteRegInteger(kJunkPosKey, box, 0);
        OpenKey(HKEY_CURRENT_USER, NormalizeKeyPath(kJunkFoldersKey), true);
        OpenKey(HKEY_CURRENT_USER, NormalizeKeyPath(kJunkExcludedKey), true);
    }
    void TearDown() override { SetProgramFolderOverride(L""); }
    std::wstring JunkLog() {
        auto log = FindLogFile(L"JunkLog.txt");
        return log ? ReadLogText(*log) : std::wstring();
    }
};

TEST_F(UnattendedJunk, RemovesWhatItFindsAndLogs) {
    std::wstring junk = drive.WriteFile(L"old\\left.tmp", "junk");
    std::wstring keep = drive.WriteFile(L"old\\keep.txt", "keep");
    RunScheduledTask(SchedTask::Junk);
    EXPECT_FALSE(FileExists(junk));
    EXPECT_TRUE(FileExists(keep));
    std::wstring log = JunkLog();
    EXPECT_NE(log.find(L"OPERATION START: "), std::wstring::npos);
    EXPECT_NE(log.find(L"left.tmp"), std::wstring::npos);
    EXPECT_NE(log.find(L"OPERATION COMPLETE: "), std::wstring::npos);
    EXPECT_EQ(log.find(L"Drives Already Clean"), std::wstring::npos);
    EXPECT_EQ(ReadCounter(L"JunkFiles"), 1u);
    EXPECT_TRUE(ReadDateTimeValue(TaskKey(SchedTask::Junk), L"LastRan"));
    EXPECT_EQ(dialogs.Count(), 0u);
}

TEST_F(UnattendedJunk, NothingToRemoveSaysSo) {
    std::wstring keep = drive.WriteFile(L"keep.txt", "keep");
    RunScheduledTask(SchedTask::Junk);
    EXPECT_TRUE(FileExists(keep));
    EXPECT_NE(JunkLog().find(L"  Drives Already Clean: No junk files found\r\n"), std::wstring::npos);
    EXPECT_TRUE(ReadDateTimeValue(TaskKey(SchedTask::Junk), L"LastRan"));
    // Without "LogEvents" neither log is written.
    ::DeleteFileW((folder.path() + L"JunkLog.txt").c_str());
    WriteRegBool(TaskKey(SchedTask::Junk), L"LogEvents", false);
    RunScheduledTask(SchedTask::Junk);
    EXPECT_FALSE(FindLogFile(L"JunkLog.txt"));
    EXPECT_FALSE(FindLogFile(L"Manual_Junk_Log.txt"));
}

// The registry run over the scratch user hive only.
TEST(UnattendedRegistry, RemovesAReferenceToAMissingFileAndLogs) {
    kestest::ScratchRegistry reg{true};
    kestest::ScratchFolder folder;
    ui::DialogScript dialogs;
    SetProgramFolderOverride(folder.path());
    WriteRegBool(kRegCleanKey, L"CU", true);
    for (const wchar_t* area : {L"US", L"LM", L"SD"}) WriteRegBool(kRegCleanKey, area, false);
    const std::wstring app = L"Software\\KestruneSample";
    WriteRegString(app, L"Tool", L"C:\\kestrune-missing-folder\\gone.exe");
    RunScheduledTask(SchedTask::Registry);
    RegKey k = OpenKey(HKEY_CURRENT_USER, app, false);
    EXPECT_FALSE(k && ValueExists(k.get(), L"Tool"));
    auto log = FindLogFile(L"RegistryLog.txt");
    ASSERT_TRUE(log);
    std::wstring text = ReadLogText(*log);
    EXPECT_NE(text.find(L"OPERATION START: "), std::wstring::npos);
    EXPECT_NE(text.find(L"NUMBER OF INVALID REFERENCES REMOVED: "), std::wstring::npos);
    EXPECT_TRUE(ReadDateTimeValue(TaskKey(SchedTask::Registry), L"LastRan"));
    EXPECT_EQ(dialogs.Count(), 0u);
    SetProgramFolderOverride(L"");
}

}  // namespace
