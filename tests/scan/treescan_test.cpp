#include <gtest/gtest.h>
#include <algorithm>
#include <stdexcept>
#include "core/paths.h"
#include "scan/TreeScan.h"
#include "tests/support/testenv.h"

using namespace kestest;

namespace {

// Records every event of a walk as "D path" (found), "F path size", "E" (done), "S" (search done),
// with the walk's root replaced by "R\".
struct Recorder {
    TTreeScanner& ts;
    std::wstring root;
    std::vector<std::wstring> events;
    explicit Recorder(TTreeScanner& s, const std::wstring& r) : ts(s), root(r) {
        ts.OnDirectoryFound = [this](TTreeScanner& t) { events.push_back(L"D " + Rel(t.FileFound())); };
        ts.OnFileFound = [this](TTreeScanner& t) {
            events.push_back(L"F " + Rel(t.FileFound()) + L" " + std::to_wstring(t.FileSize()));
        };
        ts.OnDirectoryDone = [this](TTreeScanner&) { events.push_back(L"E"); };
        ts.OnSearchDone = [this](TTreeScanner&) { events.push_back(L"S"); };
    }
    std::wstring Rel(const std::wstring& p) const {
        return p.compare(0, root.size(), root) == 0 ? L"R\\" + p.substr(root.size()) : L"?" + p;
    }
    std::vector<std::wstring> Files() const {
        std::vector<std::wstring> f;
        for (const auto& e : events)
            if (e[0] == L'F') f.push_back(e.substr(2, e.rfind(L' ') - 2));
        return f;
    }
    void Scan() {
        ts.InitialDirectory = root;
        ts.Scan();
    }
};

using Events = std::vector<std::wstring>;

}  // namespace

TEST(TreeScan, EventOrderSortedFilesBeforeSubfolders) {
    ScratchFolder dir;
    dir.WriteFile(L"b.txt", "12");
    dir.WriteFile(L"B\\A\\deep", "");
    dir.WriteFile(L"A\\x", "abc");
    dir.WriteFile(L"a.txt", "");
    TTreeScanner ts;
    ts.SetFileMask(L"*.*");
    Recorder r(ts, dir.path());
    r.Scan();
    EXPECT_EQ(r.events, (Events{L"D R\\", L"F R\\a.txt 0", L"F R\\b.txt 2", L"D R\\A\\", L"F R\\A\\x 3", L"E",
                                L"D R\\B\\", L"D R\\B\\A\\", L"F R\\B\\A\\deep 0", L"E", L"E", L"E", L"S"}));
    EXPECT_FALSE(ts.SearchInProgress());
    // The root is kept with its backslash; without one it gets one.
    ts.InitialDirectory = ExcludeTrailingBackslash(dir.path());
    r.events.clear();
    ts.Scan();
    EXPECT_EQ(ts.InitialDirectory, dir.path());
    EXPECT_EQ(r.events.front(), L"D R\\");
}

TEST(TreeScan, NotRecursiveReportsSubfoldersAfterFiles) {
    ScratchFolder dir;
    dir.WriteFile(L"A\\x.tmp", "");
    dir.WriteFile(L"z.tmp", "");
    TTreeScanner ts;
    ts.SetFileMask(L"*.tmp");
    ts.Recursive = false;
    Recorder r(ts, dir.path());
    r.Scan();
    EXPECT_EQ(r.events, (Events{L"D R\\", L"F R\\z.tmp 0", L"D R\\A\\", L"E", L"S"}));
}

TEST(TreeScan, MaskMatchesLongNamesOnly) {
    struct { const wchar_t* name; const wchar_t* mask; bool match; } cases[] = {
        {L"a.tmp", L"*.TMP", true},          {L"file.tmpx", L"*.tmp", false},
        {L"report.oldcopy", L"*.old", false}, {L"page.html", L"*.htm", false},
        {L"noext", L"*.*", true},             {L"~$doc.docx", L"~*.*", true},
        {L"a.bc~", L"*.??~", true},           {L"a.b~", L"*.??~", false},
        {L"0abcdefg.nch", L"0???????.nch", true}, {L"0abc.nch", L"0???????.nch", false},
        {L"MSCREATE.DIR", L"mscreate.dir", true}, {L"x.~mp", L"*.~*", true},
        {L"abc", L"", false},                 {L"a.b.c", L"*.c", true},
        {L"aXbXc", L"a*b*c", true},           {L"aXbXd", L"a*b*c", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MatchFileMask(c.name, c.mask), c.match) << Narrow(c.name) << " vs " << Narrow(c.mask);

    // In a walk: names whose 8.3 alias would match are not reported.
    ScratchFolder dir;
    for (const wchar_t* n : {L"file.tmpx", L"report.oldcopy", L"real.tmp", L"real.old", L"~lock.doc"})
        dir.WriteFile(n, "x");
    TTreeScanner ts;
    ts.SetFileMaskCommaText(L"*.tmp,*.old,~*.*,*.TMP,*.~*");
    Recorder r(ts, dir.path());
    r.Scan();
    Events found = r.Files();
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, (Events{L"R\\real.old", L"R\\real.tmp", L"R\\~lock.doc"}));
}

