#include <gtest/gtest.h>
#include <map>
#include "core/common.h"
#include "core/paths.h"
#include "core/registry.h"
#include "tests/eraser/fake_system.h"
#include "tests/support/testenv.h"
#include "tools/eraser/Traces.h"

using namespace kestest;

namespace {
void SetNetscape(const std::wstring& version, const std::wstring* installDirectory) {
    RegKey nav = OpenKey(HKEY_LOCAL_MACHINE, L"Software\\Netscape\\Netscape Navigator", true);
    SetString(nav.get(), L"CurrentVersion", version);
    if (installDirectory) {
        RegKey main = OpenKey(HKEY_LOCAL_MACHINE, L"Software\\Netscape\\Netscape Navigator\\" + version + L"\\Main", true);
        SetString(main.get(), L"Install Directory", *installDirectory);
    }
}
}  // namespace

TEST(Traces, ShellFolderValuesLoseOneTrailingBackslash) {
    ScratchRegistry reg;
    EXPECT_FALSE(ShellFolder(L"Cookies"));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kShellFoldersKey));   // created by the lookup
    RegKey k = OpenKey(HKEY_CURRENT_USER, kShellFoldersKey, true);
    SetString(k.get(), L"Cookies", L"C:\\WINDOWS\\Cookies\\");
    SetString(k.get(), L"History", L"C:\\WINDOWS\\History\\\\");
    SetString(k.get(), L"Cache", L"C:\\WINDOWS\\Temporary Internet Files");
    SetString(k.get(), L"Recent", L"C:\\WINDOWS\\Recent\\");
    EXPECT_EQ(ShellFolder(L"Cookies").value_or(L"?"), L"C:\\WINDOWS\\Cookies");
    EXPECT_EQ(ShellFolder(L"History").value_or(L"?"), L"C:\\WINDOWS\\History\\");
    EXPECT_EQ(ShellFolder(L"Cache").value_or(L"?"), L"C:\\WINDOWS\\Temporary Internet Files");
    EXPECT_EQ(RecentFolderValue().value_or(L"?"), L"C:\\WINDOWS\\Recent\\");
}

TEST(Traces, NetscapeFolderRules) {
    EXPECT_EQ(NetscapeFolderFromInstallDirectory(L"C:\\Program Files\\Netscape\\Communicator"),
              L"C:\\Program Files\\Netscape\\");
    EXPECT_EQ(NetscapeFolderFromInstallDirectory(L"C:\\Program Files\\Netscape\\Communicator\\"),
              L"C:\\Program Files\\Netscape\\Communicator\\");

    ScratchRegistry reg(true);
    ScratchFolder dir;
    EXPECT_FALSE(ResolveNetscapeFolder());                   // not installed
    SetNetscape(L"4.7 (en)", nullptr);
    EXPECT_FALSE(ResolveNetscapeFolder());                   // no "Main" for the version
    std::wstring install = dir / L"Netscape\\Communicator";
    SetNetscape(L"4.7 (en)", &install);
    EXPECT_EQ(ResolveNetscapeFolder().value_or(L"?"), dir / L"Netscape\\");
    install += L"\\";
    SetNetscape(L"4.7 (en)", &install);
    EXPECT_EQ(ResolveNetscapeFolder().value_or(L"?"), dir / L"Netscape\\Communicator\\");
    // A drive root or the Windows folder would have whole drives searched and emptied.
    for (std::wstring bad : {std::wstring(L"C:\\Netscape"), GetWindowsFolder() + L"\\x", std::wstring(L"Netscape\\")}) {
        SetNetscape(L"4.7 (en)", &bad);
        EXPECT_FALSE(ResolveNetscapeFolder()) << bad;
    }
}

TEST(Traces, AmericaOnlineCacheFolder) {
    EXPECT_EQ(AolCacheFromAppPath(L"C:\\AOL\\"), L"C:\\AOL\\Cache");
    EXPECT_EQ(AolCacheFromAppPath(L"C:\\AOL"), L"C:\\AOL\\Cache");
    ScratchRegistry reg(true);
    EXPECT_FALSE(ResolveAolCacheFolder());
    RegKey k = OpenKey(HKEY_LOCAL_MACHINE, L"SOFTWARE\\America Online\\AOL\\CurrentVersion", true);
    EXPECT_FALSE(ResolveAolCacheFolder());
    SetString(k.get(), L"AppPath", L"D:\\AOL 5.0");
    EXPECT_EQ(ResolveAolCacheFolder().value_or(L"?"), L"D:\\AOL 5.0\\Cache");
}

TEST(Traces, NumberedHistoryFolders) {
    auto names = NumberedHistoryFolders(L"C:\\H");
    ASSERT_EQ(names.size(), 60u);
    EXPECT_EQ(names[0], L"C:\\H\\MSHIST~1");
    EXPECT_EQ(names[9], L"C:\\H\\MSHIS~10");
    EXPECT_EQ(names[29], L"C:\\H\\MSHIS~30");
    EXPECT_EQ(names[30], L"C:\\H\\History.ie5\\MSHIST~1");
    EXPECT_EQ(names[59], L"C:\\H\\History.ie5\\MSHIS~30");
}

