#include <gtest/gtest.h>
#include "core/Hint.h"
#include "core/logs.h"
#include "core/paths.h"
#include "core/registry.h"
#include "tests/support/testenv.h"
#include "tools/regclean/regclean.h"
#include "ui/dialogs.h"

using namespace kestest;

namespace {

struct RegCleanEnv {
    ScratchRegistry reg{true};
    ScratchFolder dir;
    ExtraDrive x{L'X'};
    ui::DialogScript dialogs;
    HintPresenter previousPresenter;
    RegCleanEnv() {
        ::CreateDirectoryW((dir / L"prog").c_str(), nullptr);
        SetProgramFolderOverride(dir / L"prog\\");
        previousPresenter = SetHintPresenter([](TfrmHint&) {});
        x.WriteFile(L"app\\app.exe", "MZ");
    }
    ~RegCleanEnv() {
        SetHintPresenter(previousPresenter);
        SetProgramFolderOverride(L"");
    }
    static void Value(HKEY root, const std::wstring& key, const std::wstring& name, const std::wstring& data) {
        RegKey k = OpenKey(root, key, true);
        SetString(k.get(), name, data);
    }
    static bool Has(HKEY root, const std::wstring& key, const std::wstring& name) {
        RegKey k = OpenKey(root, key, false, KEY_READ);
        return k && ValueExists(k.get(), name);
    }
    std::string Log(const wchar_t* name) const {
        std::wstring p = dir / L"prog\\" + name;
        return FileExists(p) ? ReadTextFile(p) : std::string();
    }
    // Only the areas named stay checked.
    static void Areas(TfrmRegClean& f, std::initializer_list<int> checked) {
        for (int i = 0; i < 4; ++i) f.lvScanFor.SetChecked(i, false);
        for (int i : checked) f.lvScanFor.SetChecked(i, true);
    }
    static bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
};

}  // namespace

TEST(RegCleanWindow, NothingCheckedCompletesAtOnceAndSaysSo) {
    RegCleanEnv env;
    TfrmRegClean form;
    EXPECT_EQ(form.Caption(), L"Registry Cleaner");
    ASSERT_EQ(form.lvScanFor.Count(), 4);
    EXPECT_EQ(form.lvScanFor.ItemText(3), L"Invalid shared DLL's");
    EXPECT_TRUE(form.cbBackup.Checked());   // never shown: the initial state
    form.cbBackup.SetChecked(false);
    RegCleanEnv::Areas(form, {});
    int ended = 0;
    form.OnScanEnded = [&] { ++ended; };
    form.btnStart.Click();
    EXPECT_TRUE(form.ScanEnded);
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(form.sb.PanelText(0), kScanCompleted);
    EXPECT_EQ(form.sb.PanelText(1), L"Number of invalid entries found: 0");
    ASSERT_EQ(env.dialogs.Count(), 1u);
    EXPECT_EQ(env.dialogs.Last().text, L"No invalid references detected.");
    EXPECT_EQ(form.btnStart.Text(), L"Scan &Registry");
    form.Close();
    // The areas are stored on close.
    EXPECT_FALSE(ReadRegBool(kRegCleanKey, L"CU"));
    EXPECT_FALSE(ReadRegBool(kRegCleanKey, L"SD"));
}

