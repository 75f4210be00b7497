#include <gtest/gtest.h>
#include <algorithm>
#include <regex>
#include "core/paths.h"
#include "core/registry.h"
#include "tests/support/testenv.h"
#include "tools/regclean/regscan.h"
#include "tools/regclean/regundo.h"

using namespace kestest;

namespace {

std::wstring CurrentFolder() {
    wchar_t buf[MAX_PATH];
    DWORD n = ::GetCurrentDirectoryW(MAX_PATH, buf);
    return std::wstring(buf, n);
}

void SetText(const std::wstring& key, const std::wstring& name, const std::wstring& value, DWORD type = REG_SZ) {
    RegKey k = OpenKey(HKEY_CURRENT_USER, key, true);
    SetString(k.get(), name, value, type);
}

struct Found {
    std::wstring caption, name, data;
    bool operator<(const Found& o) const { return std::tie(caption, name) < std::tie(o.caption, o.name); }
    bool operator==(const Found& o) const { return caption == o.caption && name == o.name && data == o.data; }
};

std::vector<Found> Sorted(const std::vector<RegRow>& rows) {
    std::vector<Found> f;
    for (const RegRow& r : rows) f.push_back({r.caption, r.valueName, r.data});
    std::sort(f.begin(), f.end());
    return f;
}

}  // namespace

TEST(IsValidReference, JudgesOnlyPlainPathsOnFixedDrives) {
    ExtraDrive x(L'X'), cd(L'Y'), net(L'W'), floppy(L'V');
    x.WriteFile(L"app\\app.exe", "MZ");
    ::CreateDirectoryW(L"X:\\data.d", nullptr);
    std::wstring before = CurrentFolder();
    struct Case { const wchar_t* s; bool valid; } cases[] = {
        {L"", true}, {L"X:", true},
        {L"A:\\SETUP.EXE", true}, {L"b:\\gone\\x.exe", true},
        {L"%SystemRoot%\\x.dll", true},
        {L"X:\\Program Files\\Foo\\foo.exe", true},           // a blank: not judged
        {L"X:\\gone;X:\\other", true}, {L"X:\\a,b.exe", true},
        {L"X:gone.exe", true}, {L"X/gone/x.exe", true},
        {L"X:\\gone\\*.exe", true},                           // a mask is not a path
        {L"X:\\app\\app.exe", true}, {L"x:\\APP\\APP.EXE", true},
        {L"X:\\app\\gone.exe", false}, {L"X:\\oldapp\\app.exe", false},
        {L"X:\\app", true}, {L"X:\\app\\", true}, {L"X:\\oldapp", false}, {L"X:\\oldapp\\", false},
        {L"X:\\data.d", true},                                // a folder with a dot has readable attributes
        {L"Y:\\gone\\x.exe", true}, {L"W:\\gone\\x.exe", true}, {L"V:\\gone", true},
    };
    for (const Case& c : cases) EXPECT_EQ(IsValidReference(c.s), c.valid) << Narrow(c.s);
    EXPECT_EQ(CurrentFolder(), before);
}

TEST(RegScan, HelpersFormatAndParse) {
    struct Root { const wchar_t* path; const wchar_t* root; } roots[] = {
        {L"C:\\x\\y.dll", L"C:\\"}, {L"w:", L"w:\\"}, {L"\\\\srv\\share\\lib\\a.dll", L"\\\\srv\\share\\"},
        {L"\\\\srv", L""}, {L"lib\\a.dll", L""}};
    for (const Root& r : roots) EXPECT_EQ(DriveRootOf(r.path), r.root) << Narrow(r.path);

    std::wstring rootName, path;
    HKEY root = nullptr;
    ASSERT_TRUE(ParseRowCaption(L"HKEY_CURRENT_USER: \\Software\\Foo", rootName, path, root));
    EXPECT_EQ(root, HKEY_CURRENT_USER);
    EXPECT_EQ(path, L"\\Software\\Foo");
    ASSERT_TRUE(ParseRowCaption(L"HKEY_LOCAL_MACHINE: Software\\Foo", rootName, path, root));
    EXPECT_EQ(root, HKEY_LOCAL_MACHINE);
    EXPECT_EQ(rootName, L"HKEY_LOCAL_MACHINE");
    EXPECT_EQ(path, L"\\Software\\Foo");
    EXPECT_FALSE(ParseRowCaption(L"HKEY_NOWHERE: \\x", rootName, path, root));
    EXPECT_FALSE(ParseRowCaption(L"no colon", rootName, path, root));

    wchar_t ds[8] = L"/", ts[8] = L":";
    ::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDATE, ds, 8);
    ::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIME, ts, 8);
    struct Time { WORD h, m; const wchar_t* clock; } times[] = {
        {0, 7, L"12:07AM"}, {9, 30, L"09:30AM"}, {12, 0, L"12:00PM"}, {13, 45, L"01:45PM"}, {23, 59, L"11:59PM"}};
    for (const Time& t : times) {
        SYSTEMTIME st{2026, 3, 0, 5, t.h, t.m, 0, 0};
        FILETIME ft;
        ::SystemTimeToFileTime(&st, &ft);
        std::wstring clock = t.clock;
        clock.replace(2, 1, ts);
        EXPECT_EQ(FormatKeyTime(ft), std::wstring(L"03") + ds + L"05" + ds + L"2026 " + clock);
    }
}

