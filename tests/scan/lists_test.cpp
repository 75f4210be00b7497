#include <gtest/gtest.h>
#include "core/logs.h"
#include "core/paths.h"
#include "scan/DiskList.h"
#include "scan/FileList.h"
#include "tests/support/testenv.h"
#include "ui/ui.h"

using namespace kestest;

TEST(DiskList, LetterOfCaption) {
    struct { const wchar_t* caption; wchar_t letter; } cases[] = {
        {L"Local Disk (C:)", L'C'}, {L" (d:)", L'D'}, {L"SYSTEM (C:)", L'C'}, {L"No letter", 0},
        {L"Half (C", 0},            {L"Odd:) (E:)", L'E'}, {L"", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(DriveLetterOfCaption(c.caption), c.letter) << Narrow(c.caption);
}

TEST(DiskList, RefreshSelectsFixedDrivesAndReturnsLettersInRowOrder) {
    ExtraDrive x(L'X'), y(L'Y');
    ui::Form form(L"drives", 300, 200);
    TDiskListView drives(form, 0, 0, 300, 200);
    drives.RefreshDrives();
    int rowX = -1, rowY = -1;
    for (int i = 0; i < drives.Count(); ++i) {
        wchar_t c = DriveLetterOfCaption(drives.ItemText(i));
        if (c == L'X') rowX = i;
        if (c == L'Y') rowY = i;
        EXPECT_EQ(drives.Selected(i), drives.RowDriveType(i) == DRIVE_FIXED) << Narrow(drives.ItemText(i));
    }
    ASSERT_GE(rowX, 0);
    ASSERT_GE(rowY, 0);
    EXPECT_EQ(drives.ItemText(rowX), L"KESTEST-X (X:)");
    EXPECT_EQ(drives.RowDriveType(rowY), static_cast<UINT>(DRIVE_CDROM));

    drives.SelectAll(false);
    EXPECT_EQ(drives.GetSelectedDrives(), L"");
    drives.SetSelected(rowY, true);
    drives.SetSelected(rowX, true);
    EXPECT_EQ(drives.GetSelectedDrives(), L"XY");

    drives.SelectLocalDrives = false;
    drives.RefreshDrives();
    EXPECT_EQ(drives.SelectedCount(), 0);
    // A selected row without the "(X:)" ending gives no letter.
    int odd = drives.AddItem(L"Network place");
    drives.SetSelected(odd, true);
    EXPECT_EQ(drives.GetSelectedDrives(), L"");
}

TEST(FileList, AttributeText) {
    EXPECT_EQ(AttributeText(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN), L"RH  ");
    EXPECT_EQ(AttributeText(FILE_ATTRIBUTE_ARCHIVE), L"   A");
    EXPECT_EQ(AttributeText(FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY), L"  S ");
    EXPECT_EQ(LowerAsciiLetters(L"C:\\TEMP\\OLD.BAK"), L"c:\\temp\\old.bak");
}

TEST(FileList, RowColumnsAttributesAndVersions) {
    ScratchFolder dir;
    ui::Form form(L"files", 600, 300);
    TFileListView lv(form, 0, 0, 600, 300);
    ASSERT_EQ(lv.ColumnCount(), 7);
    EXPECT_EQ(lv.ColumnCaption(3), L"Modified");
    // Creating a file list sets the process's formats.
    SYSTEMTIME st{2001, 5, 4, 17, 14, 3, 27, 0};
    EXPECT_EQ(FormatTimestamp(st), L"2001/05/17 14:03");

    std::wstring ro = dir.WriteFile(L"TEMP\\OLD.BAK", "12345");
    ::SetFileAttributesW(ro.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    std::wstring ar = dir.WriteFile(L"Arch.txt", "");
    ::SetFileAttributesW(ar.c_str(), FILE_ATTRIBUTE_ARCHIVE);
    int32_t size = -1;
    ASSERT_TRUE(lv.AddFile(ro, size));
    EXPECT_EQ(size, 5);
    ASSERT_TRUE(lv.AddFile(ar));
    EXPECT_FALSE(lv.AddFile(dir / L"missing.txt", size));
    EXPECT_FALSE(lv.AddFile(dir / L"*.txt", size));
    ASSERT_EQ(lv.Count(), 2);

    EXPECT_EQ(lv.ItemText(0, 0), LowerAsciiLetters(ro));
    EXPECT_NE(lv.ItemText(0, 0).find(L"\\temp\\old.bak"), std::wstring::npos);
    EXPECT_EQ(lv.ItemText(0, 1), L"5");
    EXPECT_FALSE(lv.ItemText(0, 2).empty());
    double t = 0;
    EXPECT_TRUE(ParseListTime(lv.ItemText(0, 3), t)) << Narrow(lv.ItemText(0, 3));
    // Wine reports every file as archived, so only the first three places are certain there.
    EXPECT_EQ(lv.ItemText(0, 4).substr(0, 3), L"RH ");
    EXPECT_EQ(lv.ItemText(1, 4), L"   A");
    EXPECT_EQ(lv.ItemText(0, 5), L"");
    ::SetFileAttributesW(ro.c_str(), FILE_ATTRIBUTE_NORMAL);

    std::wstring exe = TestBinFolder() + L"fixtures\\fixture_verinfo.exe";
    ASSERT_TRUE(lv.AddFile(exe));
    EXPECT_EQ(lv.ItemText(2, 5), L"1.2.3.4");
    EXPECT_EQ(lv.ItemText(2, 6), L"5.6 beta");
}

TEST(FileList, HeadingClicksSortBothWays) {
    ScratchFolder dir;
    ui::Form form(L"files", 600, 300);
    TFileListView lv(form, 0, 0, 600, 300);
    lv.AddFile(dir.WriteFile(L"b.txt", std::string(10, 'x')));
    lv.AddFile(dir.WriteFile(L"a.txt", std::string(9, 'x')));
    lv.AddFile(dir.WriteFile(L"c.txt", std::string(100, 'x')));
    auto sizes = [&] {
        std::wstring s;
        for (int i = 0; i < lv.Count(); ++i) s += lv.ItemText(i, 1) + L" ";
        return s;
    };
    EXPECT_EQ(sizes(), L"10 9 100 ");   // insertion order until a heading is clicked
    lv.OnColumnClick(1);
    EXPECT_EQ(sizes(), L"9 10 100 ");
    lv.OnColumnClick(1);
    EXPECT_EQ(sizes(), L"100 10 9 ");
    lv.OnColumnClick(0);
    EXPECT_EQ(ExtractFileName(lv.ItemText(0)), L"a.txt");

    struct { int column; const wchar_t* a; const wchar_t* b; int sign; } cmp[] = {
        {1, L"9", L"10", -1}, {1, L"x", L"0", 0}, {1, L"-5", L"3", -1},
        {3, L"2001/05/17 14:03", L"2001/05/17 14:04", -1}, {3, L"2001/05/17", L"2001/05/16 23:59", 1},
        {3, L"2001/05/17", L"2001/05/17 00:00", 0}, {0, L"ABC", L"abc", 0}, {2, L"b", L"A", 1},
    };
    for (const auto& c : cmp) {
        int r = CompareFileRows(c.column, c.a, c.b);
        EXPECT_EQ((r > 0) - (r < 0), c.sign) << c.column << " " << Narrow(c.a) << " " << Narrow(c.b);
    }
}

TEST(FileList, DeferredRowsAskForTheirDetailsOnce) {
    ui::Form form(L"files", 600, 300);
    TFileListView lv(form, 0, 0, 600, 300);
    std::wstring exe = TestBinFolder() + L"fixtures\\fixture_verinfo.exe";
    TFileListView::FoundFile info{FILE_ATTRIBUTE_ARCHIVE, 1234, {}};
    ASSERT_EQ(lv.AddDeferredFile(exe, info), 0);
    EXPECT_EQ(lv.ItemText(0, 1), L"1234");
    EXPECT_EQ(lv.ItemText(0, 5), L"1.2.3.4");   // read by the list itself without a handler
    EXPECT_EQ(lv.ItemText(0, 6), L"5.6 beta");

    int calls = 0;
    lv.OnRowDetails = [&](const std::wstring& path, uint64_t size, TFileListView::RowDetails& d) {
        ++calls;
        EXPECT_EQ(path, L"C:\\Odd\\B.TMP");
        EXPECT_EQ(size, 1234u);
        d.fileVersion = L"fv";
        d.image = 3;
    };
    ASSERT_EQ(lv.AddDeferredFile(L"C:\\Odd\\B.TMP", info), 1);
    lv.SortByColumn(5);   // sorting reads every row's version text
    int row = lv.ItemText(0, 0) == L"c:\\odd\\b.tmp" ? 0 : 1;
    EXPECT_EQ(lv.ItemText(row, 5), L"fv");
    EXPECT_EQ(lv.ItemText(row, 6), L"");
    EXPECT_EQ(lv.ItemImage(row), 3);
    EXPECT_EQ(lv.ItemText(1 - row, 5), L"1.2.3.4");
    EXPECT_EQ(calls, 1);
}