TEST(RegCleanWindow, ShownScanThenRemoveSelectedAsksAndKeepsANeighbourSelected) {
    RegCleanEnv env;
    const std::wstring key = L"Software\\KT\\Dead";
    RegCleanEnv::Value(HKEY_CURRENT_USER, key, L"a", L"X:\\gone\\a.exe");
    RegCleanEnv::Value(HKEY_CURRENT_USER, key, L"b", L"X:\\gone\\b.exe");
    RegCleanEnv::Value(HKEY_CURRENT_USER, key, L"c", L"X:\\gone\\c.exe");
    RegCleanEnv::Value(HKEY_CURRENT_USER, key, L"live", L"X:\\app\\app.exe");
    {
        TfrmRegClean form;
        form.NTPlatform = true;
        form.Show();
        EXPECT_FALSE(form.tsBackup.TabVisible());
        EXPECT_FALSE(form.cbBackup.Checked());
        RegCleanEnv::Areas(form, {0});
        form.btnStart.Click();
        ASSERT_EQ(form.lv.Count(), 3);
        EXPECT_EQ(form.sb.PanelText(0), kScanCompleted);
        EXPECT_EQ(form.lv.ItemText(0, 0), L"HKEY_CURRENT_USER: \\Software\\KT\\Dead");
        EXPECT_TRUE(form.tb.Visible());
        EXPECT_EQ(env.dialogs.Count(), 0u);

        form.lv.SelectAll(false);
        form.lv.SetSelected(1, true);
        form.lv.SetSelected(2, true);
        env.dialogs.Answer(ui::MsgResult::No);
        form.mnuRemoveSelected.Click();
        EXPECT_EQ(env.dialogs.Last().text, L"Are you sure you want to remove 2 selected entries from the Registry?");
        EXPECT_EQ(form.lv.Count(), 3);

        std::wstring first = form.lv.ItemText(0, 2);
        env.dialogs.Answer(ui::MsgResult::Yes);
        form.cmdRemove.Click();
        ASSERT_EQ(form.lv.Count(), 1);
        EXPECT_EQ(form.lv.ItemText(0, 2), first);
        EXPECT_TRUE(form.lv.Selected(0));
        EXPECT_EQ(form.sb.PanelText(1), L"Number of invalid entries found: 1");
        EXPECT_TRUE(RegCleanEnv::Has(HKEY_CURRENT_USER, key, first));
        EXPECT_TRUE(RegCleanEnv::Has(HKEY_CURRENT_USER, key, L"live"));
        EXPECT_EQ(form.RemovedCount, 2);

        form.lv.SelectAll(false);
        form.lv.SetSelected(0, true);
        env.dialogs.Answer(ui::MsgResult::Yes);
        form.Remove_Selected();
        EXPECT_EQ(env.dialogs.Last().text, L"Are you sure you want to remove selected entry from the Registry?");
        EXPECT_EQ(form.lv.Count(), 0);
        EXPECT_TRUE(form.UndoFile().Created());
        EXPECT_TRUE(IsRegistryEditorFile(form.UndoFile().Path()));
        EXPECT_EQ(ExtractFilePath(form.UndoFile().Path()), env.dir / L"prog\\Registry Backup\\");
        form.Close();
    }
    std::string log = env.Log(kLogManualRegistry);
    EXPECT_TRUE(RegCleanEnv::Contains(log, "SESSION START: "));
    EXPECT_TRUE(RegCleanEnv::Contains(log, "  Scan complete. 3 invalid references found.\r\n"));
    EXPECT_TRUE(RegCleanEnv::Contains(log, "  Undo file: "));
    EXPECT_TRUE(RegCleanEnv::Contains(log, "      KEY: HKEY_CURRENT_USER\\Software\\KT\\Dead\r\n      VALUE: "));
    EXPECT_TRUE(RegCleanEnv::Contains(log, "CLOSE SESSION: "));
    EXPECT_TRUE(RegCleanEnv::Contains(log, "NUMBER OF INVALID REFERENCES REMOVED: 3\r\n"));
    EXPECT_EQ(ReadCounter(L"RegRefs"), 3u);
    EXPECT_FALSE(RegCleanEnv::Has(HKEY_CURRENT_USER, key, L"a"));
}

TEST(RegCleanWindow, NinetyFiveFamilyShowsTheBackupTab) {
    RegCleanEnv env;
    TfrmRegClean form;
    form.NTPlatform = false;
    form.cbBackup.SetChecked(false);
    form.Show();
    EXPECT_TRUE(form.tsBackup.TabVisible());
    EXPECT_TRUE(form.cbBackup.Checked());
    form.Close();
}

