#include <gtest/gtest.h>
#include "core/paths.h"
#include "scan/Fexetype.h"
#include "scan/ItemProp.h"
#include "scan/SHFileOp.h"
#include "tests/support/testenv.h"

using namespace kestest;

namespace {

// The settings of the program's shared instance.
void Shared(TShellFileOp& op) {
    op.FilesOnly = true;
    op.NoConfirmation = true;
    op.RenameOnCollision = true;
}

}  // namespace

TEST(ShellFileOp, ListIsSortedWithoutDuplicatesAndEmptyListDoesNothing) {
    TShellFileOp op;
    EXPECT_FALSE(op.Recycle());
    EXPECT_FALSE(op.Delete());
    EXPECT_FALSE(op.MoveTo(L"C:\\"));
    op.AddFile(L"C:\\b\\X.TMP");
    op.AddFile(L"C:\\a.tmp");
    op.AddFile(L"c:\\b\\x.tmp");
    EXPECT_EQ(op.Files(), (std::vector<std::wstring>{L"C:\\a.tmp", L"C:\\b\\X.TMP"}));
    EXPECT_EQ(TShellFileOp::DoubleNulList(op.Files()), std::wstring(L"C:\\a.tmp\0C:\\b\\X.TMP\0\0", 21));
    op.ClearOnAdd = true;
    op.AddFile(L"C:\\z.tmp");
    EXPECT_EQ(op.Files(), (std::vector<std::wstring>{L"C:\\z.tmp"}));
}

TEST(ShellFileOp, FlagTable) {
    TShellFileOp op;
    Shared(op);
    const FILEOP_FLAGS base = FOF_FILESONLY | FOF_NOCONFIRMATION | FOF_SILENT;
    EXPECT_EQ(op.Flags(TShellFileOp::Operation::Delete), base);
    EXPECT_EQ(op.Flags(TShellFileOp::Operation::Recycle), base | FOF_ALLOWUNDO);
    EXPECT_EQ(op.Flags(TShellFileOp::Operation::Move), base | FOF_RENAMEONCOLLISION);
    TShellFileOp other;
    other.Animate = true;
    other.AutoMakeDir = true;
    other.ProgressTitle = L"Working";
    EXPECT_EQ(other.Flags(TShellFileOp::Operation::Move), FOF_SIMPLEPROGRESS | FOF_NOCONFIRMMKDIR);
    EXPECT_EQ(other.Flags(TShellFileOp::Operation::Delete), FOF_SIMPLEPROGRESS);
}

TEST(ShellFileOp, DeleteAndRecycleReportEachFile) {
    ScratchFolder dir;
    std::wstring a = dir.WriteFile(L"a.tmp", "a"), b = dir.WriteFile(L"sub\\b.tmp", "b");
    std::wstring missing = dir / L"gone.tmp";
    std::wstring keep = dir.WriteFile(L"keep.tmp", "k");
    TShellFileOp op;
    Shared(op);
    op.AddFile(a);
    op.AddFile(missing);
    op.AddFile(b);
    op.AddFile(dir / L"*.tmp");   // a wildcard is never handed to the shell
    op.Delete();
    EXPECT_TRUE(op.Files().empty());
    EXPECT_FALSE(FileExists(a));
    EXPECT_FALSE(FileExists(b));
    EXPECT_TRUE(FileExists(keep));
    EXPECT_TRUE(op.WasRemoved(a));
    EXPECT_TRUE(op.WasRemoved(b));
    EXPECT_FALSE(op.WasRemoved(missing));   // was not there: nothing was removed
    EXPECT_EQ(op.RemovedCount(), 2);

    op.AddFile(keep);
    op.Recycle();
    EXPECT_FALSE(FileExists(keep));
    EXPECT_TRUE(op.WasRemoved(keep));
}