TEST(TreeScan, MaskListParsingSortingAndDuplicates) {
    struct { const wchar_t* text; Events items; } parse[] = {
        {L"", {}},
        {L"*.tmp,my file.txt", {L"*.tmp", L"my", L"file.txt"}},
        {L"*.tmp,\"my file.txt\"", {L"*.tmp", L"my file.txt"}},
        {L"  a , b ,", {L"a", L"b"}},
        {L"a,,b", {L"a", L"", L"b"}},
        {L"\"say \"\"hi\"\"\",x", {L"say \"hi\"", L"x"}},
        {L"\t\"a,b\" c", {L"a,b", L"c"}},
    };
    for (const auto& p : parse) EXPECT_EQ(ParseCommaText(p.text), p.items) << Narrow(p.text);

    TTreeScanner ts;
    ts.SetFileMaskCommaText(L"b.tmp,B.TMP,a.bak,\"my file.txt\"");
    EXPECT_EQ(ts.Masks(), (Events{L"a.bak", L"b.tmp", L"my file.txt"}));
    EXPECT_EQ(ts.FileMaskCommaText(), L"a.bak,b.tmp,\"my file.txt\"");
    EXPECT_EQ(ts.FileMask(), L"a.bak");
    ts.SetFileMask(L"A\"B");
    EXPECT_EQ(ts.FileMaskCommaText(), L"\"A\"\"B\"");
    ts.SetFileMaskCommaText(L"");
    EXPECT_EQ(ts.FileMask(), L"");
}

TEST(TreeScan, EmptyMaskListReportsFoldersOnly) {
    ScratchFolder dir;
    dir.WriteFile(L"a.tmp", "");
    dir.WriteFile(L"A\\b.tmp", "");
    TTreeScanner ts;
    Recorder r(ts, dir.path());
    r.Scan();
    EXPECT_EQ(r.events, (Events{L"D R\\", L"D R\\A\\", L"E", L"E", L"S"}));
}

