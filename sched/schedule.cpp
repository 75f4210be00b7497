#include "sched/schedule.h"
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <vector>
#include "core/common.h"
#include "core/errors.h"
#include "core/logs.h"
#include "core/paths.h"
#include "core/registry.h"

// --- tasks ------------------------------------------------------------------------------------
static const SchedTaskInfo kTaskInfo[] = {
    {L"Junk", L"/CleanJunk", L"Clean Junk Files at StartUp", L"JunkLog.txt", L"Removing junk and obsolete files..."},
    {L"Eraser", L"/CleanHistory", L"Erase History at StartUp", L"EraserLog.txt", L"Erasing history and cache..."},
    {L"Registry", L"/RegistryClean", L"Clean Registry at StartUp", L"RegistryLog.txt", L"Cleaning Registry..."},
};

const SchedTaskInfo& TaskInfo(SchedTask task) { return kTaskInfo[static_cast<int>(task)]; }

static std::wstring g_rootOverride;

std::wstring ScheduleRoot() {
    return g_rootOverride.empty() ? std::wstring(L"Software\\Ostrel\\Kestrune\\Schedule") : g_rootOverride;
}

void SetScheduleRootOverride(const std::wstring& root) { g_rootOverride = NormalizeKeyPath(root); }

std::wstring TaskKey(SchedTask task) { return ScheduleRoot() + L"\\" + TaskInfo(task).subkey; }

// --- date-time arithmetic ---------------------------------------------------------------------
// Day numbers: days since 1970-01-01 (civil calendar), converted to and from the serial
// numbers counted from 1899-12-30 (serial 25569 is 1970-01-01).
static constexpr long long kUnixEpochSerial = 25569;

static long long DaysFromCivil(long long y, int m, int d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153LL * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

static void CivilFromDays(long long z, int& y, int& m, int& d) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    long long yy = yoe + era * 400;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yy + (m <= 2));
}