TEST(RegScan, WalkReportsDeadNamesAndDataAndSkipsOtherTypes) {
    ExtraDrive x(L'X');
    x.WriteFile(L"app\\app.exe", "MZ");
    ScratchRegistry reg;
    SetText(L"", L"AtTheRoot", L"X:\\gone\\root.exe");   // values of the start key are not examined
    SetText(L"Software\\KT\\Live", L"ok", L"X:\\app\\app.exe");
    SetText(L"Software\\KT\\Live", L"text", L"just words");
    SetText(L"Software\\KT\\Dead", L"gone", L"X:\\oldapp\\app.exe");
    SetText(L"Software\\KT\\Dead", L"folder", L"X:\\nofolder", REG_EXPAND_SZ);
    SetText(L"Software\\KT\\Dead", L"X:\\dead\\name.exe", L"X:\\app\\app.exe");
    SetText(L"Software\\KT\\Deep\\Deeper\\Deepest", L"d", L"X:\\missing");
    {
        RegKey k = OpenKey(HKEY_CURRENT_USER, L"Software\\KT\\Live", true);
        SetDword(k.get(), L"X:\\dword\\gone.exe", 5);
        const char bin[] = "X:\\binary\\gone.exe";
        SetBinary(k.get(), L"bin", bin, sizeof bin);
    }
    RegistryWalker walker(HKEY_CURRENT_USER, L"HKEY_CURRENT_USER");
    std::vector<RegRow> rows;
    int analyzed = 0;
    walker.OnRow = [&](const RegRow& r) { rows.push_back(r); };
    walker.OnAnalyzing = [&](const std::wstring&) { ++analyzed; };
    ASSERT_TRUE(walker.ScanKeys(L""));
    std::vector<Found> expected = {
        {L"HKEY_CURRENT_USER: \\Software\\KT\\Dead", L"X:\\dead\\name.exe", L"X:\\app\\app.exe"},
        {L"HKEY_CURRENT_USER: \\Software\\KT\\Dead", L"folder", L"X:\\nofolder"},
        {L"HKEY_CURRENT_USER: \\Software\\KT\\Dead", L"gone", L"X:\\oldapp\\app.exe"},
        {L"HKEY_CURRENT_USER: \\Software\\KT\\Deep\\Deeper\\Deepest", L"d", L"X:\\missing"},
    };
    EXPECT_EQ(Sorted(rows), expected);
    EXPECT_EQ(analyzed, 6);   // the string values only
    std::wregex time(L"\\d\\d.\\d\\d.\\d{4} \\d\\d.\\d\\d(AM|PM)");
    for (const RegRow& r : rows) {
        EXPECT_EQ(r.image, kImgKeyRow);
        EXPECT_TRUE(std::regex_match(r.modified, time)) << Narrow(r.modified);
    }
}

TEST(RegScan, WalkBelowSoftwareAndStop) {
    ExtraDrive x(L'X');
    ScratchRegistry reg(true);
    {
        RegKey k = OpenKey(HKEY_LOCAL_MACHINE, L"Software\\KT\\A", true);
        SetString(k.get(), L"a1", L"X:\\gone\\a1.exe");
        SetString(k.get(), L"a2", L"X:\\gone\\a2.exe");
        RegKey b = OpenKey(HKEY_LOCAL_MACHINE, L"Software\\KT\\B", true);
        SetString(b.get(), L"b1", L"X:\\gone\\b1.exe");
    }
    RegistryWalker walker(HKEY_LOCAL_MACHINE, L"HKEY_LOCAL_MACHINE");
    std::vector<RegRow> rows;
    walker.OnRow = [&](const RegRow& r) { rows.push_back(r); };
    ASSERT_TRUE(walker.ScanKeys(L"\\Software"));
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].caption.rfind(L"HKEY_LOCAL_MACHINE: Software\\KT\\", 0), 0u);

    // A stop asked for at the first examined value ends the walk there.
    rows.clear();
    int analyzed = 0;
    walker.OnAnalyzing = [&](const std::wstring&) { ++analyzed; };
    walker.StopRequested = [&] { return analyzed > 0; };
    ASSERT_TRUE(walker.ScanKeys(L"Software"));
    EXPECT_EQ(analyzed, 1);
    EXPECT_TRUE(rows.empty());

    EXPECT_FALSE(walker.ScanKeys(L"Software\\NoSuchKey"));
}

