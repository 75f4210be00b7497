#include <gtest/gtest.h>
#include <regex>
#include "core/common.h"
#include "core/paths.h"
#include "core/registry.h"
#include "tests/support/testenv.h"
#include "tools/regclean/regscan.h"
#include "tools/regclean/regundo.h"

using namespace kestest;

namespace {

RegValue Value(DWORD type, const std::vector<BYTE>& data) { return RegValue{type, data}; }
RegValue Text(DWORD type, const std::wstring& s) {
    const BYTE* p = reinterpret_cast<const BYTE*>(s.c_str());
    return RegValue{type, std::vector<BYTE>(p, p + (s.size() + 1) * sizeof(wchar_t))};
}
RegValue Multi(const std::wstring& withNuls) {
    const BYTE* p = reinterpret_cast<const BYTE*>(withNuls.data());
    return RegValue{REG_MULTI_SZ, std::vector<BYTE>(p, p + withNuls.size() * sizeof(wchar_t))};
}

std::wstring Repeat(const std::wstring& s, int n) {
    std::wstring r;
    for (int i = 0; i < n; ++i) r += s;
    return r;
}

std::wstring ReadUtf16(const std::wstring& path) {
    std::string bytes = ReadTextFile(path);
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
}

}  // namespace

TEST(RegFile, ValueLinesInTheEditorsFormat) {
    struct Case { std::wstring name; RegValue value; std::wstring line; } cases[] = {
        {L"Path", Text(REG_SZ, L"C:\\A \"B\""), L"\"Path\"=\"C:\\\\A \\\"B\\\"\""},
        {L"", Text(REG_SZ, L"x"), L"@=\"x\""},
        {L"q\"\\", Text(REG_SZ, L""), L"\"q\\\"\\\\\"=\"\""},
        {L"n", Value(REG_DWORD, {0x0a, 0, 0, 0x80}), L"\"n\"=dword:8000000a"},
        {L"b", Value(REG_BINARY, {1, 0xab}), L"\"b\"=hex:01,ab"},
        {L"e", Text(REG_EXPAND_SZ, L"%A%"), L"\"e\"=hex(2):25,00,41,00,25,00,00,00"},
        {L"m", Multi(std::wstring(L"a\0b\0\0", 5)), L"\"m\"=hex(7):61,00,00,00,62,00,00,00,00,00"},
        {L"s", Text(REG_SZ, L"a\r\nb"), L"\"s\"=hex(1):61,00,0d,00,0a,00,62,00,00,00"},
        {L"long", Value(REG_BINARY, std::vector<BYTE>(30, 0x11)),
         L"\"long\"=hex:" + Repeat(L"11,", 22) + L"\\\r\n  " + Repeat(L"11,", 7) + L"11"},
        {L"t", Value(REG_SZ, {0x41, 0}), L"\"t\"=hex(1):41,00"},   // no terminating NUL
        {L"z", Value(REG_NONE, {}), L"\"z\"=hex(0):"},
        {L"w", Value(REG_QWORD, {1, 2, 3, 4, 5, 6, 7, 8}), L"\"w\"=hex(b):01,02,03,04,05,06,07,08"},
        {L"d3", Value(REG_DWORD, {1, 2, 3}), L"\"d3\"=hex(4):01,02,03"},
    };
    for (const Case& c : cases) EXPECT_EQ(regfile::ValueLine(c.name, c.value), c.line) << Narrow(c.line);
}

TEST(RegFile, RecognisesEditorFiles) {
    ScratchFolder dir;
    std::wstring v5 = L"\xFEFFWindows Registry Editor Version 5.00\r\n";
    std::string v5bytes(reinterpret_cast<const char*>(v5.data()), v5.size() * 2);
    EXPECT_TRUE(IsRegistryEditorFile(dir.WriteFile(L"a.reg", v5bytes)));
    EXPECT_TRUE(IsRegistryEditorFile(dir.WriteFile(L"b.reg", "REGEDIT4\r\n")));
    EXPECT_FALSE(IsRegistryEditorFile(dir.WriteFile(L"c.reg", "")));
    EXPECT_FALSE(IsRegistryEditorFile(dir.WriteFile(L"d.reg", "Windows Registry Editor Version 5.00")));
    EXPECT_FALSE(IsRegistryEditorFile(dir.WriteFile(L"e.reg", v5bytes.substr(0, 20))));
    EXPECT_FALSE(IsRegistryEditorFile(dir / L"missing.reg"));
}

TEST(RegUndo, OneNamedFilePerSession) {
    ScratchFolder dir;
    RegUndoFile first(dir / L"Registry Backup");
    EXPECT_FALSE(first.Created());
    std::wregex name(L".*\\\\Registry Backup\\\\Undo_\\d{4}-\\d\\d-\\d\\d_\\d\\d-\\d\\d-\\d\\d(_\\d+)?\\.reg");
    EXPECT_TRUE(std::regex_match(first.Path(), name)) << Narrow(first.Path());
    ScratchRegistry reg;
    {
        RegKey k = OpenKey(HKEY_CURRENT_USER, L"Software\\KT", true);
        SetString(k.get(), L"a", L"1");
        SetString(k.get(), L"b", L"2");
    }
    ASSERT_TRUE(first.AppendValue(HKEY_CURRENT_USER, L"HKEY_CURRENT_USER", L"\\Software\\KT", L"a"));
    ASSERT_TRUE(first.AppendValue(HKEY_CURRENT_USER, L"HKEY_CURRENT_USER", L"\\Software\\KT", L"b"));
    std::wstring text = ReadUtf16(first.Path());
    EXPECT_EQ(text, L"\xFEFFWindows Registry Editor Version 5.00\r\n\r\n"
                    L"[HKEY_CURRENT_USER\\Software\\KT]\r\n\"a\"=\"1\"\r\n\r\n"
                    L"[HKEY_CURRENT_USER\\Software\\KT]\r\n\"b\"=\"2\"\r\n\r\n");
    EXPECT_FALSE(first.AppendValue(HKEY_CURRENT_USER, L"HKEY_CURRENT_USER", L"\\Software\\KT", L"none"));

    // A second session in the same second gets a file of its own.
    RegUndoFile second(dir / L"Registry Backup");
    EXPECT_NE(second.Path(), first.Path());
}

