#include <gtest/gtest.h>
#include "core/app.h"
#include "core/common.h"
#include "core/completecache.h"
#include "core/errors.h"
#include "core/paths.h"
#include "core/registry.h"
#include "tests/support/testenv.h"
#include "ui/dialogs.h"

using namespace kestest;

TEST(Dispatch, FirstArgumentOnlyUpperCasedAndExact) {
    struct { std::vector<std::wstring> args; AppMode mode; } cases[] = {
        {{}, AppMode::Navigator},
        {{L"/COMPLETECACHE"}, AppMode::CompleteCache},
        {{L"/completecache"}, AppMode::CompleteCache},
        {{L"/CompleteCache"}, AppMode::CompleteCache},
        {{L"/CleanJunk", L"/REGISTRYCLEAN", L"extra"}, AppMode::CleanJunk},
        {{L"/cleanhistory"}, AppMode::CleanHistory},
        {{L"/RegistryClean"}, AppMode::RegistryClean},
        {{L"/setschedule"}, AppMode::SetSchedule},
        {{L"/SCAN"}, AppMode::Unknown},
        {{L"/CLEANJUNK2"}, AppMode::Unknown},
        {{L"CLEANJUNK"}, AppMode::Unknown},
        {{L""}, AppMode::Unknown},
        {{L"x", L"/CLEANJUNK"}, AppMode::Unknown},
    };
    for (const auto& c : cases) EXPECT_EQ(ModeFromArguments(c.args), c.mode) << Narrow(c.args.empty() ? L"" : c.args[0]);
}

TEST(Files, ValidFileNameNamesTheNineCharacters) {
    ui::DialogScript dialogs;
    EXPECT_TRUE(IsValidFileName(L"My Program 2", L"Label"));
    EXPECT_EQ(dialogs.Count(), 0u);
    EXPECT_FALSE(IsValidFileName(L"a/b", L"You may not use the following characters in this type of entry's description"));
    EXPECT_FALSE(IsValidFileName(L"say \"hi\"", L"L"));
    ASSERT_EQ(dialogs.Count(), 2u);
    EXPECT_EQ(dialogs.Seen()[0].text,
              L"You may not use the following characters in this type of entry's description: \\ / : * ? \" < > |");
}