TEST(RegCleanWindow, UnattendedRunBacksUpScansAndRemovesAllWithItsLogBlock) {
    RegCleanEnv env;
    RegCleanEnv::Value(HKEY_CURRENT_USER, L"Software\\KT\\Dead", L"a", L"X:\\gone\\a.exe");
    RegCleanEnv::Value(HKEY_CURRENT_USER, L"Software\\KT\\Dead", L"X:\\gone\\name.dll", L"fine");
    RegCleanEnv::Value(HKEY_LOCAL_MACHINE, L"Software\\KT\\Old", L"path", L"X:\\oldapp");
    {
        TfrmRegClean form;
        form.Unattended = true;
        form.LogEvents = true;
        RegCleanEnv::Areas(form, {0, 2, 3});
        ASSERT_TRUE(form.cbBackup.Checked());
        form.btnStart.Click();
        ASSERT_TRUE(PumpUntil([&] { return form.ScanEnded; }));
        EXPECT_EQ(form.sb.PanelText(0), kScanCompleted);
        ASSERT_EQ(form.lv.Count(), 3);
        EXPECT_TRUE(IsRegistryEditorFile(TfrmRegClean::BackupFileName()));
        form.Remove_All();
        EXPECT_EQ(form.lv.Count(), 0);
        EXPECT_EQ(form.sb.PanelText(1), L"Number of invalid entries found: 0");
        form.Close();
    }
    EXPECT_EQ(env.dialogs.Count(), 0u);
    EXPECT_EQ(env.Log(kLogManualRegistry), "");
    std::string log = env.Log(kLogRegistry);
    for (const char* part : {"OPERATION START: ", "  Backing up registry files...\r\n",
                             "  Analyzing: HKEY_CURRENT_USER...\r\n", "  Analyzing: HKEY_LOCAL_MACHINE...\r\n",
                             "  Analyzing: Shared DLL References...\r\n", "  Scan complete. 3 invalid references found.\r\n",
                             "  Start: Removing invalid references\r\n", "      KEY: HKEY_LOCAL_MACHINE\\Software\\KT\\Old\r\n",
                             "  Undo file: ", "  Finish: Removing invalid references\r\n========================================\r\nOPERATION COMPLETE: ",
                             "NUMBER OF INVALID REFERENCES REMOVED: 3\r\n========================================\r\n"})
        EXPECT_TRUE(RegCleanEnv::Contains(log, part)) << part << "\n" << log;
    EXPECT_FALSE(RegCleanEnv::Has(HKEY_CURRENT_USER, L"Software\\KT\\Dead", L"a"));
    EXPECT_FALSE(RegCleanEnv::Has(HKEY_LOCAL_MACHINE, L"Software\\KT\\Old", L"path"));
    EXPECT_EQ(ReadCounter(L"RegRefs"), 3u);
}

TEST(RegCleanWindow, UnattendedRunOnACleanRegistryWritesTheCleanBlock) {
    RegCleanEnv env;
    RegCleanEnv::Value(HKEY_CURRENT_USER, L"Software\\KT\\Live", L"ok", L"X:\\app\\app.exe");
    TfrmRegClean form;
    form.Unattended = true;
    form.LogEvents = true;
    form.cbBackup.SetChecked(false);
    RegCleanEnv::Areas(form, {0});
    form.btnStart.Click();
    EXPECT_TRUE(form.ScanEnded);
    EXPECT_EQ(form.sb.PanelText(0), kScanCompleted);
    form.Close();
    EXPECT_EQ(env.dialogs.Count(), 0u);
    std::string log = env.Log(kLogRegistry);
    EXPECT_TRUE(RegCleanEnv::Contains(log, "  Scan complete. 0 invalid references found.\r\n"));
    EXPECT_TRUE(RegCleanEnv::Contains(log, "  Registry Already Clean: No invalid references detected.\r\n"
                                           "========================================\r\nOPERATION COMPLETE: "));
}

TEST(RegCleanWindow, UnattendedRunWithoutAGoodBackupCleansNothing) {
    RegCleanEnv env;
    RegCleanEnv::Value(HKEY_CURRENT_USER, L"Software\\KT\\Dead", L"a", L"X:\\gone\\a.exe");
    TfrmRegClean form;
    form.Editor.program = env.dir / L"no-such-editor.exe";
    form.Unattended = true;
    form.LogEvents = true;
    RegCleanEnv::Areas(form, {0});
    form.btnStart.Click();
    ASSERT_TRUE(PumpUntil([&] { return form.ScanEnded; }));
    EXPECT_EQ(form.sb.PanelText(0), kScanInterrupted);
    EXPECT_EQ(form.lv.Count(), 0);
    form.Remove_All();
    form.Close();
    EXPECT_EQ(env.dialogs.Count(), 0u);
    EXPECT_TRUE(RegCleanEnv::Has(HKEY_CURRENT_USER, L"Software\\KT\\Dead", L"a"));
    std::string log = env.Log(kLogRegistry);
    EXPECT_TRUE(RegCleanEnv::Contains(log, "  Registry backup failed: The registry editor could not be started"));
    EXPECT_TRUE(RegCleanEnv::Contains(log, "  Scan cancelled: the registry is not cleaned without a good backup.\r\n"));
    EXPECT_TRUE(RegCleanEnv::Contains(log, "  Registry not cleaned: the registry backup failed.\r\n"));
    EXPECT_FALSE(RegCleanEnv::Contains(log, "Start: Removing"));
}