TEST(RegScan, SharedDllsWithAndWithoutExclude) {
    ExtraDrive x(L'X'), cd(L'Y'), net(L'W');
    x.WriteFile(L"lib\\present.dll", "MZ");
    ScratchRegistry reg(true);
    {
        RegKey k = OpenKey(HKEY_LOCAL_MACHINE, kSharedDllKey, true);
        for (const wchar_t* name : {L"X:\\lib\\present.dll", L"X:\\lib\\gone.dll", L"X:\\lib", L"W:\\net\\gone.dll",
                                    L"Y:\\cd\\gone.dll"})
            SetDword(k.get(), name, 1);
    }
    auto scan = [](bool exclude) {
        RegistryWalker walker(HKEY_LOCAL_MACHINE, L"HKEY_LOCAL_MACHINE");
        std::vector<RegRow> rows;
        walker.OnRow = [&](const RegRow& r) { rows.push_back(r); };
        EXPECT_TRUE(walker.DoAnalyzeDLLs(std::wstring(L"\\") + kSharedDllKey, exclude));
        std::vector<std::wstring> names;
        for (const RegRow& r : rows) {
            EXPECT_EQ(r.caption, std::wstring(L"HKEY_LOCAL_MACHINE: ") + kSharedDllKey);
            EXPECT_EQ(r.image, kImgDllRow);
            EXPECT_EQ(r.data, r.valueName);
            names.push_back(r.valueName);
        }
        std::sort(names.begin(), names.end());
        return names;
    };
    EXPECT_EQ(scan(true), (std::vector<std::wstring>{L"X:\\lib", L"X:\\lib\\gone.dll"}));
    EXPECT_EQ(scan(false), (std::vector<std::wstring>{L"W:\\net\\gone.dll", L"X:\\lib", L"X:\\lib\\gone.dll",
                                                      L"Y:\\cd\\gone.dll"}));
}

TEST(RegScan, RemoveRowSavesBeforeDeletingAndReportsFailures) {
    ScratchRegistry reg;
    ScratchFolder dir;
    SetText(L"Software\\KT\\Dead", L"gone", L"X:\\oldapp\\app.exe");
    SetText(L"Software\\KT\\Dead", L"kept", L"X:\\oldapp\\kept.exe");
    RegRow row{L"HKEY_CURRENT_USER: \\Software\\KT\\Dead", kImgKeyRow, L"", L"gone", L""};
    RegUndoFile undo(dir / L"Registry Backup");
    std::wstring error;
    EXPECT_EQ(RemoveRowValue(row, undo, error), RemoveResult::Removed);
    RegKey k = OpenKey(HKEY_CURRENT_USER, L"Software\\KT\\Dead", false);
    EXPECT_FALSE(ValueExists(k.get(), L"gone"));
    ASSERT_TRUE(undo.Created());
    std::string bytes = ReadTextFile(undo.Path());
    std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
    EXPECT_NE(text.find(L"[HKEY_CURRENT_USER\\Software\\KT\\Dead]\r\n\"gone\"=\"X:\\\\oldapp\\\\app.exe\"\r\n"),
              std::wstring::npos);

    EXPECT_EQ(RemoveRowValue(row, undo, error), RemoveResult::ValueMissing);
    RegRow noKey{L"HKEY_CURRENT_USER: \\Software\\KT\\Nowhere", kImgKeyRow, L"", L"gone", L""};
    EXPECT_EQ(RemoveRowValue(noKey, undo, error), RemoveResult::KeyMissing);
    EXPECT_EQ(error, L"Error opening registry key \\Software\\KT\\Nowhere");

    // An undo file that cannot be written keeps the value.
    dir.WriteFile(L"blocked", "a file where the folder should be");
    RegUndoFile blocked(dir / L"blocked");
    RegRow kept{L"HKEY_CURRENT_USER: \\Software\\KT\\Dead", kImgKeyRow, L"", L"kept", L""};
    EXPECT_EQ(RemoveRowValue(kept, blocked, error), RemoveResult::NotSaved);
    EXPECT_TRUE(ValueExists(k.get(), L"kept"));
}