TEST(ShellFileOp, MoveNeverOverwrites) {
    ScratchFolder dir;
    std::wstring dest = dir.MakeDir(L"dest");
    dir.WriteFile(L"dest\\x.tmp", "old");
    std::wstring s1 = dir.WriteFile(L"one\\x.tmp", "first"), s2 = dir.WriteFile(L"two\\x.tmp", "second");
    std::wstring s3 = dir.WriteFile(L"two\\y.tmp", "y");
    TShellFileOp op;
    Shared(op);
    op.AddFile(s1);
    op.AddFile(s2);
    op.AddFile(s3);
    op.MoveTo(ExcludeTrailingBackslash(dest));
    EXPECT_TRUE(op.Files().empty());
    EXPECT_EQ(ReadTextFile(dest + L"x.tmp"), "old");
    EXPECT_EQ(ReadTextFile(dest + L"x (2).tmp"), "first");
    EXPECT_EQ(ReadTextFile(dest + L"x (3).tmp"), "second");
    EXPECT_EQ(ReadTextFile(dest + L"y.tmp"), "y");
    EXPECT_EQ(op.RemovedCount(), 3);
    EXPECT_EQ(op.LastResults()[0].target, dest + L"x (2).tmp");

    // Without renaming, a taken name leaves the file where it was.
    std::wstring s4 = dir.WriteFile(L"three\\y.tmp", "new y");
    TShellFileOp plain;
    plain.NoConfirmation = true;
    plain.AddFile(s4);
    plain.MoveTo(dest);
    EXPECT_EQ(ReadTextFile(dest + L"y.tmp"), "y");
    EXPECT_TRUE(FileExists(s4));
    EXPECT_FALSE(plain.WasRemoved(s4));
}

TEST(ShellFileOp, MoveIntoMissingFolderFailsUnlessCreated) {
    ScratchFolder dir;
    std::wstring f = dir.WriteFile(L"f.tmp", "f");
    TShellFileOp op;
    Shared(op);
    op.AddFile(f);
    EXPECT_TRUE(op.MoveTo(dir / L"new\\deeper"));
    EXPECT_TRUE(FileExists(f));
    EXPECT_FALSE(DirectoryExists(dir / L"new"));
    EXPECT_FALSE(op.WasRemoved(f));
    EXPECT_TRUE(op.Files().empty());
    for (const wchar_t* bad : {L"", L"relative\\dir", L"C:\\a\\..\\b", L"C:\\x*"}) {
        op.AddFile(f);
        EXPECT_TRUE(op.MoveTo(bad)) << Narrow(bad);
        EXPECT_TRUE(FileExists(f));
    }

    op.AutoMakeDir = true;
    op.AddFile(f);
    EXPECT_FALSE(op.MoveTo(dir / L"new\\deeper"));
    EXPECT_EQ(ReadTextFile(dir / L"new\\deeper\\f.tmp"), "f");
    EXPECT_TRUE(op.WasRemoved(f));
}

TEST(ExeType, Table) {
    ScratchFolder dir;
    std::wstring notes = dir.WriteFile(L"notes.txt", "text");
    std::wstring inf = dir.WriteFile(L"setup.inf", "[Version]\r\n");
    std::wstring exe = TestBinFolder() + L"fixtures\\fixture_verinfo.exe";
    struct { std::wstring path; bool shell; int code; } cases[] = {
        {L"", true, 0},
        {L"readme", true, -3},
        {L"a.bc", true, -3},
        {dir / L"setup.exe", true, -1},
        {notes, true, -2},
        {notes, false, -2},
        {inf, true, 6},
        {exe, true, 5},
        {exe, false, 5},
    };
    for (const auto& c : cases) EXPECT_EQ(GetExeType(c.path, c.shell), c.code) << Narrow(c.path) << " " << c.shell;

    const wchar_t* texts[] = {L"(two phase operation)", L"DOS EXE file", L"DOS COM file", L"DOS batch file",
                              L"Windows Executable", L"32-bit Windows Executable", L"Setup .INF file"};
    for (int i = 0; i <= 6; ++i) EXPECT_EQ(ExeTypeText(i), texts[i]);
    EXPECT_EQ(ExeTypeText(-1), L"File does not exist");
    EXPECT_EQ(ExeTypeText(-2), L"Not an executable file");
    EXPECT_EQ(ExeTypeText(-3), L"");
    EXPECT_EQ(ExeTypeText(42), L"");
}

TEST(ItemProp, MissingFileShowsNothing) {
    ScratchFolder dir;
    EXPECT_FALSE(ShowFileProperties(dir / L"nothing.txt", nullptr));
    EXPECT_FALSE(ShowFileProperties(L"", nullptr));
}
