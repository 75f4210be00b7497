#include <gtest/gtest.h>
#include <cmath>
#include "core/common.h"
#include "core/logs.h"
#include "core/paths.h"
#include "core/registry.h"
#include "tests/support/testenv.h"
#include "tools/junk/junk.h"
#include "ui/dialogs.h"

using namespace kestest;

// --- the rules ---------------------------------------------------------------------------------

TEST(JunkRules, StoredFileTypes) {
    auto def = ParseScanTypes(kDefaultScanFor, kDefaultScanDesc);
    ASSERT_EQ(def.size(), 13u);
    EXPECT_EQ(def[0], (ScanTypeRow{L"*.~*", L"Temporary Files", true}));
    EXPECT_EQ(def[12], (ScanTypeRow{L"0???????.nch", L"Temporary cached newsgroup data", true}));
    EXPECT_EQ(FormatScanFor(def), kDefaultScanFor);
    EXPECT_EQ(FormatScanDesc(def), kDefaultScanDesc);

    struct { const wchar_t* scanFor; const wchar_t* scanDesc; std::vector<ScanTypeRow> rows; } cases[] = {
        {L"*.tmp,1,*.bak,0,", L"Temp,1,Backup,0,", {{L"*.tmp", L"Temp", true}, {L"*.bak", L"Backup", false}}},
        // The first incomplete entry ends the list; surplus descriptions are ignored, missing ones empty.
        {L"*.tmp,1,*.bak,1", L"Temp,1,Backup,1,Extra,1,", {{L"*.tmp", L"Temp", true}}},
        {L"*.tmp,1,*.bak", L"", {{L"*.tmp", L"", true}}},
        {L"*.a,x,*.b,1,", L"A,1", {{L"*.a", L"", false}, {L"*.b", L"", true}}},
        {L"", L"Temp,1,", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseScanTypes(c.scanFor, c.scanDesc), c.rows) << Narrow(c.scanFor);
}

TEST(JunkRules, MoveFolderAndExcludedFolders) {
    JunkFilter f;
    EXPECT_FALSE(f.InMoveFolder(L"D:\\JUNK\\a.tmp", true));   // no move folder: nothing is left out
    f.SetMoveFolder(L"d:\\junk\\saved");
    struct { const wchar_t* path; bool out; } cases[] = {
        {L"D:\\a.tmp", true}, {L"D:\\JUNK\\a.tmp", true}, {L"d:\\junk\\saved\\a.tmp", true},
        {L"D:\\JUNK\\SAVED\\SUB\\a.tmp", true},   // inside the move-to folder itself
        {L"D:\\OTHER\\a.tmp", false}, {L"C:\\JUNK\\a.tmp", false},
    };
    for (const auto& c : cases) EXPECT_EQ(f.InMoveFolder(c.path, false), c.out) << Narrow(c.path);

    f.SetExcluded({L"C:\\Keep\\", L""});
    EXPECT_TRUE(f.InExcludedFolder(L"c:\\keep\\x.tmp"));
    EXPECT_TRUE(f.InExcludedFolder(L"C:\\KEEP\\deeper\\x.tmp"));
    EXPECT_FALSE(f.InExcludedFolder(L"C:\\Keeper\\x.tmp"));
}

TEST(JunkRules, RestrictedFiles) {
    JunkFilter f;
    f.inUse = false;
    f.days = true;
    f.dayCount = 30;
    f.today = 40000;
    double accessed = 0;
    f.lastAccess = [&](const std::wstring&) { return accessed; };
    struct { double accessed; bool out; } days[] = {{40000 - 45, false}, {40000 - 30, false}, {40000 - 29.5, true},
                                                    {40000 - 1, true},   {0, false}};
    for (const auto& d : days) {
        accessed = d.accessed;
        EXPECT_EQ(f.Restricted(L"x", FILE_ATTRIBUTE_ARCHIVE), d.out) << d.accessed;
    }
    f.days = false;
    EXPECT_TRUE(f.Restricted(L"x", FILE_ATTRIBUTE_READONLY));
    EXPECT_TRUE(f.Restricted(L"x", FILE_ATTRIBUTE_SYSTEM));
    f.skipAttr = false;
    EXPECT_FALSE(f.Restricted(L"x", FILE_ATTRIBUTE_READONLY));
    f.inUse = true;
    f.isInUse = [](const std::wstring& p, DWORD) { return p == L"busy"; };
    EXPECT_TRUE(f.Restricted(L"busy", 0));
    EXPECT_FALSE(f.Restricted(L"idle", 0));
}

// The worker gives back, in the order handed over, exactly the files that passed; a cleared
// run gives back nothing, not even the file it was testing.
TEST(JunkRules, RuleWorkerKeepsOrderAndDropsWhatIsCleared) {
    using File = RuleWorker::File;
    RuleWorker w(4);
    std::vector<std::wstring> taken;
    auto take = [&](File& f) { taken.push_back(f.path); };
    w.Start([](const File& f) {
        if (f.path == L"throws") throw std::runtime_error("unreadable");
        return f.path.find(L"keep") == std::wstring::npos;   // true: left out
    });
    std::vector<std::wstring> expected;
    for (int i = 0; i < 50; ++i) {
        std::wstring p = (i % 3 ? L"keep" : L"drop") + std::to_wstring(i);
        if (i % 3) expected.push_back(p);
        w.Push({p});
        if (i == 20) w.Push({L"throws"});   // a failing test leaves the file out
    }
    EXPECT_TRUE(w.Finish(take, [] { return true; }));
    EXPECT_EQ(taken, expected);
    EXPECT_EQ(w.Pending(), 0u);

    // A test that hangs: Finish gives up when the pump says so, Clear drops the file.
    UniqueHandle release(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    taken.clear();
    w.Start([&](const File&) {
        ::WaitForSingleObject(release.get(), 10000);
        return false;
    });
    w.Push({L"slow"});
    w.Push({L"queued"});
    int pumps = 0;
    EXPECT_FALSE(w.Finish(take, [&] { return ++pumps < 3; }));
    EXPECT_EQ(pumps, 3);
    w.Clear();
    EXPECT_EQ(w.Pending(), 0u);
    ::SetEvent(release.get());
    w.Push({L"next"});   // tested after the dropped file has ended
    EXPECT_TRUE(w.Finish(take, nullptr));
    EXPECT_EQ(taken, std::vector<std::wstring>{L"next"});
}

// --- the window, driven hidden -----------------------------------------------------------------

namespace {

// A private registry, the logs in a scratch folder, drive X: and the temporary folder on it.
struct JunkEnv {
    ScratchRegistry reg;
    ScratchFolder logs;
    ExtraDrive x{L'X'};
    ui::DialogScript dialogs;
    std::wstring oldTmp;
    JunkEnv() {
        SetProgramFolderOverride(logs.path());
        wchar_t buf[MAX_PATH] = {};
        ::GetEnvironmentVariableW(L"TMP", buf, MAX_PATH);
        oldTmp = buf;
        ::CreateDirectoryW(L"X:\\Temp", nullptr);
        ::SetEnvironmentVariableW(L"TMP", L"X:\\Temp");
        WriteRegBool(L"\\Software\\Ostrel\\Kestrune\\Hints", L"All", false);
    }
    ~JunkEnv() {
        ::SetEnvironmentVariableW(L"TMP", oldTmp.c_str());
        SetProgramFolderOverride(L"");
    }
    std::string Log(const wchar_t* name) const { return ReadTextFile(logs.path() + name); }
    static void DriveX(TfrmJunk& f) {
        for (int i = 0; i < f.DiskListView1.Count(); ++i)
            f.DiskListView1.SetChecked(i, DriveLetterOfCaption(f.DiskListView1.ItemText(i)) == L'X');
    }
    static std::vector<std::wstring> Rows(TfrmJunk& f) {
        std::vector<std::wstring> r;
        for (int i = 0; i < f.lv.Count(); ++i) r.push_back(f.lv.ItemText(i));
        std::sort(r.begin(), r.end());
        return r;
    }
};

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace

TEST(JunkWindow, FirstRunDefaultsAndSavedLists) {
    JunkEnv env;
    {
        TfrmJunk f;
        EXPECT_EQ(f.Caption(), kJunkCaption);
        EXPECT_EQ(f.ScanTypes(), ParseScanTypes(kDefaultScanFor, kDefaultScanDesc));
        EXPECT_EQ(f.DiskListView1.CheckedCount(), 0);   // "Drives" absent
        EXPECT_EQ(f.cmdGo.Text(), L"&Scan");
        EXPECT_FALSE(f.ToolBarShown());
        f.Show();   // the first showing checks the fixed drives
        EXPECT_NE(f.DiskListView1.GetSelectedDrives().find(L'X'), std::wstring::npos);
        EXPECT_EQ(f.DiskListView1.GetSelectedDrives().find(L'Y'), std::wstring::npos);
        env.DriveX(f);
        f.lvScan.SetChecked(1, false);
        f.cmdExit.Click();
    }
    EXPECT_EQ(ReadRegString(kJunkKey, L"Drives"), L"X");
    std::wstring saved = ReadRegString(kJunkKey, L"ScanFor");
    EXPECT_EQ(saved.substr(0, 16), L"*.~*,1,~*.*,0,*.");
    // Closing with nothing removed still writes the closing block and adds 0 to the counters.
    std::string manual = env.Log(kLogManualJunk);
    EXPECT_TRUE(Contains(manual, "OPEN SESSION: "));
    EXPECT_TRUE(Contains(manual, "CLOSE SESSION: "));
    EXPECT_TRUE(Contains(manual, Narrow(TotalSpaceLine(0))));
    EXPECT_EQ(ReadCounter(L"JunkFiles"), 0u);

    TfrmJunk again;
    EXPECT_FALSE(again.ScanTypes()[1].checked);
    EXPECT_EQ(again.DiskListView1.GetSelectedDrives(), L"X");
    again.Close();
}

TEST(JunkWindow, ScanListsEachFileOnceAndHonoursTheRules) {
    JunkEnv env;
    env.x.WriteFile(L"Temp\\~old.tmp", "12");      // temp folder, two masks
    env.x.WriteFile(L"Temp\\notes.txt", "123");    // temp folder: every file
    env.x.WriteFile(L"Other\\a.bak", "1");
    env.x.WriteFile(L"root.bak", "1");            // directly in the move-to folder's drive root: left out
    env.x.WriteFile(L"file.tmpx", "1");            // its alias would match *.tmp
    env.x.WriteFile(L"report.oldcopy", "1");
    env.x.WriteFile(L"Excl\\b.tmp", "1");          // excluded
    env.x.WriteFile(L"Excl\\zero.dat", "");        // zero length: listed despite the exclusion
    env.x.WriteFile(L"Saved\\c.tmp", "1");         // in the move-to folder
    env.x.WriteFile(L"Saved\\Sub\\d.tmp", "1");
    std::wstring ro = env.x.WriteFile(L"ro.tmp", "1");
    ::SetFileAttributesW(ro.c_str(), FILE_ATTRIBUTE_READONLY);
    std::wstring busyPath = env.x.WriteFile(L"busy.tmp", "1");   // in use: left out
    UniqueHandle busy(::CreateFileW(busyPath.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(busy.valid());
    TfrmJunk f;
    f.Unattended = true;
    f.LogEvents = true;
    env.DriveX(f);
    f.cbTemp.SetChecked(true);
    f.cbZeroLength.SetChecked(true);
    AddFolderItem(f.lvFolderExclude, L"X:\\Excl\\", true, false, kImgExcludedFolder);
    f.deMove.SetText(L"X:\\Saved");
    f.cmdGo.Click();
    EXPECT_EQ(f.cmdGo.Text(), L"&Scan");
    EXPECT_EQ(JunkEnv::Rows(f), (std::vector<std::wstring>{L"x:\\excl\\zero.dat", L"x:\\other\\a.bak", L"x:\\temp\\notes.txt",
                                                           L"x:\\temp\\~old.tmp"}));
    EXPECT_EQ(f.WalkedRoots(), (std::vector<std::wstring>{L"X:\\Temp\\", L"X:\\", L"X:\\"}));
    EXPECT_EQ(f.NumBytes(), 6);
    EXPECT_TRUE(f.ToolBarShown());
    std::string log = env.Log(kLogJunk);
    EXPECT_TRUE(Contains(log, "OPERATION START: "));
    EXPECT_TRUE(Contains(log, "  Start Scan...\r\n"));
    EXPECT_TRUE(Contains(log, "  Successfully scanned X:\\ for specified file types.\r\n"));
    EXPECT_TRUE(Contains(log, "  Successfully scanned X:\\ for zero length files.\r\n"));
    EXPECT_TRUE(Contains(log, "  Scan End.\r\n\r\n  6 bytes (0.00 megabytes) found in 4 files.\r\n"));
    ::SetFileAttributesW(ro.c_str(), FILE_ATTRIBUTE_NORMAL);

    // No checked file type: the drives are not walked for types; the other phases still run.
    for (int i = 0; i < f.lvScan.Count(); ++i) f.lvScan.SetChecked(i, false);
    f.cmdGo.Click();
    EXPECT_EQ(f.WalkedRoots(), (std::vector<std::wstring>{L"X:\\Temp\\", L"X:\\"}));
    f.Close();
}

TEST(JunkWindow, StopDuringTheTempWalkEndsTheScan) {
    JunkEnv env;
    env.x.WriteFile(L"Temp\\a.tmp", "1");
    env.x.WriteFile(L"b.tmp", "1");
    TfrmJunk f;
    env.DriveX(f);
    f.cbTemp.SetChecked(true);
    f.cbZeroLength.SetChecked(true);
    // A click on "&Stop" waiting in the queue: the walk handles it at its first folder.
    ::PostMessageW(f.Handle(), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(f.cmdGo.Handle()), BN_CLICKED),
                   reinterpret_cast<LPARAM>(f.cmdGo.Handle()));
    f.cmdGo.Click();
    EXPECT_EQ(f.WalkedRoots(), (std::vector<std::wstring>{L"X:\\Temp\\"}));
    EXPECT_EQ(f.lv.Count(), 0);
    EXPECT_EQ(f.cmdGo.Text(), L"&Scan");
    EXPECT_TRUE(Contains(env.Log(kLogManualJunk), "  Start Scan...\r\n  Scan End.\r\n"));
    f.Close();
}

TEST(JunkWindow, RemovalCountsOnlyWhatWasRemoved) {
    JunkEnv env;
    env.x.WriteFile(L"one.tmp", std::string(1000, 'a'));
    env.x.WriteFile(L"two.tmp", std::string(2000, 'b'));
    env.x.WriteFile(L"three.tmp", std::string(3000, 'c'));
    std::wstring busy = env.x.WriteFile(L"busy.bak", std::string(500, 'd'));
    std::wstring moved = env.x.WriteFile(L"moved.old", std::string(700, 'e'));
    uint32_t bytesBefore = ReadCounter(L"JunkBytes");
    {
        TfrmJunk f;
        f.Unattended = true;
        f.LogEvents = true;
        env.DriveX(f);
        f.cmdGo.Click();
        ASSERT_EQ(f.lv.Count(), 5);

        // An in-use file and a move into a missing folder: neither is counted.
        UniqueHandle hold(::CreateFileW(busy.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        f.lv.SelectAll(false);
        for (int i = 0; i < f.lv.Count(); ++i)
            if (f.lv.ItemText(i) == L"x:\\busy.bak" || f.lv.ItemText(i) == L"x:\\moved.old") f.lv.SetSelected(i, true);
        f.optMove.SetChecked(true);
        f.deMove.SetText(L"X:\\Nowhere");
        f.cmdDelete.Click();
        EXPECT_EQ(f.lv.Count(), 3);
        EXPECT_EQ(f.RemovedFiles, 0);
        EXPECT_TRUE(FileExists(moved));
        EXPECT_TRUE(FileExists(busy));
        hold.reset();

        f.optRecycle.SetChecked(true);
        f.lv.SelectAll(true);
        f.cmdDelete.Click();
        EXPECT_EQ(f.lv.Count(), 0);
        EXPECT_FALSE(f.ToolBarShown());
        EXPECT_EQ(f.sb.PanelText(1), L"Total space recovered: 6,000 bytes (0.01 megabytes) in 3 files.");
        EXPECT_FALSE(FileExists(L"X:\\one.tmp"));
        f.Close();
    }
    std::string log = env.Log(kLogJunk);
    EXPECT_TRUE(Contains(log, "  Unable to remove \"x:\\busy.bak\".  This file is currently in use.\r\n"));
    EXPECT_TRUE(Contains(log, "  Unable to remove \"x:\\moved.old\".  The file was not removed.\r\n"));
    EXPECT_FALSE(Contains(log, "Relocating file"));
    for (const char* name : {"one", "two", "three"})
        EXPECT_TRUE(Contains(log, std::string("  Moving to recycle bin: x:\\") + name + ".tmp\r\n")) << name;
    EXPECT_TRUE(Contains(log, "OPERATION COMPLETE: "));
    EXPECT_TRUE(Contains(log, Narrow(TotalSpaceLine(6000))));
    EXPECT_EQ(ReadCounter(L"JunkBytes"), bytesBefore + 6000);
    EXPECT_EQ(ReadCounter(L"JunkFiles"), 3u);
}

TEST(JunkWindow, LeavingRemovalTabNeedsAValidMoveFolder) {
    JunkEnv env;
    TfrmJunk f;
    f.PageControl1.SetActivePage(f.TabSheet5);
    f.optMove.Click();   // no folder yet: the chooser opens (and is cancelled)
    EXPECT_TRUE(f.deMove.Enabled());
    env.dialogs.ClearSeen();
    f.PageControl1.SetActivePage(f.TabSheet1);
    EXPECT_EQ(f.PageControl1.ActivePage(), &f.TabSheet5);
    ASSERT_GE(env.dialogs.Count(), 1u);
    EXPECT_EQ(env.dialogs.Seen()[0].text,
              L"You must specify a valid folder to move files to if you are going to use this removal option.");
    f.deMove.SetText(L"X:\\");
    f.PageControl1.SetActivePage(f.TabSheet1);
    EXPECT_EQ(f.PageControl1.ActivePage(), &f.TabSheet1);
    f.Close();
}

TEST(JunkWindow, RemovedSpaceOfFilesPastFourGigabytesIsCountedWhole) {
    JunkEnv env;
    const std::wstring huge = L"X:\\huge.tmp";
    {
        // A sparse file: 5 GB long, no disk space taken.
        UniqueHandle h(::CreateFileW(huge.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(h.valid());
        LARGE_INTEGER size;
        size.QuadPart = 5LL * 1024 * 1024 * 1024;
        ASSERT_TRUE(::SetFilePointerEx(h.get(), size, nullptr, FILE_BEGIN));
        ASSERT_TRUE(::SetEndOfFile(h.get()));
    }
    {
        TfrmJunk f;
        f.Unattended = true;
        f.LogEvents = true;
        env.DriveX(f);
        f.cmdGo.Click();
        ASSERT_EQ(f.lv.Count(), 1);
        f.optDelete.SetChecked(true);
        f.lv.SelectAll(true);
        f.cmdDelete.Click();
        EXPECT_FALSE(FileExists(huge));
        EXPECT_EQ(f.sb.PanelText(1), L"Total space recovered: 5,368,709,120 bytes (5,242.88 megabytes) in 1 files.");
        f.Close();
    }
    EXPECT_TRUE(Contains(env.Log(kLogJunk), Narrow(TotalSpaceLine(5368709120LL))));
    EXPECT_EQ(ReadCounter(L"JunkBytes"), 0xFFFFFFFFu);   // the stored DWORD holds at its top
}

// Shows the window with a finished scan for a few seconds when KES_SHOW=junk, so that it can be
// looked at in a screenshot (the icons and versions of the rows are filled in as they are shown).
TEST(JunkWindow, Showcase) {
    wchar_t name[32] = L"";
    if (!::GetEnvironmentVariableW(L"KES_SHOW", name, 32) || std::wstring(name) != L"junk")
        GTEST_SKIP() << "KES_SHOW=junk not set";
    JunkEnv env;
    env.x.WriteFile(L"Temp\\~setup.tmp", std::string(4096, 'x'));
    env.x.WriteFile(L"Docs\\report.bak", std::string(20000, 'r'));
    env.x.WriteFile(L"Docs\\letter.old", "letter");
    env.x.WriteFile(L"scandisk.chk", std::string(512, 'c'));
    ::CopyFileW((ProductBinFolder() + L"Kestrune.exe").c_str(), L"X:\\Old\\kestrune.old", FALSE) ||
        (::CreateDirectoryW(L"X:\\Old", nullptr),
         ::CopyFileW((ProductBinFolder() + L"Kestrune.exe").c_str(), L"X:\\Old\\kestrune.old", FALSE));
    TfrmJunk f;
    f.cbTemp.SetChecked(true);
    f.Show();   // a first showing checks the fixed drives
    env.DriveX(f);
    f.cmdGo.Click();
    PumpUntil([] { return false; }, 6000);
    f.Close();
}
