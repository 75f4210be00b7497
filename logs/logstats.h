// What the logs window shows, as plain functions: the statistics counters and their totals,
// the reset groups, and the log files beside the executable.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The ten counters of the Logs key, read as unsigned 32-bit values (a counter past 2 GB is
// still a positive total). Sums are formed in 64 bits.
struct LogStatistics {
    uint32_t junkBytes = 0, junkFiles = 0, eraserBytes = 0, shortBytes = 0, shortFixed = 0, shortRemoved = 0,
             uninItems = 0, dupeBytes = 0, dupeFiles = 0, regRefs = 0;
    uint64_t HistoricalFiles() const { return uint64_t{junkFiles} + shortRemoved + dupeFiles; }
    uint64_t HistoricalBytes() const { return uint64_t{junkBytes} + eraserBytes + shortBytes + dupeBytes; }
};
LogStatistics ReadStatistics();

// "1,024,000 bytes. (1.00 megabytes)"
std::wstring SpaceText(uint64_t bytes);
std::wstring CountText(uint64_t count);

// The menu's reset groups and the counters each one deletes.
enum class StatGroup { Junk, Privacy, Shortcuts, Uninstallers, Dupes, Registry, All };
std::vector<std::wstring> CountersOfGroup(StatGroup group);
void ResetStatistics(StatGroup group);

// --- log files --------------------------------------------------------------------------------
inline constexpr const wchar_t* kNoEventsLogged = L"No events logged";
// The path of a log in the program folder whose name equals fileName regardless of letter
// case; none when there is no such file.
std::optional<std::wstring> FindLogFile(const std::wstring& fileName);
// The whole text of a log (ANSI code page), as it is in the file.
std::wstring ReadLogText(const std::wstring& path);
// Deletes the log; false (with the system's reason in `error`) when the file is still there.
bool DeleteLogFile(const std::wstring& fileName, std::wstring& error);
