// Kestrune.exe run as a process, as Windows or the scheduler would start it. These tests use the
// real product key of the private test prefix (a child process does not see a redirected
// registry) and put it back as it was.
#include <gtest/gtest.h>
#include "core/common.h"
#include "core/completecache.h"
#include "core/paths.h"
#include "core/registry.h"
#include "tests/support/testenv.h"

using namespace kestest;

namespace {
std::wstring Exe() { return ProductBinFolder() + L"Kestrune.exe"; }

struct PrivacyKeyGuard {
    ~PrivacyKeyGuard() { DeleteKeyTree(HKEY_CURRENT_USER, L"Software\\Ostrel\\Kestrune\\privacy"); }
};
}  // namespace

TEST(Program, UnknownSwitchEndsAtOnce) {
    ASSERT_TRUE(FileExists(Exe()));
    EXPECT_EQ(RunProgram(Exe(), L"/NOSUCHSWITCH", 20000), 0);
    EXPECT_EQ(RunProgram(Exe(), L"CLEANJUNK", 20000), 0);
}

TEST(Program, CompleteCacheEmptiesTheRecordedFoldersAndRemovesTheRecord) {
    PrivacyKeyGuard guard;
    ScratchFolder dir;
    dir.WriteFile(L"history\\a.dat", "x");
    dir.WriteFile(L"history\\sub\\b.dat", "x");
    dir.WriteFile(L"other\\keep.txt", "x");
    WriteRegString(kPrivacyKey, L"History", dir.path() + L"history");
    WriteRegString(kPrivacyKey, L"Cookies", L"C:\\");    // a drive root: dropped, never emptied
    EXPECT_EQ(RunProgram(Exe(), L"/completecache", 60000), 0);
    EXPECT_TRUE(IsFolderEmpty(dir.path() + L"history\\"));
    EXPECT_TRUE(FileExists(dir.path() + L"other\\keep.txt"));
    EXPECT_TRUE(DirectoryExists(L"C:\\windows"));
    RegKey k = OpenKey(HKEY_CURRENT_USER, kPrivacyKey, false);
    ASSERT_TRUE(k);
    EXPECT_TRUE(EnumValueNames(k.get()).empty());
}
