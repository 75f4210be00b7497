// Operation logs beside the executable and the statistics counters.
#pragma once
#include <windows.h>
#include <cstdint>
#include <string>
#include <vector>

// Log file names, spelled as they are written.
inline constexpr const wchar_t* kLogManualJunk = L"Manual_Junk_Log.txt";
inline constexpr const wchar_t* kLogJunk = L"JunkLog.txt";
inline constexpr const wchar_t* kLogManualPrivacy = L"Manual_Privacy_Log.txt";
inline constexpr const wchar_t* kLogEraser = L"EraserLog.txt";
inline constexpr const wchar_t* kLogManualRegistry = L"Manual_Registry_Log.txt";
inline constexpr const wchar_t* kLogRegistry = L"RegistryLog.txt";
inline constexpr const wchar_t* kLogManualShortcuts = L"Manual_ShortCuts_Log.txt";
inline constexpr const wchar_t* kLogManualUninstallers = L"Manual_Uninstallers_Log.txt";
inline constexpr const wchar_t* kLogManualDupes = L"Manual_Dupes_Log.txt";

inline constexpr const wchar_t* kLogsKey = L"\\Software\\Ostrel\\Kestrune\\Logs";

// Appends text + CR LF (ANSI code page) to the file in the program folder, opening and closing
// it for the one line. Throws KesError when the line cannot be written.
void WriteLogLine(const std::wstring& fileName, const std::wstring& text);
std::wstring LogFilePath(const std::wstring& fileName);

// --- formats ----------------------------------------------------------------------------------
// Bytes with the regional thousands separator, no decimals ("1,536,000").
std::wstring FormatBytes(int64_t bytes);
// Bytes / 1,024,000 with thousands separators and two decimals ("1.50").
std::wstring FormatMegabytes(int64_t bytes);
// "TOTAL SPACE RECOVERED: <bytes> bytes (<megabytes> megabytes.)"
std::wstring TotalSpaceLine(int64_t bytes);
// The eraser's: the fixed zero text when nothing was recovered.
std::wstring EraserTotalSpaceLine(int64_t bytes);

// The process's date and time formats (user's regional short date / long time at start).
void SetProcessDateTimeFormats(const std::wstring& shortDate, const std::wstring& longTime);
// Formats a local time with the process formats ("yyyy/mm/dd", "hh:nn", ... pictures).
std::wstring FormatDate(const SYSTEMTIME& st);
std::wstring FormatTime(const SYSTEMTIME& st);
// Short date, a blank, long time; the time left out at exactly midnight.
std::wstring FormatTimestamp(const SYSTEMTIME& st);
std::wstring TimestampNow();

// --- blocks -----------------------------------------------------------------------------------
inline constexpr const wchar_t* kLogSeparator = L"========================================";
// separator; heading + timestamp; separator; blank
void WriteSessionOpen(const std::wstring& file, const std::wstring& heading);
// blank; separator; heading + timestamp; totals...; separator; blank
void WriteSessionClose(const std::wstring& file, const std::wstring& heading, const std::vector<std::wstring>& totals);
// blank; separator; "OPERATION START: " + timestamp; separator; (blank when junk)
void WriteOperationStart(const std::wstring& file, bool junk);
// (blank when junk) separator; "OPERATION COMPLETE: " + timestamp; totals...; separator; (blank when junk)
void WriteOperationComplete(const std::wstring& file, const std::vector<std::wstring>& totals, bool junk);

// --- counters ---------------------------------------------------------------------------------
inline constexpr const wchar_t* kCounterNames[] = {L"JunkBytes", L"JunkFiles", L"EraserBytes", L"ShortBytes",
    L"ShortFixed", L"ShortRemoved", L"UninItems", L"DupeBytes", L"DupeFiles", L"RegRefs"};
// Adds to a DWORD counter of the Logs key. The sum is computed in 64 bits and held at the
// DWORD's top (4,294,967,295) instead of wrapping; a negative amount is ignored.
void AddToCounter(const std::wstring& name, int64_t amount);
// The counter read as unsigned (0 when absent).
uint32_t ReadCounter(const std::wstring& name);
