// The scheduled switches of Kestrune.exe, run as a process. A child process does not see the
// scratch registry, so these tests use the product key of the private test prefix, and only
// when it does not exist yet; they remove it and their log afterwards.
#include <gtest/gtest.h>
#include "core/registry.h"
#include "sched/schedule.h"
#include "tests/support/testenv.h"
#include "tools/junk/junkrules.h"

namespace {

class CommandLine : public ::testing::Test {
protected:
    std::wstring exe = kestest::ProductBinFolder() + kProgramExeName;
    std::wstring log = kestest::ProductBinFolder() + L"JunkLog.txt";
    void SetUp() override {
        if (KeyExists(HKEY_CURRENT_USER, kProductKey)) GTEST_SKIP() << "the prefix has a product key of its own";
        ::DeleteFileW(log.c_str());
    }
    void TearDown() override {
        DeleteKeyTree(HKEY_CURRENT_USER, kProductKey);
        ::DeleteFileW(log.c_str());
    }
};

TEST_F(CommandLine, CleanJunkRunsTheTaskAndEnds) {
    kestest::ExtraDrive drive{L'X'};
    std::wstring junk = drive.WriteFile(L"left.tmp", "junk");
    std::vector<ScanTypeRow> types{{L"*.tmp", L"Temporary files", true}};
    WriteRegString(kJunkKey, L"ScanFor", FormatScanFor(types));
    WriteRegString(kJunkKey, L"ScanDesc", FormatScanDesc(types));
    WriteRegString(kJunkKey, L"Drives", L"X");
    for (const wchar_t* box : {L"cbTemp", L"cbZeroLength", L"cbDays", L"cbConfirm"}) WriteRegInteger(kJunkPosKey, box, 0);
    OpenKey(HKEY_CURRENT_USER, NormalizeKeyPath(kJunkFoldersKey), true);
    OpenKey(HKEY_CURRENT_USER, NormalizeKeyPath(kJunkExcludedKey), true);
    WriteRegInteger(TaskKey(SchedTask::Junk), L"ShowProgress", 0);

    EXPECT_EQ(kestest::RunProgram(exe, L"/cleanjunk ignored-argument"), 0);
    EXPECT_EQ(::GetFileAttributesW(junk.c_str()), INVALID_FILE_ATTRIBUTES);
    std::string text = kestest::ReadTextFile(log);
    EXPECT_NE(text.find("OPERATION START: "), std::string::npos);
    EXPECT_NE(text.find("left.tmp"), std::string::npos);
    EXPECT_TRUE(ReadDateTimeValue(TaskKey(SchedTask::Junk), L"LastRan"));
}

TEST_F(CommandLine, SetScheduleShowsTheWindowUntilClosed) {
    std::wstring cmd = QuotedPath(exe) + L" /SetSchedule";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(::CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    UniqueHandle process(pi.hProcess), thread(pi.hThread);
    HWND window = nullptr;
    EXPECT_TRUE(kestest::PumpUntil([&] {
        HWND w = nullptr;
        while ((w = ::FindWindowExW(nullptr, w, nullptr, kSchedWindowTitle)) != nullptr) {
            DWORD pid = 0;
            ::GetWindowThreadProcessId(w, &pid);
            if (pid == pi.dwProcessId && ::IsWindowVisible(w)) {
                window = w;
                return true;
            }
        }
        return false;
    }, 20000));
    if (window) ::PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(::WaitForSingleObject(process.get(), 20000), WAIT_OBJECT_0);
    DWORD code = 99;
    ::GetExitCodeProcess(process.get(), &code);
    EXPECT_EQ(code, 0u);
}

}  // namespace