TEST(RegCleanWindow, StopDuringTheWalkAndAnErrorBothEndTheScanVisibly) {
    RegCleanEnv env;
    RegCleanEnv::Value(HKEY_CURRENT_USER, L"Software\\KT\\A", L"first", L"X:\\gone\\first.exe");
    RegCleanEnv::Value(HKEY_CURRENT_USER, L"Software\\KT\\B", L"second", L"X:\\gone\\second.exe");
    {
        TfrmRegClean form;
        form.Show();
        RegCleanEnv::Areas(form, {0});
        // The press of "Stop" waits in the queue and arrives at the walk's first look at it.
        auto previous = form.OnMessage;
        form.OnMessage = [&](UINT msg, WPARAM wp, LPARAM lp) {
            if (msg == WM_APP + 7) form.btnStart.Click();
            else if (previous) previous(msg, wp, lp);
        };
        ::PostMessageW(form.Handle(), WM_APP + 7, 0, 0);
        form.btnStart.Click();
        EXPECT_TRUE(form.ScanEnded);
        EXPECT_EQ(form.sb.PanelText(0), kScanInterrupted);
        EXPECT_EQ(form.lv.Count(), 0);
        EXPECT_EQ(env.dialogs.Count(), 0u);   // no "No invalid references detected."
        EXPECT_EQ(form.btnStart.Text(), L"Scan &Registry");
        EXPECT_TRUE(form.cmdExit.Enabled());
        form.Close();
    }
    EXPECT_TRUE(RegCleanEnv::Contains(env.Log(kLogManualRegistry), "  Scan complete. 0 invalid references found.\r\n"));

    // An unattended scan whose log cannot be written ends all the same, without a message.
    ::CreateDirectoryW((env.dir / L"prog\\RegistryLog.txt").c_str(), nullptr);
    TfrmRegClean form;
    form.Unattended = true;
    form.LogEvents = true;
    form.cbBackup.SetChecked(false);
    RegCleanEnv::Areas(form, {0});
    form.btnStart.Click();
    EXPECT_TRUE(form.ScanEnded);
    EXPECT_EQ(form.sb.PanelText(0), kScanInterrupted);
    EXPECT_FALSE(form.Scanning());
    EXPECT_EQ(env.dialogs.Count(), 0u);
    form.Close();
}

TEST(RegCleanWindow, RowsThatCannotBeRemovedStayListedAndUncounted) {
    RegCleanEnv env;
    RegCleanEnv::Value(HKEY_CURRENT_USER, L"Software\\KT\\Dead", L"a", L"X:\\gone\\a.exe");
    RegCleanEnv::Value(HKEY_CURRENT_USER, L"Software\\KT\\Dead", L"b", L"X:\\gone\\b.exe");
    // No undo record can be written, so nothing may be deleted.
    WriteTextFile(env.dir / L"prog\\Registry Backup", "in the way");
    {
        TfrmRegClean form;
        form.Show();
        RegCleanEnv::Areas(form, {0});
        form.btnStart.Click();
        ASSERT_EQ(form.lv.Count(), 2);
        env.dialogs.Answer(ui::MsgResult::Yes);
        form.mnuRemoveAll.Click();
        EXPECT_EQ(form.lv.Count(), 2);
        EXPECT_EQ(form.RemovedCount, 0);
        ASSERT_EQ(env.dialogs.Count(), 2u);
        EXPECT_EQ(env.dialogs.Last().text.rfind(L"2 entries could not be removed from the Registry", 0), 0u);
        form.lv.SelectAll(true);
        env.dialogs.Answer(ui::MsgResult::Yes);
        form.Remove_Selected();
        EXPECT_EQ(form.lv.Count(), 2);
        EXPECT_EQ(form.RemovedCount, 0);
        form.Close();
    }
    EXPECT_TRUE(RegCleanEnv::Has(HKEY_CURRENT_USER, L"Software\\KT\\Dead", L"a"));
    EXPECT_TRUE(RegCleanEnv::Has(HKEY_CURRENT_USER, L"Software\\KT\\Dead", L"b"));
    std::string log = env.Log(kLogManualRegistry);
    EXPECT_TRUE(RegCleanEnv::Contains(log, "      REMOVAL FAILED: The undo file "));
    EXPECT_TRUE(RegCleanEnv::Contains(log, "NUMBER OF INVALID REFERENCES REMOVED: 0\r\n"));
    EXPECT_EQ(ReadCounter(L"RegRefs"), 0u);
}