// Importing the undo file with the registry editor puts back exactly what was deleted. The
// editor does not see this process's registry redirection, so a real scratch key is used.
TEST(RegUndo, ImportRestoresWhatWasRemoved) {
    ScratchFolder dir;
    const std::wstring base = L"Software\\KestruneTests\\Undo-" + std::to_wstring(::GetCurrentProcessId());
    struct Cleanup { std::wstring k; ~Cleanup() { DeleteKeyTree(HKEY_CURRENT_USER, k); } } cleanup{base};
    std::vector<std::pair<std::wstring, RegValue>> values = {
        {L"text", Text(REG_SZ, L"C:\\Old \"App\"\\app.exe")},
        {L"", Text(REG_SZ, L"default")},
        {L"expand", Text(REG_EXPAND_SZ, L"%SystemRoot%\\gone.dll")},
        {L"multi", Multi(std::wstring(L"one\0two\0\0", 9))},
        {L"number", Value(REG_DWORD, {0x78, 0x56, 0x34, 0x12})},
        {L"bytes", Value(REG_BINARY, std::vector<BYTE>(100, 0x5a))},
        {L"lines", Text(REG_SZ, L"a\r\nb")},
    };
    auto fill = [&](const std::wstring& path) {
        RegKey k = OpenKey(HKEY_CURRENT_USER, path, true, KEY_ALL_ACCESS);
        for (auto& [name, v] : values)
            ASSERT_EQ(::RegSetValueExW(k.get(), name.c_str(), 0, v.type, v.data.data(), static_cast<DWORD>(v.data.size())),
                      ERROR_SUCCESS);
    };
    auto check = [&](const std::wstring& path) {
        RegKey k = OpenKey(HKEY_CURRENT_USER, path, false, KEY_READ);
        ASSERT_TRUE(k) << Narrow(path);
        for (auto& [name, v] : values) {
            std::optional<RegValue> got = QueryValue(k.get(), name);
            ASSERT_TRUE(got) << Narrow(name);
            EXPECT_EQ(got->type, v.type) << Narrow(name);
            EXPECT_EQ(got->data, v.data) << Narrow(name);
        }
    };
    fill(base + L"\\Values");
    fill(base + L"\\Tree");
    fill(base + L"\\Tree\\Sub\\Deeper");

    RegUndoFile undo(dir / L"Registry Backup");
    for (auto& [name, v] : values)
        ASSERT_TRUE(undo.AppendValue(HKEY_CURRENT_USER, L"HKEY_CURRENT_USER", base + L"\\Values", name));
    ASSERT_TRUE(undo.AppendKeyTree(HKEY_CURRENT_USER, L"HKEY_CURRENT_USER", base + L"\\Tree"));
    {
        RegKey k = OpenKey(HKEY_CURRENT_USER, base + L"\\Values", false, KEY_ALL_ACCESS);
        for (auto& [name, v] : values) ::RegDeleteValueW(k.get(), name.c_str());
    }
    ASSERT_TRUE(DeleteKeyTree(HKEY_CURRENT_USER, base + L"\\Tree"));

    EXPECT_TRUE(IsRegistryEditorFile(undo.Path()));
    ASSERT_EQ(RunProgram(GetWindowsFolder() + L"\\regedit.exe", L"/s \"" + undo.Path() + L"\""), 0);
    check(base + L"\\Values");
    check(base + L"\\Tree");
    check(base + L"\\Tree\\Sub\\Deeper");
}

TEST(RegBackup, ExportChecksTheFileAndKeepsTheOldOneOnFailure) {
    ScratchFolder dir;
    std::wstring target = dir.WriteFile(L"Registry Backup\\Reg_Backup.reg", "REGEDIT4\r\nold backup\r\n");
    RegistryEditor missing;
    missing.program = (dir / L"no-such-editor.exe");
    std::wstring error;
    EXPECT_FALSE(ExportRegistry(missing, nullptr, target, error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(ReadTextFile(target), "REGEDIT4\r\nold backup\r\n");

    // An editor that ends without writing anything.
    RegistryEditor silent;
    silent.program = GetSystemFolder() + L"\\hostname.exe";
    EXPECT_FALSE(ExportRegistry(silent, nullptr, target, error));
    EXPECT_EQ(error, L"The registry editor wrote no backup file.");
    EXPECT_EQ(ReadTextFile(target), "REGEDIT4\r\nold backup\r\n");

    RegistryEditor real;
    ASSERT_TRUE(ExportRegistry(real, nullptr, target, error)) << Narrow(error);
    EXPECT_TRUE(IsRegistryEditorFile(target));
    EXPECT_FALSE(FileExists(dir / L"Registry Backup\\Reg_Backup.new.reg"));
}