TEST(TreeScan, HiddenSystemAndReadOnly) {
    ScratchFolder dir;
    struct { const wchar_t* path; DWORD attr; } items[] = {
        {L"h.tmp", FILE_ATTRIBUTE_HIDDEN}, {L"s.tmp", FILE_ATTRIBUTE_SYSTEM}, {L"r.tmp", FILE_ATTRIBUTE_READONLY},
        {L"n.tmp", FILE_ATTRIBUTE_NORMAL}};
    for (const auto& i : items) {
        std::wstring p = dir.WriteFile(i.path, "");
        ::SetFileAttributesW(p.c_str(), i.attr);
    }
    dir.WriteFile(L"H\\in-hidden.tmp", "");
    dir.WriteFile(L"S\\in-system.tmp", "");
    ::SetFileAttributesW((dir / L"H").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY);
    ::SetFileAttributesW((dir / L"S").c_str(), FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY);
    if (!(::GetFileAttributesW((dir / L"S").c_str()) & FILE_ATTRIBUTE_SYSTEM)) GTEST_SKIP() << "no system attribute";

    TTreeScanner ts;
    ts.SetFileMask(L"*.tmp");
    Recorder r(ts, dir.path());
    r.Scan();
    EXPECT_EQ(r.Files(), (Events{L"R\\n.tmp", L"R\\r.tmp", L"R\\s.tmp"}));
    ts.FindHiddenFiles = true;
    ts.FindHiddenFolders = true;
    r.events.clear();
    r.Scan();
    EXPECT_EQ(r.Files(), (Events{L"R\\h.tmp", L"R\\n.tmp", L"R\\r.tmp", L"R\\s.tmp", L"R\\H\\in-hidden.tmp"}));
    for (auto p : {L"h.tmp", L"s.tmp", L"r.tmp"}) ::SetFileAttributesW((dir / p).c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(TreeScan, StopInsideFileFoundFinishesTheFolderThenUnwinds) {
    ScratchFolder dir;
    dir.WriteFile(L"A\\1.tmp", "");
    dir.WriteFile(L"A\\2.tmp", "");
    dir.WriteFile(L"A\\3.tmp", "");
    dir.WriteFile(L"A\\Sub\\4.tmp", "");
    dir.WriteFile(L"B\\5.tmp", "");
    TTreeScanner ts;
    ts.SetFileMask(L"*.tmp");
    Recorder r(ts, dir.path());
    auto record = ts.OnFileFound;
    ts.OnFileFound = [&](TTreeScanner& t) {
        record(t);
        t.KeepScanning = false;
        t.SetFileMask(L"*.none");   // ignored while walking
    };
    r.Scan();
    EXPECT_EQ(r.events, (Events{L"D R\\", L"D R\\A\\", L"F R\\A\\1.tmp 0", L"F R\\A\\2.tmp 0", L"F R\\A\\3.tmp 0",
                                L"E", L"E", L"S"}));
    EXPECT_EQ(ts.FileMask(), L"*.tmp");
    // A new Scan forgets the earlier stop.
    ts.OnFileFound = record;
    r.events.clear();
    r.Scan();
    EXPECT_EQ(r.Files().size(), 5u);
}

TEST(TreeScan, FolderThatCannotBeListedAndHandlerErrors) {
    ScratchFolder dir;
    TTreeScanner ts;
    ts.SetFileMask(L"*.*");
    Recorder r(ts, dir.path() + L"missing\\");
    r.Scan();
    EXPECT_EQ(r.events, (Events{L"D R\\", L"E", L"S"}));

    // An error in a handler ends the walk at once and leaves the scanner usable.
    dir.WriteFile(L"a.tmp", "");
    dir.WriteFile(L"b.tmp", "");
    ts.InitialDirectory = dir.path();
    int files = 0;
    ts.OnFileFound = [&](TTreeScanner&) { ++files; throw std::runtime_error("handler"); };
    bool searchDone = false;
    ts.OnSearchDone = [&](TTreeScanner&) { searchDone = true; };
    EXPECT_THROW(ts.Scan(), std::runtime_error);
    EXPECT_EQ(files, 1);
    EXPECT_FALSE(searchDone);
    EXPECT_FALSE(ts.SearchInProgress());
}

TEST(TreeScan, LinkedFolderIsNotEntered) {
    // Made by tests/wine-session.sh on the host: tree\link -> ..\outside (holding beyond.tmp).
    std::wstring build = ExtractFilePath(ExcludeTrailingBackslash(TestBinFolder()));
    std::wstring tree = build + L"hostlinks\\tree\\";
    ASSERT_TRUE(DirectoryExists(tree + L"link")) << "link fixture missing";
    ASSERT_TRUE(::GetFileAttributesW((tree + L"link").c_str()) & FILE_ATTRIBUTE_REPARSE_POINT);
    TTreeScanner ts;
    ts.SetFileMask(L"*.tmp");
    ts.FindHiddenFolders = true;
    Recorder r(ts, tree);
    r.Scan();
    EXPECT_EQ(r.events, (Events{L"D R\\", L"D R\\inside\\", L"F R\\inside\\near.tmp 0", L"E", L"E", L"S"}));
}

TEST(TreeScan, LargeFileSizeIsTheLow32Bits) {
    ScratchFolder dir;
    std::wstring p = dir.WriteFile(L"big.tmp", "");
    {
        UniqueHandle h(::CreateFileW(p.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(h.valid());
        DWORD ignored = 0;
        ::DeviceIoControl(h.get(), FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &ignored, nullptr);
        LARGE_INTEGER size;
        size.QuadPart = 3000000000LL;
        ASSERT_TRUE(::SetFilePointerEx(h.get(), size, nullptr, FILE_BEGIN));
        ASSERT_TRUE(::SetEndOfFile(h.get()));
    }
    TTreeScanner ts;
    ts.SetFileMask(L"*.tmp");
    int32_t size = 0;
    uint64_t size64 = 0;
    ts.OnFileFound = [&](TTreeScanner& t) { size = t.FileSize(); size64 = t.FileSize64(); };
    ts.InitialDirectory = dir.path();
    ts.Scan();
    EXPECT_EQ(size, static_cast<int32_t>(3000000000LL - 4294967296LL));
    EXPECT_EQ(size64, 3000000000ULL);
}