TEST(Traces, FreeSpaceCountsFixedDrivesCToYInSixtyFourBits) {
    std::map<wchar_t, int64_t> free{{L'C', 3'000'000'000LL}, {L'D', 2'500'000'000LL}, {L'E', 7}, {L'Z', 99}};
    std::map<wchar_t, UINT> types{{L'C', DRIVE_FIXED}, {L'D', DRIVE_FIXED}, {L'E', DRIVE_CDROM}, {L'F', DRIVE_FIXED},
                                  {L'Z', DRIVE_FIXED}};
    DriveQuery q;
    q.driveType = [&](const std::wstring& root) { return types.count(root[0]) ? types[root[0]] : DRIVE_NO_ROOT_DIR; };
    q.freeSpace = [&](const std::wstring& root, int64_t& bytes) {
        if (!free.count(root[0])) return false;   // F: fails
        bytes = free[root[0]];
        return true;
    };
    FreeSpaceSnapshot start = FixedDrivesFreeSpace(q);
    EXPECT_EQ(start.Total(), 5'500'000'000LL);

    free[L'C'] += 2'048'000;
    free[L'F'] = 1'000'000'000;   // F: answers now: its space was not recovered by anyone
    FreeSpaceSnapshot now = FixedDrivesFreeSpace(q);
    EXPECT_EQ(RecoveredSpace(start, now), 2'048'000);
    free[L'D'] -= 5'000'000;
    EXPECT_EQ(RecoveredSpace(start, FixedDrivesFreeSpace(q)), 2'048'000 - 5'000'000);
    EXPECT_EQ(RecoveredSpace(FreeSpaceSnapshot{}, now), 0);   // no run yet

    // The system's own figures: C: of the test prefix is a fixed drive with some room.
    FreeSpaceSnapshot real = FixedDrivesFreeSpace();
    EXPECT_TRUE(real.taken && real.drives[0] && *real.drives[0] > 0);

    // A machine whose only fixed drive is Z: measures nothing.
    types = {{L'Z', DRIVE_FIXED}};
    EXPECT_EQ(FixedDrivesFreeSpace(q).Total(), 0);
}

TEST(Traces, SpaceRecoveredTexts) {
    EXPECT_EQ(SpaceRecoveredText(2'048'000), L"Space recovered: 2,048,000 bytes (2.00 megabytes.)");
    EXPECT_EQ(SpaceRecoveredText(0), L"Space recovered: 0.00 bytes (0.00 megabytes.)");
    EXPECT_EQ(SpaceRecoveredText(-4096), L"Space recovered: 0.00 bytes (0.00 megabytes.)");
    EXPECT_EQ(SpaceRecoveredText(3'000'000'000LL), L"Space recovered: 3,000,000,000 bytes (2,929.69 megabytes.)");
}

TEST(Traces, WriteBatchRecordsTheFolderAndAQuotedRunOnceCommand) {
    ScratchRegistry reg(true);
    ScratchFolder dir, program;
    SetProgramFolderOverride(program.path());
    EXPECT_TRUE(WriteBatch(L"Cookies", dir / L"Cookies\\"));
    EXPECT_FALSE(WriteBatch(L"Cache", L"C:\\"));
    EXPECT_FALSE(WriteBatch(L"History", GetWindowsFolder()));
    SetProgramFolderOverride(L"");

    RegKey privacy = OpenKey(HKEY_CURRENT_USER, kEraserPrivacyKey, false);
    ASSERT_TRUE(privacy);
    EXPECT_EQ(GetString(privacy.get(), L"Cookies").value_or(L"?"), dir / L"Cookies");
    EXPECT_FALSE(ValueExists(privacy.get(), L"Cache"));
    EXPECT_FALSE(ValueExists(privacy.get(), L"History"));
    RegKey runOnce = OpenKey(IsAdministrator() ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, kRunOnceKey, false);
    ASSERT_TRUE(runOnce);
    EXPECT_EQ(GetString(runOnce.get(), kRunOnceValue).value_or(L"?"),
              L"\"" + program.path() + L"Kestrune.exe\" /CompleteCache");
}

TEST(Traces, HistoryPurgeMovesTheClockADayAndRestoresItWithTheTimeThatPassed) {
    ScratchRegistry reg;
    FakeSystem sys;
    PurgeHistoryByBrowser(sys);
    // 14th 10:00:00 -> 15th; back to the 14th, 3.1 s later (1.1 s browser, 2 s wait).
    EXPECT_EQ(sys.steps, (std::vector<std::wstring>{L"get", L"set 15 10:0:0", L"browser", L"wait 2000",
                                                   L"set 14 10:0:3"}));
    RegKey history = OpenKey(HKEY_CURRENT_USER, std::wstring(kInternetSettingsKey) + L"\\History", false);
    RegKey cache = OpenKey(HKEY_CURRENT_USER, std::wstring(kInternetSettingsKey) + L"\\Cache", false);
    ASSERT_TRUE(history && cache);
    EXPECT_EQ(GetDword(history.get(), L"DaysToKeep").value_or(9), 0u);
    EXPECT_EQ(GetDword(cache.get(), L"Persistent").value_or(9), 0u);
}

TEST(Traces, RefusedClockIsNeverSetBackAndBrowserFailureStillRestores) {
    ScratchRegistry reg;
    FakeSystem lastDay;
    lastDay.clock.wDay = 31;   // March 32nd does not exist
    PurgeHistoryByBrowser(lastDay);
    EXPECT_EQ(lastDay.steps, (std::vector<std::wstring>{L"get", L"set refused", L"browser", L"wait 2000"}));
    EXPECT_EQ(lastDay.clock.wDay, 31);

    FakeSystem broken;
    broken.browserWorks = false;
    PurgeHistoryByBrowser(broken);
    EXPECT_EQ(broken.steps.back(), L"set 14 10:0:3");

    FakeSystem cache;
    PurgeCacheByBrowser(cache);
    EXPECT_EQ(cache.steps, std::vector<std::wstring>{L"browser"});
}
