#include "logs/logstats.h"
#include <windows.h>
#include "core/common.h"
#include "core/errors.h"
#include "core/logs.h"
#include "core/paths.h"
#include "core/registry.h"
#include "core/winhandle.h"

LogStatistics ReadStatistics() {
    LogStatistics s;
    s.junkBytes = ReadCounter(L"JunkBytes");
    s.junkFiles = ReadCounter(L"JunkFiles");
    s.eraserBytes = ReadCounter(L"EraserBytes");
    s.shortBytes = ReadCounter(L"ShortBytes");
    s.shortFixed = ReadCounter(L"ShortFixed");
    s.shortRemoved = ReadCounter(L"ShortRemoved");
    s.uninItems = ReadCounter(L"UninItems");
    s.dupeBytes = ReadCounter(L"DupeBytes");
    s.dupeFiles = ReadCounter(L"DupeFiles");
    s.regRefs = ReadCounter(L"RegRefs");
    return s;
}

std::wstring SpaceText(uint64_t bytes) {
    int64_t b = static_cast<int64_t>(bytes);
    return FormatBytes(b) + L" bytes. (" + FormatMegabytes(b) + L" megabytes)";
}

std::wstring CountText(uint64_t count) { return std::to_wstring(count); }

std::vector<std::wstring> CountersOfGroup(StatGroup group) {
    switch (group) {
        case StatGroup::Junk: return {L"JunkBytes", L"JunkFiles"};
        case StatGroup::Privacy: return {L"EraserBytes"};
        case StatGroup::Shortcuts: return {L"ShortBytes", L"ShortRemoved", L"ShortFixed"};
        case StatGroup::Uninstallers: return {L"UninItems"};
        case StatGroup::Dupes: return {L"DupeBytes", L"DupeFiles"};
        case StatGroup::Registry: return {L"RegRefs"};
        case StatGroup::All: break;
    }
    return std::vector<std::wstring>(std::begin(kCounterNames), std::end(kCounterNames));
}

void ResetStatistics(StatGroup group) {
    for (const auto& name : CountersOfGroup(group)) DeleteRegValue(kLogsKey, name);
}

std::optional<std::wstring> FindLogFile(const std::wstring& fileName) {
    // Only a plain file name is looked up, never a path or a pattern.
    if (fileName.empty() || fileName.find_first_of(L"\\/:*?") != std::wstring::npos) return std::nullopt;
    std::wstring folder = ProgramFolder();
    WIN32_FIND_DATAW fd;
    FindHandle h(::FindFirstFileW((folder + L"*").c_str(), &fd));
    if (!h.valid()) return std::nullopt;
    do {
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        if (SameText(fd.cFileName, fileName)) return folder + fd.cFileName;
    } while (::FindNextFileW(h.get(), &fd));
    return std::nullopt;
}

std::wstring ReadLogText(const std::wstring& path) {
    UniqueHandle h(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h) ThrowSystemError(L"Cannot read the log file " + path, ::GetLastError());
    std::string bytes;
    char buf[65536];
    DWORD n = 0;
    while (::ReadFile(h.get(), buf, sizeof buf, &n, nullptr) && n) bytes.append(buf, n);
    if (bytes.empty()) return std::wstring();
    int len = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(len), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), len);
    return text;
}

bool DeleteLogFile(const std::wstring& fileName, std::wstring& error) {
    error.clear();
    auto path = FindLogFile(fileName);
    if (!path) return true;
    if (::DeleteFileW(path->c_str())) return true;
    DWORD code = ::GetLastError();
    if (!FileExists(*path)) return true;
    error = SystemErrorText(code);
    return false;
}