TEST(Files, FolderEmptyAndInUse) {
    ScratchFolder dir;
    std::wstring empty = dir.MakeDir(L"empty");
    EXPECT_TRUE(IsFolderEmpty(empty));
    dir.WriteFile(L"full\\a.txt", "x");
    EXPECT_FALSE(IsFolderEmpty(dir.path() + L"full\\"));
    EXPECT_TRUE(IsFolderEmpty(dir.path() + L"missing\\"));

    std::wstring f = dir.WriteFile(L"locked.txt", "x");
    EXPECT_FALSE(IsFileInUse(f));
    {
        UniqueHandle h(::CreateFileW(f.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(h.valid());
        EXPECT_TRUE(IsFileInUse(f));
    }
    ::SetFileAttributesW(f.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(IsFileInUse(f));
    EXPECT_TRUE(IsFileInUse(dir.path() + L"missing.txt"));
}

TEST(Files, LastAccessDateIsReadAndLeftAsItWas) {
    ScratchFolder dir;
    std::wstring f = dir.WriteFile(L"a.txt", "x");
    {
        UniqueHandle h(::CreateFileW(f.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        SYSTEMTIME st{2001, 5, 4, 17, 14, 3, 0, 0};
        FILETIME ft;
        ::SystemTimeToFileTime(&st, &ft);
        ::SetFileTime(h.get(), nullptr, &ft, nullptr);
    }
    double d = GetLastAccessDate(f);
    EXPECT_GT(d, 37027.0);   // 17 May 2001 (local time may shift it by hours)
    EXPECT_LT(d, 37029.0);
    EXPECT_DOUBLE_EQ(GetLastAccessDate(f), d);
    EXPECT_EQ(GetLastAccessDate(dir.path() + L"missing"), 0.0);
}

TEST(DateTime, EncodingMatchesTheDayCount) {
    SYSTEMTIME st{1899, 12, 0, 30, 0, 0, 0, 0};
    EXPECT_DOUBLE_EQ(SystemTimeToDateTime(st), 0.0);
    SYSTEMTIME noon{2000, 1, 0, 1, 12, 0, 0, 0};
    EXPECT_DOUBLE_EQ(SystemTimeToDateTime(noon), 36526.5);
    SYSTEMTIME back = DateTimeToSystemTime(36526.5);
    EXPECT_EQ(back.wYear, 2000);
    EXPECT_EQ(back.wHour, 12);
    EXPECT_EQ(back.wMinute, 0);
}

TEST(Environment, ExpandsOrLeavesUnchanged) {
    ::SetEnvironmentVariableW(L"KES_TEST_VAR", L"value");
    EXPECT_EQ(ExpandEnvironment(L"a%KES_TEST_VAR%b"), L"avalueb");
    std::wstring longText(300, L'x');
    EXPECT_EQ(ExpandEnvironment(longText), longText);
    EXPECT_EQ(GetTempFolder().back(), L'\\');
    EXPECT_NE(GetWindowsFolder().back(), L'\\');
}

TEST(Safety, FoldersThatMayBeEmptied) {
    ScratchFolder dir;
    struct { std::wstring folder; bool ok; } cases[] = {
        {dir.path() + L"cache", true},
        {dir.path() + L"cache\\", true},
        {L"C:\\", false},
        {L"C:", false},
        {L"X:\\", false},
        {L"", false},
        {L"   ", false},
        {L"cache", false},
        {L"\\cache", false},
        {L"..\\cache", false},
        {dir.path() + L"a\\..\\..", false},
        {dir.path() + L"*", false},
        {dir.path() + L"ca?he", false},
        {GetWindowsFolder(), false},
        {GetWindowsFolder() + L"\\", false},
        {GetSystemFolder(), false},
        {L"C:\\users", false},
        {L"C:\\users\\someone", false},
        {L"\\\\server\\share", false},
        {L"C:\\Program Files", false},
        {ExcludeTrailingBackslash(ProgramFolder()), false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsSafeFolderToEmpty(c.folder), c.ok) << Narrow(c.folder);
}

TEST(Safety, DeleteFolderContentsEmptiesOnlyTheFolder) {
    ScratchFolder dir;
    dir.WriteFile(L"cache\\a.txt", "x");
    dir.WriteFile(L"cache\\noext", "x");
    dir.WriteFile(L"cache\\sub\\b.dat", "x");
    dir.WriteFile(L"keep.txt", "x");
    EXPECT_FALSE(DeleteFolderContents(dir.path() + L"missing", false));
    EXPECT_TRUE(DeleteFolderContents(dir.path() + L"cache", false));
    EXPECT_TRUE(DirectoryExists(dir.path() + L"cache"));
    EXPECT_TRUE(IsFolderEmpty(dir.path() + L"cache\\"));
    EXPECT_TRUE(FileExists(dir.path() + L"keep.txt"));
    EXPECT_FALSE(DeleteFolderContents(L"C:\\", false));
    EXPECT_FALSE(DeleteFolderContents(dir.path() + L"*", false));
}

TEST(CompleteCache, EmptiesRecordedFoldersAndDropsEveryRecord) {
    ScratchRegistry reg;
    ScratchFolder dir;
    dir.WriteFile(L"hist\\h1.dat", "x");
    dir.WriteFile(L"cook\\c1.txt", "x");
    std::wstring windowsFile = GetWindowsFolder() + L"\\win.ini";
    WriteRegString(kPrivacyKey, L"History", dir.path() + L"hist");
    WriteRegString(kPrivacyKey, L"Cache", GetWindowsFolder());   // never emptied
    WriteRegString(kPrivacyKey, L"Cookies", dir.path() + L"gone");
    std::vector<std::wstring> steps;
    CompletePendingFolders([&](const std::wstring& s) { steps.push_back(s); });
    EXPECT_EQ(steps, (std::vector<std::wstring>{L"Cleaning up cookies...", L"Cleaning up cache...",
                                                L"Cleaning up history..."}));
    EXPECT_TRUE(IsFolderEmpty(dir.path() + L"hist\\"));
    EXPECT_TRUE(FileExists(dir.path() + L"cook\\c1.txt"));
    EXPECT_TRUE(FileExists(windowsFile));
    RegKey k = OpenKey(HKEY_CURRENT_USER, kPrivacyKey, false);
    ASSERT_TRUE(k);
    EXPECT_TRUE(EnumValueNames(k.get()).empty());
}

TEST(CompleteCache, NoRecordCreatesTheKeyAndAWrongTypeFails) {
    ScratchRegistry reg;
    int steps = 0;
    CompletePendingFolders([&](const std::wstring&) { ++steps; });
    EXPECT_EQ(steps, 0);
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kPrivacyKey));
    RegKey k = OpenKey(HKEY_CURRENT_USER, kPrivacyKey, true);
    SetDword(k.get(), L"Cache", 5);
    EXPECT_THROW(CompletePendingFolders(nullptr), KesError);
}