TEST(RegCleanWindow, BackupAndRestoreButtons) {
    RegCleanEnv env;
    TfrmRegClean form;
    form.Editor.program = env.dir / L"no-such-editor.exe";
    std::wstring backup = TfrmRegClean::BackupFileName();
    WriteTextFile(backup, "REGEDIT4\r\nold\r\n");
    env.dialogs.Answer(ui::MsgResult::No);
    EXPECT_TRUE(form.BackupRegistry(false));
    ASSERT_EQ(env.dialogs.Count(), 1u);
    EXPECT_EQ(env.dialogs.Last().caption, L"Existing Backup...");
    EXPECT_EQ(env.dialogs.Last().text, L"A backup copy of the registry exists - do you want to update it?");
    EXPECT_EQ(form.sb.PanelText(0), L"Registry backup procedure complete...");
    EXPECT_EQ(ReadTextFile(backup), "REGEDIT4\r\nold\r\n");

    // Yes, and the editor fails: reported as failed, the old backup kept.
    env.dialogs.ClearSeen();
    env.dialogs.Answer(ui::MsgResult::Yes);
    EXPECT_FALSE(form.BackupRegistry(false));
    ASSERT_EQ(env.dialogs.Count(), 2u);
    EXPECT_EQ(env.dialogs.Last().text.rfind(L"There was an error while backing up the registry.\r\r", 0), 0u);
    EXPECT_EQ(ReadTextFile(backup), "REGEDIT4\r\nold\r\n");

    ::DeleteFileW(backup.c_str());
    env.dialogs.ClearSeen();
    EXPECT_TRUE(form.RestoreRegistry(false));
    ASSERT_EQ(env.dialogs.Count(), 1u);
    EXPECT_EQ(env.dialogs.Last().text, L"No backup copy of the registry exists.");
    EXPECT_EQ(form.sb.PanelText(0), L"Restore procedure complete");

    // A file that is not the editor's is never handed to it.
    WriteTextFile(backup, "garbage");
    env.dialogs.ClearSeen();
    EXPECT_FALSE(form.RestoreRegistry(false));
    EXPECT_EQ(env.dialogs.Last().text.rfind(L"There was an error while restoring the registry.\r\r", 0), 0u);
    form.Close();
}

// Not a check: shows the window for a screenshot until the file named by KES_SHOT_DONE exists.
TEST(RegCleanWindow, DISABLED_ShowForScreenshot) {
    RegCleanEnv env;
    RegCleanEnv::Value(HKEY_CURRENT_USER, L"Software\\Old Vendor\\Tool", L"InstallPath", L"X:\\oldvendor\\tool.exe");
    RegCleanEnv::Value(HKEY_CURRENT_USER, L"Software\\Old Vendor\\Tool", L"Data", L"X:\\oldvendor\\data");
    RegCleanEnv::Value(HKEY_CURRENT_USER, L"Software\\Other\\Recent", L"File1", L"X:\\docs\\letter.doc");
    wchar_t done[MAX_PATH] = L"", page[8] = L"0";
    ::GetEnvironmentVariableW(L"KES_SHOT_DONE", done, MAX_PATH);
    ::GetEnvironmentVariableW(L"KES_SHOT_PAGE", page, 8);
    TfrmRegClean form;
    form.NTPlatform = _wtoi(page) % 3 != 2;   // the backup tab shows on the 95 family
    form.Show();
    form.pcRegistry.SetActivePage(form.pcRegistry.Page(_wtoi(page) % 3));
    RegCleanEnv::Areas(form, {0, 3});
    form.btnStart.Click();
    PumpUntil([&] { return FileExists(done); }, 60000);
    form.Close();
}

TEST(RegCleanWindow, EscClosesTheWindowAndNeverStartsAScan) {
    RegCleanEnv env;
    TfrmRegClean form;
    bool scanned = false;
    form.OnScanEnded = [&] { scanned = true; };
    MSG esc{form.lv.Handle(), WM_KEYDOWN, VK_ESCAPE, 0};
    // While a scan runs the Exit button is disabled, and Esc with it.
    form.cmdExit.SetEnabled(false);
    form.PreTranslate(esc);
    EXPECT_FALSE(form.Scanning());
    EXPECT_FALSE(form.IsClosed());
    form.cmdExit.SetEnabled(true);
    EXPECT_TRUE(form.PreTranslate(esc));
    EXPECT_FALSE(scanned);
    EXPECT_FALSE(form.ScanEnded);
    EXPECT_TRUE(form.IsClosed());
}