int DaysInMonth(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 31;
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

static constexpr long long kMsPerDay = 86400000LL;

double EncodeDateTime(int year, int month, int day, int hour, int minute, int second, int millisecond) {
    long long serial = DaysFromCivil(year, month, day) + kUnixEpochSerial;
    long long ms = ((static_cast<long long>(hour) * 60 + minute) * 60 + second) * 1000LL + millisecond;
    return static_cast<double>(serial) + static_cast<double>(ms) / kMsPerDay;
}

// Splits a value into whole days and milliseconds of the day, rounded to the millisecond.
static void SplitValue(double value, long long& days, long long& ms) {
    days = static_cast<long long>(std::floor(value));
    ms = std::llround((value - static_cast<double>(days)) * kMsPerDay);
    if (ms >= kMsPerDay) { ++days; ms -= kMsPerDay; }
    if (ms < 0) ms = 0;
}

DateTimeParts DecodeDateTime(double value) {
    long long days = 0, ms = 0;
    SplitValue(value, days, ms);
    DateTimeParts p;
    CivilFromDays(days - kUnixEpochSerial, p.year, p.month, p.day);
    p.millisecond = static_cast<int>(ms % 1000);
    long long s = ms / 1000;
    p.second = static_cast<int>(s % 60);
    p.minute = static_cast<int>((s / 60) % 60);
    p.hour = static_cast<int>(s / 3600);
    return p;
}

SYSTEMTIME DateTimePartsToSystemTime(const DateTimeParts& p) {
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(p.year);
    st.wMonth = static_cast<WORD>(p.month);
    st.wDay = static_cast<WORD>(p.day);
    st.wHour = static_cast<WORD>(p.hour);
    st.wMinute = static_cast<WORD>(p.minute);
    st.wSecond = static_cast<WORD>(p.second);
    st.wMilliseconds = static_cast<WORD>(p.millisecond);
    long long days = static_cast<long long>(std::floor(EncodeDateTime(p.year, p.month, p.day)));
    // 1899-12-30 was a Saturday.
    st.wDayOfWeek = static_cast<WORD>(((days % 7) + 7 + 6) % 7);
    return st;
}

int DayOfWeekOf(double value) {
    long long days = 0, ms = 0;
    SplitValue(value, days, ms);
    return static_cast<int>(((days % 7) + 7 + 6) % 7);
}

double DateOf(double value) {
    long long days = 0, ms = 0;
    SplitValue(value, days, ms);
    return static_cast<double>(days);
}

double TimeOf(double value) {
    long long days = 0, ms = 0;
    SplitValue(value, days, ms);
    return static_cast<double>(ms) / kMsPerDay;
}

double RoundToMilliseconds(double value) {
    long long days = 0, ms = 0;
    SplitValue(value, days, ms);
    return static_cast<double>(days) + static_cast<double>(ms) / kMsPerDay;
}

// --- parameters -------------------------------------------------------------------------------
SchedParams SplitParams(const std::wstring& params) {
    SchedParams r;
    size_t bar = params.find(L'|');
    if (bar == std::wstring::npos) {
        r.n = Trim(params);
    } else {
        r.n = Trim(params.substr(0, bar));
        r.p = Trim(params.substr(bar + 1));
    }
    return r;
}

std::optional<long long> ParseWholeNumber(const std::wstring& text) {
    std::wstring t = Trim(text);
    if (t.empty()) return std::nullopt;
    size_t i = 0;
    bool negative = false;
    if (t[0] == L'+' || t[0] == L'-') { negative = t[0] == L'-'; i = 1; }
    if (i >= t.size()) return std::nullopt;
    long long v = 0;
    for (; i < t.size(); ++i) {
        if (t[i] < L'0' || t[i] > L'9') return std::nullopt;
        if (v < 1000000000000LL) v = v * 10 + (t[i] - L'0');   // larger values only get clamped
    }
    return negative ? -v : v;
}

std::optional<double> ParseDayFraction(const std::wstring& text) {
    std::wstring t = Trim(text);
    if (t.empty() || t.size() > 64) return std::nullopt;
    // Plain ASCII with "." as separator, read independently of any locale.
    std::string a;
    for (wchar_t c : t) {
        if (c == L',') c = L'.';
        if (c > 127) return std::nullopt;
        a += static_cast<char>(c);
    }
    size_t start = a[0] == '+' ? 1 : 0;
    if (start < a.size() && (a[start] == '+' || a[start] == '-') && start == 1) return std::nullopt;
    double v = 0;
    const char* first = a.data() + start;
    const char* last = a.data() + a.size();
    auto [ptr, ec] = std::from_chars(first, last, v, std::chars_format::general);
    if (ec != std::errc() || ptr != last || !std::isfinite(v)) return std::nullopt;
    return v;
}

std::wstring FormatDayFraction(double fraction) {
    wchar_t buf[64];
    std::swprintf(buf, 64, L"%.17g", fraction);   // enough digits to read back exactly
    std::wstring s = buf;
    for (auto& c : s) if (c == L',') c = L'.';
    return s;
}

KindRange RangeOfKind(int kind) {
    switch (kind) {
        case kKindMinutes: return {1, 59};
        default: return {1, 99};
    }
}

static int Clamp(long long v, int lo, int hi) {
    return static_cast<int>(std::max<long long>(lo, std::min<long long>(hi, v)));
}

// N of the parameters, clamped to the kind's range; none when it is no number.
static std::optional<int> ParamN(int kind, const SchedParams& sp) {
    auto n = ParseWholeNumber(sp.n);
    if (!n) return std::nullopt;
    KindRange r = RangeOfKind(kind);
    return Clamp(*n, r.nMin, r.nMax);
}

// P of the parameters, clamped to the kind's range; none when it is unusable.
static std::optional<double> ParamP(int kind, const SchedParams& sp) {
    switch (kind) {
        case kKindHours: {
            auto p = ParseWholeNumber(sp.p);
            if (!p) return std::nullopt;
            return Clamp(*p, 0, 59);
        }
        case kKindDays: {
            auto f = ParseDayFraction(sp.p);
            if (!f) return std::nullopt;
            double v = *f;
            if (v < 0) v = 0;
            if (v >= 1) v = v - std::floor(v);   // a whole day and more: its time of day
            return v;
        }
        case kKindWeeks: {
            auto p = ParseWholeNumber(sp.p);
            if (!p) return std::nullopt;
            return Clamp(*p, 0, 6);
        }
        case kKindMonths: {
            auto p = ParseWholeNumber(sp.p);
            if (!p) return std::nullopt;
            return Clamp(*p, 1, 31);
        }
        default:
            return 0.0;
    }
}

static double AddMilliseconds(double base, long long ms) {
    long long days = 0, baseMs = 0;
    SplitValue(base, days, baseMs);
    long long total = baseMs + ms;
    long long dayShift = total >= 0 ? total / kMsPerDay : -((-total + kMsPerDay - 1) / kMsPerDay);
    total -= dayShift * kMsPerDay;
    return static_cast<double>(days + dayShift) + static_cast<double>(total) / kMsPerDay;
}

std::optional<double> GetNextRun(int kind, const std::wstring& params, double base) {
    if (kind < kKindMinutes || kind > kKindMonths) return std::nullopt;
    if (Trim(params).empty()) return std::nullopt;
    SchedParams sp = SplitParams(params);
    auto n = ParamN(kind, sp);
    auto p = ParamP(kind, sp);
    if (!n || !p) return std::nullopt;
    switch (kind) {
        case kKindMinutes:
            return AddMilliseconds(base, *n * 60000LL);
        case kKindHours: {
            double t = AddMilliseconds(base, *n * 3600000LL);
            DateTimeParts d = DecodeDateTime(t);
            d.minute = static_cast<int>(*p);
            return EncodeDateTime(d.year, d.month, d.day, d.hour, d.minute, d.second, d.millisecond);
        }
        case kKindDays: {
            double day = DateOf(base) + *n;
            return RoundToMilliseconds(day + *p);
        }
        case kKindWeeks: {
            double d = DateOf(base) + 7.0 * *n;
            int want = static_cast<int>(*p);
            while (DayOfWeekOf(d) != want) d += 1;
            return d;
        }
        case kKindMonths: {
            DateTimeParts d = DecodeDateTime(base);
            long long months = static_cast<long long>(d.year) * 12 + (d.month - 1) + *n;
            int year = static_cast<int>(months / 12), month = static_cast<int>(months % 12) + 1;
            int day = std::min(static_cast<int>(*p), DaysInMonth(year, month));
            return EncodeDateTime(year, month, day);
        }
    }
    return std::nullopt;
}

// --- texts ------------------------------------------------------------------------------------
const wchar_t* const kWeekdayNames[7] = {L"Sunday", L"Monday", L"Tuesday", L"Wednesday",
                                         L"Thursday", L"Friday", L"Saturday"};

std::wstring ShortTimeText(double value) {
    DateTimeParts p = DecodeDateTime(TimeOf(value));
    p.year = 2000;   // a valid date: only the time of day is shown
    p.month = p.day = 1;
    SYSTEMTIME st = DateTimePartsToSystemTime(p);
    wchar_t buf[64] = {};
    if (::GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &st, nullptr, buf, 64) <= 0) {
        std::swprintf(buf, 64, L"%d:%02d", st.wHour, st.wMinute);
    }
    return buf;
}

