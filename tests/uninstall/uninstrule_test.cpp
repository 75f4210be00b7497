#include <gtest/gtest.h>
#include <algorithm>
#include "core/registry.h"
#include "tests/support/testenv.h"
#include "tools/regclean/regundo.h"
#include "tools/uninstall/uninstrule.h"

using namespace kestest;

namespace {

std::wstring ReadUtf16(const std::wstring& path) {
    std::string bytes = ReadTextFile(path);
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
}

void AddEntry(const std::wstring& name, const wchar_t* display, const wchar_t* command) {
    RegKey k = OpenKey(HKEY_LOCAL_MACHINE, std::wstring(kUninstallKey) + L"\\" + name, true);
    if (display) SetString(k.get(), L"DisplayName", display);
    if (command) SetString(k.get(), L"UninstallString", command);
}

}  // namespace

TEST(UninstallRule, JudgesTheProgramTheCommandStarts) {
    ScratchFolder dir;
    const std::wstring s = dir.path();
    dir.WriteFile(L"App\\uninst.exe", "MZ");
    dir.WriteFile(L"Program Files X\\App\\uninst.exe", "MZ");
    dir.WriteFile(L"App\\remove.bat", "@echo off\r\n");
    dir.WriteFile(L"App\\DeIsL1.isu", "log");
    ::SetEnvironmentVariableW(L"KES_UNTEST", (s + L"App").c_str());
    struct Case { std::wstring command; bool orphaned; } cases[] = {
        {L"", true},
        {L"   ", true},
        {s + L"App\\uninst.exe", false},
        {s + L"App\\gone.exe", true},
        {L"\"" + s + L"Program Files X\\App\\uninst.exe\"", false},
        {L"\"" + s + L"Program Files X\\App\\uninst.exe\" /S", false},
        {s + L"Program Files X\\App\\uninst.exe /S", false},          // unquoted path with a blank
        {s + L"Program Files X\\App\\gone.exe /S", true},
        {s + L"App\\uninst.exe -f\"" + s + L"App\\DeIsL1.isu\"", false},
        {s + L"App\\uninst.exe -f\"" + s + L"App\\Gone.isu\"", true},     // the file it is given is gone
        {s + L"App\\uninst.exe /LOG=" + s + L"gone.txt", false},          // a switch, not a file
        {L"RunDll32 gone.dll,Uninstall", false},
        {L"rundll32.exe setupapi,InstallHinfSection DefaultUninstall 132 X:\\gone.inf", false},
        {L"MsiExec.exe /X{11111111-2222-3333-4444-555555555555}", false},  // found in the system folder
        {L"msiexec /I{11111111-2222-3333-4444-555555555555}", false},      // ".exe" added
        {L"NoSuchUninstaller.exe /X{11111111-2222-3333-4444-555555555555}", true},
        {L"regedit.exe /s x", false},                                    // the Windows folder
        {L"%KES_UNTEST%\\uninst.exe", false},
        {L"\"%KES_UNTEST%\\uninst.exe\" /S", false},
        {L"%KES_UNTEST%\\gone.exe", true},
        {s + L"App\\remove.bat", false},                                 // a batch file that exists
        {s + L"App\\gone.bat", true},
        {s + L"App\\uninst /S", false},                                  // ".exe" added
        {s + L"App", true},                                              // a folder is not a program
    };
    for (const Case& c : cases) EXPECT_EQ(IsOrphanedUninstall(c.command), c.orphaned) << Narrow(c.command);
    ::SetEnvironmentVariableW(L"KES_UNTEST", nullptr);

    std::wstring args;
    EXPECT_EQ(FindCommandProgram(s + L"Program Files X\\App\\uninst.exe /S -x", &args),
              s + L"Program Files X\\App\\uninst.exe");
    EXPECT_EQ(args, L" /S -x");
}

TEST(UninstallList, ListsOnlyOrphansWithADisplayName) {
    ScratchFolder dir;
    dir.WriteFile(L"Good\\uninst.exe", "MZ");
    ScratchRegistry reg(true);
    AddEntry(L"Good", L"Good App", (dir.path() + L"Good\\uninst.exe").c_str());
    AddEntry(L"Dead", L"Dead App", (dir.path() + L"Dead\\uninst.exe").c_str());
    AddEntry(L"NoName", nullptr, L"C:\\gone\\uninst.exe");
    AddEntry(L"Office", L"Microsoft Office 2000 Premium", L"C:\\gone\\setup.exe");
    AddEntry(L"InetFind", L"Internet Find", L"C:\\gone\\find.exe");
    AddEntry(L"NoCommand", L"Half Installed", nullptr);
    {
        RegKey k = OpenKey(HKEY_LOCAL_MACHINE, std::wstring(kUninstallKey) + L"\\Odd", true);
        SetDword(k.get(), L"DisplayName", 7);   // not text: treated as missing
    }
    std::vector<UninstallRow> rows = FindOrphanedEntries(HKEY_LOCAL_MACHINE);
    std::vector<std::wstring> names;
    for (const UninstallRow& r : rows) names.push_back(r.keyName);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::wstring>{L"Dead", L"NoCommand"}));
    for (const UninstallRow& r : rows)
        if (r.keyName == L"Dead") {
            EXPECT_EQ(r.displayName, L"Dead App");
            EXPECT_EQ(r.uninstallString, dir.path() + L"Dead\\uninst.exe");
        }
}

TEST(UninstallList, RemovalSavesTheWholeEntryFirstAndRefusesOtherKeys) {
    ScratchFolder dir;
    ScratchRegistry reg(true);
    AddEntry(L"Dead", L"Dead App", L"C:\\gone\\uninst.exe");
    AddEntry(L"Dead\\Extra", L"inner", nullptr);
    AddEntry(L"Other", L"Other App", L"C:\\gone\\other.exe");
    RegUndoFile undo(dir / L"Registry Backup");
    std::wstring error;
    for (const wchar_t* bad : {L"", L"Dead\\Extra", L"..\\Uninstall", L"Nowhere"}) {
        EXPECT_FALSE(RemoveUninstallEntry(HKEY_LOCAL_MACHINE, bad, undo, error)) << Narrow(bad);
        EXPECT_FALSE(error.empty());
    }
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, std::wstring(kUninstallKey) + L"\\Dead\\Extra"));
    ASSERT_TRUE(RemoveUninstallEntry(HKEY_LOCAL_MACHINE, L"Dead", undo, error)) << Narrow(error);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, std::wstring(kUninstallKey) + L"\\Dead"));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, std::wstring(kUninstallKey) + L"\\Other"));
    std::wstring text = ReadUtf16(undo.Path());
    const std::wstring key = L"[HKEY_LOCAL_MACHINE\\" + std::wstring(kUninstallKey) + L"\\Dead";
    EXPECT_NE(text.find(key + L"]\r\n\"DisplayName\"=\"Dead App\"\r\n\"UninstallString\"=\"C:\\\\gone\\\\uninst.exe\"\r\n"),
              std::wstring::npos) << Narrow(text);
    EXPECT_NE(text.find(key + L"\\Extra]\r\n\"DisplayName\"=\"inner\"\r\n"), std::wstring::npos);
}
