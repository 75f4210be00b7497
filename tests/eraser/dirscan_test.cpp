#include <gtest/gtest.h>
#include <algorithm>
#include "core/errors.h"
#include "core/paths.h"
#include "tests/support/testenv.h"
#include "tools/eraser/Dirscan.h"

using namespace kestest;

namespace {
std::vector<std::wstring> Walk(const std::wstring& folder, const std::wstring& mask) {
    std::vector<std::wstring> seen;
    ScanDirectory(folder, mask, [&](const std::wstring& f, const WIN32_FIND_DATAW& e) {
        seen.push_back(f + e.cFileName);
        return true;
    });
    return seen;
}

// An index.dat of `size` bytes whose text, zero bytes dropped, starts with `text`.
void WriteIndex(const std::wstring& path, const std::string& text, size_t size = 600) {
    std::string bytes;
    for (char c : text) {
        bytes.push_back(c);
        bytes.push_back('\0');
    }
    bytes.resize(std::max(bytes.size(), size), '\0');
    bytes.resize(size);
    WriteTextFile(path, bytes);
}
}  // namespace

TEST(Dirscan, FilesBeforeSubfoldersAndHiddenFoldersSkipped) {
    ScratchFolder dir;
    dir.WriteFile(L"top\\a.txt", "1");
    dir.WriteFile(L"top\\sub\\b.txt", "2");
    dir.WriteFile(L"top\\hid\\c.txt", "3");
    dir.WriteFile(L"top\\sys\\d.txt", "4");
    std::wstring hiddenFile = dir.WriteFile(L"top\\e.txt", "5");
    ::SetFileAttributesW(hiddenFile.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    ::SetFileAttributesW((dir / L"top\\hid").c_str(), FILE_ATTRIBUTE_HIDDEN);
    ::SetFileAttributesW((dir / L"top\\sys").c_str(), FILE_ATTRIBUTE_SYSTEM);

    auto seen = Walk(dir / L"top", L"*.*");   // no trailing backslash: one is added
    ASSERT_EQ(seen.size(), 3u);
    std::vector<std::wstring> topFiles(seen.begin(), seen.begin() + 2);
    std::sort(topFiles.begin(), topFiles.end());
    EXPECT_EQ(topFiles, (std::vector<std::wstring>{dir / L"top\\a.txt", dir / L"top\\e.txt"}));
    EXPECT_EQ(seen[2], dir / L"top\\sub\\b.txt");
}

TEST(Dirscan, MaskMatchesLongNamesOnlyAndStopEndsTheWalk) {
    ScratchFolder dir;
    dir.WriteFile(L"n\\cookies.txt", "1");
    dir.WriteFile(L"n\\cookies.txtx", "2");   // its short alias may answer a "*.txt" search
    dir.WriteFile(L"n\\x\\Cookies.TXT", "3");
    dir.WriteFile(L"n\\y\\cookies.txt", "4");
    EXPECT_EQ(Walk(dir / L"n", L"*.txt").size(), 3u);
    EXPECT_EQ(Walk(dir / L"n\\", L"cookies.txt").size(), 3u);

    int calls = 0;
    EXPECT_FALSE(ScanDirectory(dir / L"n\\", L"cookies.txt", [&](const std::wstring&, const WIN32_FIND_DATAW&) {
        ++calls;
        return false;
    }));
    EXPECT_EQ(calls, 1);

    struct { const wchar_t* name; const wchar_t* mask; bool match; } cases[] = {
        {L"noext", L"*.*", true},     {L"prefs.js", L"PREFS.JS", true}, {L"prefs.jsx", L"prefs.js", false},
        {L"a.tmp", L"*.t?p", true},   {L"a.tmpx", L"*.tmp", false},     {L"netscape.hst", L"*scape*", true},
    };
    for (const auto& c : cases) EXPECT_EQ(MatchesMask(c.name, c.mask), c.match) << c.name << L" " << c.mask;
}

TEST(Dirscan, TraceFilesGoExceptIndexesAndFailuresAreListed) {
    ScratchFolder dir;
    dir.WriteFile(L"Cookies\\INDEX.DAT", "i");
    dir.WriteFile(L"Cookies\\sub\\index.dat", "i");
    dir.WriteFile(L"Cookies\\user@site[1].txt", "c");
    std::wstring ro = dir.WriteFile(L"Cookies\\sub\\locked@site[1].txt", "c");
    ::SetFileAttributesW(ro.c_str(), FILE_ATTRIBUTE_READONLY);

    TraceFileEraser eraser;
    ScanDirectory(dir / L"Cookies\\", L"*.*", eraser.DeleteCallback());
    EXPECT_TRUE(FileExists(dir / L"Cookies\\INDEX.DAT"));
    EXPECT_TRUE(FileExists(dir / L"Cookies\\sub\\index.dat"));
    EXPECT_FALSE(FileExists(dir / L"Cookies\\user@site[1].txt"));
    EXPECT_TRUE(FileExists(ro));
    EXPECT_EQ(eraser.FailedFiles, std::vector<std::wstring>{ro});
    EXPECT_EQ(eraser.DeletedCount, 1);
}

TEST(Dirscan, UrlHistoryLinesAreStripped) {
    struct { std::string in, out; bool removed; } cases[] = {
        {"user_pref(\"browser.url_history.URL_1\", \"http://a/\");\r\n", "", true},
        {"a\r\nuser_pref(\"browser.url_history.URL_1\", \"x\");\r\nb\r\n", "a\r\nb\r\n", true},
        {"a\nb", "a\nb", false},
        {"a\n  user_pref(\"browser.url_history.URL_2\", \"y\");", "a\n", true},
        {"user_pref(\"browser.cache\", 1);\n", "user_pref(\"browser.cache\", 1);\n", false},
    };
    for (const auto& c : cases) {
        std::string out;
        EXPECT_EQ(StripUrlHistoryText(c.in, out), c.removed) << c.in;
        EXPECT_EQ(out, c.out) << c.in;
    }

    ScratchFolder dir;
    std::wstring only = dir.WriteFile(L"p1\\prefs.js", "user_pref(\"browser.url_history.URL_1\", \"x\");\r\n");
    std::wstring empty = dir.WriteFile(L"p2\\prefs.js", "");
    std::wstring ro = dir.WriteFile(L"p3\\prefs.js", "a\nuser_pref(\"browser.url_history.URL_1\", \"x\");\n");
    ::SetFileAttributesW(ro.c_str(), FILE_ATTRIBUTE_READONLY);
    TraceFileEraser eraser;
    ScanDirectory(dir.path(), L"prefs.js", eraser.StripCallback());
    EXPECT_TRUE(FileExists(only));
    EXPECT_EQ(ReadTextFile(only), "");
    EXPECT_EQ(ReadTextFile(empty), "");
    EXPECT_EQ(ReadTextFile(ro), "a\nuser_pref(\"browser.url_history.URL_1\", \"x\");\n");   // kept whole
    EXPECT_EQ(eraser.FailedFiles, std::vector<std::wstring>{ro});
    EXPECT_FALSE(FileExists(ro + L".kes-new"));
}

TEST(Dirscan, IndexWindowsNameFoldersBelowTheIndexOnly) {
    auto names = IndexFolderCandidates(L"xxAB12CD34yy");
    EXPECT_EQ(names.front(), L"xxAB12CD");
    EXPECT_NE(std::find(names.begin(), names.end(), L"AB12CD34"), names.end());
    EXPECT_NE(std::find(names.begin(), names.end(), L"xAB12CD3"), names.end());
    EXPECT_EQ(names.back(), L"y");
    EXPECT_EQ(names.size(), 12u);
    // Nothing that could leave the folder or name several files.
    for (const auto& n : IndexFolderCandidates(L"..\\..\\Windows .. . C:x *?"))
        EXPECT_TRUE(n.find_first_of(L"\\:*?") == std::wstring::npos && n != L".." && n != L".. ") << n;

    ScratchFolder dir;
    WriteIndex(dir / L"Cache\\index.dat", "xxAB12CD34yy");
    dir.WriteFile(L"Cache\\AB12CD34\\a.htm", "1");
    dir.WriteFile(L"Cache\\AB12CD34\\index.dat", "i");
    dir.WriteFile(L"Cache\\xAB12CD3\\b.gif", "2");
    dir.WriteFile(L"Cache\\4yy\\c.js", "3");
    dir.WriteFile(L"Cache\\OTHER\\d.htm", "4");
    dir.WriteFile(L"vict\\keep.txt", "5");
    TraceFileEraser eraser;
    EXPECT_EQ(EraseIndexedFolders(dir / L"Cache", eraser), 3);
    EXPECT_FALSE(FileExists(dir / L"Cache\\AB12CD34\\a.htm"));
    EXPECT_TRUE(FileExists(dir / L"Cache\\AB12CD34\\index.dat"));
    EXPECT_FALSE(FileExists(dir / L"Cache\\xAB12CD3\\b.gif"));
    EXPECT_FALSE(FileExists(dir / L"Cache\\4yy\\c.js"));
    EXPECT_TRUE(FileExists(dir / L"Cache\\OTHER\\d.htm"));
    EXPECT_TRUE(FileExists(dir / L"Cache\\index.dat"));
    // A name with a path in it never reaches a folder beside the index's.
    WriteIndex(dir / L"Cache2\\index.dat", "..\\vict ../vict");
    EXPECT_EQ(EraseIndexedFolders(dir / L"Cache2", eraser), 0);
    EXPECT_TRUE(FileExists(dir / L"vict\\keep.txt"));
}

TEST(Dirscan, ShortOrMissingIndexFails) {
    ScratchFolder dir;
    WriteIndex(dir / L"h\\index.dat", "AB12CD34", 499);
    TraceFileEraser eraser;
    EXPECT_THROW(EraseIndexedFolders(dir / L"h", eraser), KesError);
    EXPECT_THROW(ReadIndexText(dir / L"none"), KesError);
    WriteIndex(dir / L"ok\\index.dat", "AB", 500);
    EXPECT_EQ(ReadIndexText(dir / L"ok"), L"AB");
}