std::wstring DateTimeText(double value) {
    return FormatTimestamp(DateTimePartsToSystemTime(DecodeDateTime(value)));
}

std::optional<std::wstring> ScheduleSummary(int kind, const std::wstring& params) {
    if (kind == kKindWinStart) return std::wstring(L"When Windows is Started");
    if (kind == kKindWinEnd) return std::wstring(L"When Windows is Shut Down");
    if (kind < kKindMinutes || kind > kKindMonths) return std::nullopt;
    SchedParams sp = SplitParams(params);
    auto n = ParamN(kind, sp);
    auto p = ParamP(kind, sp);
    if (!n || !p) return std::nullopt;
    std::wstring ns = std::to_wstring(*n);
    switch (kind) {
        case kKindMinutes: return L"Every " + ns + L" Minutes";
        case kKindHours:
            return L"Every " + ns + L" Hours at " + std::to_wstring(static_cast<int>(*p)) + L" minutes after the hour";
        case kKindDays: return L"Every " + ns + L" Days at " + ShortTimeText(*p);
        case kKindWeeks: return L"Every " + ns + L" Weeks at starting on " + kWeekdayNames[static_cast<int>(*p)];
        case kKindMonths:
            return L"Every " + ns + L" Months starting on day " + std::to_wstring(static_cast<int>(*p));
    }
    return std::nullopt;
}

// --- stored values ----------------------------------------------------------------------------
std::optional<double> ReadDateTimeValue(const std::wstring& key, const std::wstring& name) {
    RegKey k = OpenKey(HKEY_CURRENT_USER, NormalizeKeyPath(key), true);
    if (!k) return std::nullopt;
    auto v = QueryValue(k.get(), name);
    if (!v) return std::nullopt;
    if (v->type != REG_BINARY || v->data.size() != sizeof(double))
        throw KesError(L"Invalid data type for '" + name + L"'");
    double d = 0;
    std::memcpy(&d, v->data.data(), sizeof d);
    if (!std::isfinite(d)) throw KesError(L"Invalid data type for '" + name + L"'");
    return d;
}

void WriteDateTimeValue(const std::wstring& key, const std::wstring& name, double value) {
    RegKey k = OpenKeyOrThrow(HKEY_CURRENT_USER, NormalizeKeyPath(key), true);
    SetBinary(k.get(), name, &value, sizeof value);
}

std::optional<int> ReadSchedKind(const std::wstring& key) {
    RegKey k = OpenKey(HKEY_CURRENT_USER, NormalizeKeyPath(key), true);
    if (!k || !ValueExists(k.get(), L"SchedType")) return std::nullopt;
    int32_t kind = ReadRegInteger(key, L"SchedType");
    if (kind < kKindMinutes || kind > kKindWinEnd) return std::nullopt;
    return kind;
}

