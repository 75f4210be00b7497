#include "tools/uninstall/uninstrule.h"
#include "core/common.h"
#include "core/errors.h"
#include "core/paths.h"
#include "core/registry.h"
#include "tools/regclean/regundo.h"

namespace {

std::wstring StripQuotes(std::wstring s) {
    s = Trim(s);
    if (!s.empty() && s.front() == L'"') s.erase(0, 1);
    if (!s.empty() && s.back() == L'"') s.pop_back();
    return Trim(s);
}

std::vector<std::wstring> SearchFolders() {
    std::vector<std::wstring> folders = {GetSystemFolder(), GetWindowsFolder(), GetWindowsFolder() + L"\\System"};
    DWORD n = ::GetEnvironmentVariableW(L"PATH", nullptr, 0);
    if (n > 0) {
        std::wstring path(n, L'\0');
        n = ::GetEnvironmentVariableW(L"PATH", &path[0], n);
        path.resize(n);
        size_t start = 0;
        while (start <= path.size()) {
            size_t end = path.find(L';', start);
            if (end == std::wstring::npos) end = path.size();
            std::wstring folder = StripQuotes(ExpandEnvironment(path.substr(start, end - start)));
            if (!folder.empty()) folders.push_back(ExcludeTrailingBackslash(folder));
            start = end + 1;
        }
    }
    return folders;
}

// The existing file a program name stands for, or empty.
std::wstring ResolveProgram(const std::wstring& name) {
    std::wstring token = StripQuotes(name);
    if (token.empty()) return L"";
    std::vector<std::wstring> names = {token};
    if (ExtractFileExt(token).empty()) names.push_back(token + L".exe");
    if (token.find_first_of(L"\\/:") != std::wstring::npos) {
        for (const std::wstring& n : names)
            if (FileExists(n)) return n;
        return L"";
    }
    for (const std::wstring& folder : SearchFolders())
        for (const std::wstring& n : names) {
            std::wstring full = IncludeTrailingBackslash(folder) + n;
            if (FileExists(full)) return full;
        }
    return L"";
}

}  // namespace

std::wstring FindCommandProgram(const std::wstring& command, std::wstring* arguments) {
    std::wstring s = Trim(ExpandEnvironment(Trim(command)));
    if (arguments) arguments->clear();
    if (s.empty()) return L"";
    if (s[0] == L'"') {
        size_t close = s.find(L'"', 1);
        std::wstring token = s.substr(1, close == std::wstring::npos ? std::wstring::npos : close - 1);
        if (arguments && close != std::wstring::npos) *arguments = s.substr(close + 1);
        return ResolveProgram(token);
    }
    for (size_t p = 0; p <= s.size(); ++p) {
        if (p < s.size() && s[p] != L' ' && s[p] != L'\t') continue;
        if (p == 0) continue;
        std::wstring found = ResolveProgram(s.substr(0, p));
        if (!found.empty()) {
            if (arguments) *arguments = s.substr(p);
            return found;
        }
    }
    return L"";
}

bool IsOrphanedUninstall(const std::wstring& command) {
    if (UpperCase(command).find(L"RUNDLL") != std::wstring::npos) return false;
    std::wstring arguments;
    std::wstring program = FindCommandProgram(command, &arguments);
    if (program.empty()) return true;
    // A file the uninstaller is given, such as its installation log: the last drive-qualified
    // path among the arguments.
    size_t colon = arguments.find_last_of(L':');
    if (colon == std::wstring::npos || colon == 0) return false;
    // A path given as the value of a switch ("/LOG=C:\\x.txt") is something the uninstaller
    // writes, not something it needs.
    size_t tokenStart = arguments.find_last_of(L" \t", colon - 1);
    tokenStart = tokenStart == std::wstring::npos ? 0 : tokenStart + 1;
    if (arguments[tokenStart] == L'/') return false;
    std::wstring second = arguments.substr(colon - 1);
    size_t quote = second.find(L'"');
    if (quote != std::wstring::npos) second.erase(quote);
    second = Trim(second);
    if (second.find(L'/') != std::wstring::npos || second.size() < 3 || second[2] != L'\\') return false;
    if (SameText(second, program)) return false;
    if (FileExists(second) || DirectoryExists(second)) return false;
    // An unquoted path followed by more arguments: any blank-separated start that exists counts.
    for (size_t p = second.find(L' '); p != std::wstring::npos; p = second.find(L' ', p + 1)) {
        std::wstring part = second.substr(0, p);
        if (FileExists(part)) return false;
    }
    return true;
}

static std::wstring ReadText(HKEY key, const std::wstring& name, bool& present) {
    std::optional<RegValue> v = QueryValue(key, name);
    present = v && (v->type == REG_SZ || v->type == REG_EXPAND_SZ);
    return present ? RegDataToString(v->data) : std::wstring();
}

std::vector<UninstallRow> FindOrphanedEntries(HKEY machine) {
    RegKey list = OpenKey(machine, kUninstallKey, true, KEY_READ | KEY_WRITE);
    if (!list) throw KesError(L"Failed to open key \\" + std::wstring(kUninstallKey));
    std::vector<UninstallRow> rows;
    for (const std::wstring& name : EnumSubkeyNames(list.get())) {
        RegKey entry = OpenKey(list.get(), name, false, KEY_READ);
        if (!entry) continue;
        bool present = false;
        std::wstring display = ReadText(entry.get(), L"DisplayName", present);
        if (!present) continue;
        if (UpperCase(display).find(L"MICROSOFT OFFICE 2000") != std::wstring::npos) continue;
        if (UpperCase(name) == L"INETFIND") continue;
        std::wstring command = ReadText(entry.get(), L"UninstallString", present);
        if (IsOrphanedUninstall(command)) rows.push_back({display, name, command});
    }
    return rows;
}

bool IsPlainSubkeyName(const std::wstring& name) {
    return !Trim(name).empty() && name.find(L'\\') == std::wstring::npos;
}

bool RemoveUninstallEntry(HKEY machine, const std::wstring& keyName, RegUndoFile& undo, std::wstring& error) {
    if (!IsPlainSubkeyName(keyName)) {
        error = L"Not a single entry of the uninstall list: " + keyName;
        return false;
    }
    std::wstring path = std::wstring(kUninstallKey) + L"\\" + keyName;
    if (!KeyExists(machine, path)) {
        error = L"The entry no longer exists.";
        return false;
    }
    if (!undo.AppendKeyTree(machine, L"HKEY_LOCAL_MACHINE", path)) {
        error = undo.LastError();
        return false;
    }
    if (!DeleteKeyTree(machine, path)) {
        error = L"The registry refused to delete the entry.";
        return false;
    }
    return true;
}
