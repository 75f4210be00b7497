// Scheduled maintenance: the three tasks, their stored schedules, the next-run arithmetic and
// the texts that show a schedule. Everything here is plain logic over the settings store; the
// scheduling window, the unattended runs and the resident scheduler all use it.
//
// Date-time values are days since 30 December 1899 with the local time of day as fraction.
#pragma once
#include <windows.h>
#include <functional>
#include <optional>
#include <string>

// --- tasks ------------------------------------------------------------------------------------
enum class SchedTask { Junk = 0, Eraser = 1, Registry = 2 };
inline constexpr SchedTask kAllTasks[] = {SchedTask::Junk, SchedTask::Eraser, SchedTask::Registry};

struct SchedTaskInfo {
    const wchar_t* subkey;        // "Junk", "Eraser", "Registry"
    const wchar_t* commandSwitch; // "/CleanJunk", ...
    const wchar_t* runValue;      // Run value of a task started with Windows
    const wchar_t* logFile;       // unattended log
    const wchar_t* progressText;  // the progress window's step text
};
const SchedTaskInfo& TaskInfo(SchedTask task);

// The schedule key ("Software\Ostrel\Kestrune\Schedule" under HKEY_CURRENT_USER). The resident
// scheduler can be pointed at another key (its tests do); an empty text restores the default.
std::wstring ScheduleRoot();
void SetScheduleRootOverride(const std::wstring& root);
std::wstring TaskKey(SchedTask task);   // ScheduleRoot() + "\" + subkey

// Schedule kinds, as stored in "SchedType".
enum SchedKind { kKindMinutes = 0, kKindHours = 1, kKindDays = 2, kKindWeeks = 3, kKindMonths = 4,
                 kKindWinStart = 5, kKindWinEnd = 6 };

// --- date-time arithmetic ---------------------------------------------------------------------
struct DateTimeParts {
    int year = 1899, month = 12, day = 30, hour = 0, minute = 0, second = 0, millisecond = 0;
};
double EncodeDateTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
                      int millisecond = 0);
DateTimeParts DecodeDateTime(double value);
SYSTEMTIME DateTimePartsToSystemTime(const DateTimeParts& p);
int DaysInMonth(int year, int month);
int DayOfWeekOf(double value);          // 0 = Sunday ... 6 = Saturday
double DateOf(double value);            // the day at 00:00
double TimeOf(double value);            // the fraction of the day
double RoundToMilliseconds(double value);
inline constexpr double kOneHour = 1.0 / 24.0;

// --- parameters -------------------------------------------------------------------------------
// "Params" split at the first "|" into N (before) and P (after), each trimmed.
struct SchedParams {
    std::wstring n, p;
};
SchedParams SplitParams(const std::wstring& params);
// A whole number (optional sign, digits, blanks around); none when the text is no number.
std::optional<long long> ParseWholeNumber(const std::wstring& text);
// A day fraction written with either "." or "," as decimal separator (whatever the locale was
// when it was written), with an optional exponent; none when malformed.
std::optional<double> ParseDayFraction(const std::wstring& text);
// A day fraction as text, always with "." ("0.333333333333333" for 8:00).
std::wstring FormatDayFraction(double fraction);

// The ranges of the dialog's fields; stored numbers outside them are clamped.
struct KindRange {
    int nMin, nMax;
};
KindRange RangeOfKind(int kind);

// The next run after base for a timed kind (0..4); none for other kinds or unusable "Params".
std::optional<double> GetNextRun(int kind, const std::wstring& params, double base);

// --- texts ------------------------------------------------------------------------------------
extern const wchar_t* const kWeekdayNames[7];   // "Sunday" ... "Saturday"
// The summary shown after "Schedule:" ("Every 30 Minutes", "When Windows is Started", ...);
// none when the kind or its parameters cannot be shown.
std::optional<std::wstring> ScheduleSummary(int kind, const std::wstring& params);
// A time of day in the user's short time form (no seconds).
std::wstring ShortTimeText(double value);
// A date-time in the log timestamp form (short date, blank, long time; date alone at midnight).
std::wstring DateTimeText(double value);

// --- stored values ----------------------------------------------------------------------------
// A date-time value (8 bytes of a little-endian double). Absent: none. Stored with another
// type or size: KesError.
std::optional<double> ReadDateTimeValue(const std::wstring& key, const std::wstring& name);
void WriteDateTimeValue(const std::wstring& key, const std::wstring& name, double value);
// "SchedType" when present and 0..6; none otherwise.
std::optional<int> ReadSchedKind(const std::wstring& key);

// The next run of the task under key (writes "NextRun" = now + 1 hour when it and "LastRan"
// are both missing). None without a kind, for kinds 5 and 6, or when nothing can be computed.
std::optional<double> GetNextScan(const std::wstring& key, double now);

// The three texts of one task; an empty optional means "leave the label as it is".
struct ScheduleTexts {
    std::optional<std::wstring> schedule, lastRun, nextRun;
};
ScheduleTexts ComputeScheduleTexts(const std::wstring& key, double now);

// Default schedule for a task enabled the first time: every 5 days at 8:00, first run at the
// next midnight. Does nothing when the key already has a "SchedType".
void HandleFirstCheck(const std::wstring& key, double now);
void WriteEnabled(const std::wstring& key, bool enabled);
void DeleteNextRun(const std::wstring& key);

// --- Windows start-up entries -----------------------------------------------------------------
inline constexpr const wchar_t* kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr const wchar_t* kResidentRunValue = L"Scheduled Maintenance";
inline constexpr const wchar_t* kResidentExeName = L"Scheduled_Maintenance.exe";
inline constexpr const wchar_t* kResidentWindowClass = L"Scheduled Maintenance";
inline constexpr const wchar_t* kProgramExeName = L"Kestrune.exe";
// A path in double quotes, so that a path with blanks names one program.
std::wstring QuotedPath(const std::wstring& path);
// The Run value text of a task: "<program folder>Kestrune.exe" quoted, a blank and the switch.
std::wstring WinStartCommand(SchedTask task);
void WriteWinStart(SchedTask task);
void RemoveWinStart(SchedTask task);
// The resident scheduler's Run value: its quoted path.
std::wstring ResidentCommand();

// --- refresh message --------------------------------------------------------------------------
inline constexpr UINT kRefreshMessage = WM_USER + 2005;   // 3029
inline constexpr const wchar_t* kSchedWindowTitle = L"Scheduled Maintenance";
// Sends the refresh message to every top-level window titled "Scheduled Maintenance" (an
// open scheduling window, the resident scheduler). Hung windows are skipped after a moment.
void SendRefreshToSchedWindows();

// --- the clock --------------------------------------------------------------------------------
// Now as a date-time; tests replace the clock (an empty function restores it).
double SchedNow();
void SetSchedNowOverride(std::function<double()> now);

// "Params" of a kind from the dialog's fields: N, and P (minutes after the hour, the time of
// day as a fraction, the weekday index or the day of the month); empty for kinds 5 and 6.
std::wstring MakeParams(int kind, int n, double p);