std::optional<double> GetNextScan(const std::wstring& key, double now) {
    auto kind = ReadSchedKind(key);
    if (!kind) return std::nullopt;
    auto lastRan = ReadDateTimeValue(key, L"LastRan");
    auto nextRun = ReadDateTimeValue(key, L"NextRun");
    if (lastRan && !nextRun && *kind <= kKindMonths)
        return GetNextRun(*kind, ReadRegString(key, L"Params"), *lastRan);
    if (!nextRun) {
        nextRun = RoundToMilliseconds(now + kOneHour);
        WriteDateTimeValue(key, L"NextRun", *nextRun);
    }
    if (*kind <= kKindMonths) return nextRun;
    return std::nullopt;
}

ScheduleTexts ComputeScheduleTexts(const std::wstring& key, double now) {
    ScheduleTexts t;
    if (!KeyExists(HKEY_CURRENT_USER, NormalizeKeyPath(key))) return t;
    auto kind = ReadSchedKind(key);
    if (kind) t.schedule = ScheduleSummary(*kind, ReadRegString(key, L"Params"));
    auto lastRan = ReadDateTimeValue(key, L"LastRan");
    t.lastRun = lastRan ? DateTimeText(*lastRan) : std::wstring(L"Never");
    if (kind == kKindWinStart) {
        t.nextRun = L"Next Time Windows Starts";
    } else if (kind == kKindWinEnd) {
        t.nextRun = L"Next Time Windows is Shut Down";
    } else if (kind) {
        auto next = GetNextScan(key, now);
        if (next) t.nextRun = *next <= now ? std::wstring(L"Overdue") : DateTimeText(*next);
    }
    return t;
}

void HandleFirstCheck(const std::wstring& key, double now) {
    RegKey k = OpenKeyOrThrow(HKEY_CURRENT_USER, NormalizeKeyPath(key), true);
    if (ValueExists(k.get(), L"SchedType")) return;
    WriteRegInteger(key, L"Enabled", 1);
    WriteRegInteger(key, L"SchedType", kKindDays);
    WriteRegString(key, L"Params", L"5|" + FormatDayFraction(8.0 / 24.0));
    WriteDateTimeValue(key, L"NextRun", DateOf(now) + 1);
}

void WriteEnabled(const std::wstring& key, bool enabled) { WriteRegInteger(key, L"Enabled", enabled ? 1 : 0); }

void DeleteNextRun(const std::wstring& key) { DeleteRegValue(key, L"NextRun"); }

// --- Windows start-up entries -----------------------------------------------------------------
std::wstring QuotedPath(const std::wstring& path) { return L"\"" + path + L"\""; }

std::wstring WinStartCommand(SchedTask task) {
    return QuotedPath(ProgramFolder() + kProgramExeName) + L" " + TaskInfo(task).commandSwitch;
}

void WriteWinStart(SchedTask task) { WriteRegString(kRunKey, TaskInfo(task).runValue, WinStartCommand(task)); }

void RemoveWinStart(SchedTask task) { DeleteRegValue(kRunKey, TaskInfo(task).runValue); }

std::wstring ResidentCommand() { return QuotedPath(ProgramFolder() + kResidentExeName); }

// --- refresh message --------------------------------------------------------------------------
static BOOL CALLBACK CollectSchedWindow(HWND hwnd, LPARAM lp) {
    wchar_t title[64] = {};
    if (::GetWindowTextW(hwnd, title, 64) > 0 && std::wcscmp(title, kSchedWindowTitle) == 0)
        reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
    return TRUE;
}

void SendRefreshToSchedWindows() {
    std::vector<HWND> windows;
    ::EnumWindows(CollectSchedWindow, reinterpret_cast<LPARAM>(&windows));
    for (HWND w : windows) {
        DWORD_PTR result = 0;
        ::SendMessageTimeoutW(w, kRefreshMessage, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
    }
}

// --- the clock --------------------------------------------------------------------------------
static std::function<double()> g_now;

double SchedNow() { return g_now ? g_now() : NowDateTime(); }

void SetSchedNowOverride(std::function<double()> now) { g_now = std::move(now); }

std::wstring MakeParams(int kind, int n, double p) {
    std::wstring ns = std::to_wstring(n);
    switch (kind) {
        case kKindMinutes: return ns;
        case kKindDays: return ns + L"|" + FormatDayFraction(p);
        case kKindHours:
        case kKindWeeks:
        case kKindMonths: return ns + L"|" + std::to_wstring(static_cast<int>(std::lround(p)));
        default: return std::wstring();
    }
}
