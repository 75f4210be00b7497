#include <gtest/gtest.h>
#include <cstring>
#include "core/errors.h"
#include "core/paths.h"
#include "core/registry.h"
#include "sched/schedule.h"
#include "tests/support/testenv.h"

namespace {

double DT(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
    return EncodeDateTime(y, mo, d, h, mi, s, ms);
}

std::string Show(double v) {
    DateTimeParts p = DecodeDateTime(v);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d.%03d", p.year, p.month, p.day, p.hour, p.minute,
                  p.second, p.millisecond);
    return buf;
}

TEST(ScheduleDateTime, EncodingMatchesTheDayCountAndRoundTrips) {
    EXPECT_EQ(DT(1899, 12, 30), 0.0);
    EXPECT_EQ(DT(1900, 1, 1), 2.0);
    EXPECT_EQ(DT(2000, 1, 1), 36526.0);
    EXPECT_DOUBLE_EQ(DT(2024, 1, 10, 12), 45301.5);
    for (double v : {DT(2024, 2, 29, 23, 59, 59, 999), DT(1999, 12, 31, 0, 0, 0, 1), DT(2100, 3, 1, 8)}) {
        DateTimeParts p = DecodeDateTime(v);
        EXPECT_EQ(Show(EncodeDateTime(p.year, p.month, p.day, p.hour, p.minute, p.second, p.millisecond)), Show(v));
    }
    EXPECT_EQ(DayOfWeekOf(DT(2024, 1, 10)), 3);   // a Wednesday
    EXPECT_EQ(DayOfWeekOf(DT(1899, 12, 30)), 6);  // a Saturday
    EXPECT_EQ(DaysInMonth(2024, 2), 29);
    EXPECT_EQ(DaysInMonth(1900, 2), 28);
    EXPECT_EQ(DaysInMonth(2000, 2), 29);
}

TEST(ScheduleDateTime, StoredAsEightLittleEndianBytes) {
    kestest::ScratchRegistry reg;
    const std::wstring key = L"Software\\Ostrel\\Kestrune\\Schedule\\Junk";
    double v = DT(2024, 1, 10, 14, 20, 5, 250);
    WriteDateTimeValue(key, L"LastRan", v);
    RegKey k = OpenKey(HKEY_CURRENT_USER, key, false);
    auto raw = QueryValue(k.get(), L"LastRan");
    ASSERT_TRUE(raw);
    EXPECT_EQ(raw->type, static_cast<DWORD>(REG_BINARY));
    ASSERT_EQ(raw->data.size(), 8u);
    double back = 0;
    std::memcpy(&back, raw->data.data(), 8);
    EXPECT_EQ(back, v);
    EXPECT_EQ(*ReadDateTimeValue(key, L"LastRan"), v);
    EXPECT_FALSE(ReadDateTimeValue(key, L"NextRun"));
    // A value of another size is a broken value, reported as such (never read past its end).
    SetBinary(k.get(), L"NextRun", "abc", 3);
    EXPECT_THROW(ReadDateTimeValue(key, L"NextRun"), KesError);
}

struct NextRunCase {
    const char* what;
    int kind;
    const wchar_t* params;
    double base;
    std::optional<double> expected;
};

TEST(ScheduleNextRun, Table) {
    const double eight = 8.0 / 24.0;
    const std::wstring fiveDaysAtEight = L"5|" + FormatDayFraction(eight);
    const NextRunCase cases[] = {
        {"minutes", 0, L"30", DT(2024, 1, 10, 23, 45), DT(2024, 1, 11, 0, 15)},
        {"minutes across a year end", 0, L"20|", DT(2023, 12, 31, 23, 50, 30), DT(2024, 1, 1, 0, 10, 30)},
        {"minutes above the range are clamped", 0, L"90", DT(2024, 1, 10, 10), DT(2024, 1, 10, 10, 59)},
        {"hours keep the seconds", 1, L"3|15", DT(2024, 1, 10, 22, 50, 10), DT(2024, 1, 11, 1, 15, 10)},
        {"hours, minutes out of range", 1, L"1|75", DT(2024, 1, 10, 10, 0), DT(2024, 1, 10, 11, 59)},
        {"days at 8:00", 2, fiveDaysAtEight.c_str(), DT(2024, 1, 10, 14, 20), DT(2024, 1, 15, 8, 0)},
        {"days into a leap day", 2, L"1|0.5", DT(2024, 2, 28, 23, 0), DT(2024, 2, 29, 12, 0)},
        {"days, fraction with a comma", 2, L"2|0,75", DT(2024, 3, 30, 1, 0), DT(2024, 4, 1, 18, 0)},
        {"days, fraction with an exponent", 2, L"1|3.47222222222222E-5", DT(2024, 1, 1), DT(2024, 1, 2, 0, 0, 3)},
        // Wall-clock arithmetic: 8:00 stays 8:00 over a change of summer time (EU, 31 March 2024).
        {"days over a clock change", 2, fiveDaysAtEight.c_str(), DT(2024, 3, 29, 9, 0), DT(2024, 4, 3, 8, 0)},
        {"weeks advanced to the weekday", 3, L"2|1", DT(2024, 1, 10, 9, 30), DT(2024, 1, 29)},
        {"weeks on the same weekday", 3, L"1|3", DT(2024, 1, 10, 9, 30), DT(2024, 1, 17)},
        {"weeks, weekday out of range", 3, L"1|9", DT(2024, 1, 10), DT(2024, 1, 20)},
        {"months into February", 4, L"1|15", DT(2024, 1, 31, 17, 0), DT(2024, 2, 15)},
        {"months, day 31 in a 30-day month", 4, L"2|31", DT(2024, 2, 10), DT(2024, 4, 30)},
        {"months, day 30 in February", 4, L"1|30", DT(2023, 1, 5), DT(2023, 2, 28)},
        {"months across a year", 4, L"13|1", DT(2024, 12, 31), DT(2026, 1, 1)},
        {"months, leap day", 4, L"12|29", DT(2023, 2, 1), DT(2024, 2, 29)},
        {"no parameters", 2, L"", DT(2024, 1, 1), std::nullopt},
        {"garbage", 0, L"abc", DT(2024, 1, 1), std::nullopt},
        {"days without a time", 2, L"5|", DT(2024, 1, 1), std::nullopt},
        {"start-up kind", 5, L"", DT(2024, 1, 1), std::nullopt},
        {"unknown kind", 9, L"1|1", DT(2024, 1, 1), std::nullopt},
    };
    for (const auto& c : cases) {
        auto got = GetNextRun(c.kind, c.params, c.base);
        ASSERT_EQ(got.has_value(), c.expected.has_value()) << c.what;
        if (got) {
            EXPECT_EQ(Show(*got), Show(*c.expected)) << c.what;
        }
    }
}

TEST(ScheduleNextRun, ResultIsInWholeMilliseconds) {
    double base = DT(2024, 1, 10, 10) + 0.4 / 86400000.0;
    double got = *GetNextRun(0, L"1", base);
    EXPECT_EQ(got, RoundToMilliseconds(got));
    EXPECT_EQ(Show(got), "2024-01-10 10:01:00.000");
}

TEST(ScheduleParams, FractionsReadWithEitherSeparator) {
    EXPECT_EQ(FormatDayFraction(0.5), L"0.5");
    EXPECT_NEAR(*ParseDayFraction(FormatDayFraction(1.0 / 3.0)), 1.0 / 3.0, 1e-12);
    EXPECT_DOUBLE_EQ(*ParseDayFraction(L"0,333333333333333"), 0.333333333333333);
    EXPECT_DOUBLE_EQ(*ParseDayFraction(L" 0.25 "), 0.25);
    for (const wchar_t* bad : {L"", L"x", L"0.5x", L"1e", L"--1", L"."}) EXPECT_FALSE(ParseDayFraction(bad)) << bad;
    EXPECT_EQ(*ParseWholeNumber(L" 42 "), 42);
    EXPECT_FALSE(ParseWholeNumber(L"4 2"));
    EXPECT_FALSE(ParseWholeNumber(L""));
}

TEST(ScheduleTexts, Summaries) {
    struct {
        int kind;
        const wchar_t* params;
        const wchar_t* text;
    } cases[] = {
        {0, L"30", L"Every 30 Minutes"},
        {1, L"5|30", L"Every 5 Hours at 30 minutes after the hour"},
        {3, L"1|0", L"Every 1 Weeks at starting on Sunday"},
        {3, L"2|6", L"Every 2 Weeks at starting on Saturday"},
        {4, L"3|15", L"Every 3 Months starting on day 15"},
        {5, L"", L"When Windows is Started"},
        {6, L"", L"When Windows is Shut Down"},
    };
    for (const auto& c : cases) EXPECT_EQ(ScheduleSummary(c.kind, c.params).value_or(L"-"), c.text);
    std::wstring days = ScheduleSummary(2, L"5|" + FormatDayFraction(8.0 / 24.0)).value_or(L"");
    EXPECT_EQ(days, L"Every 5 Days at " + ShortTimeText(8.0 / 24.0));
    EXPECT_NE(days.find(L"8"), std::wstring::npos);
    EXPECT_FALSE(ScheduleSummary(2, L"x|y"));
    EXPECT_FALSE(ScheduleSummary(7, L""));
}

class ScheduleStore : public ::testing::Test {
protected:
    kestest::ScratchRegistry reg;
    const std::wstring key = TaskKey(SchedTask::Junk);
    const double now = DT(2024, 1, 10, 14, 20);
};

TEST_F(ScheduleStore, FirstCheckGivesTheDefaultScheduleOnce) {
    HandleFirstCheck(key, now);
    EXPECT_EQ(ReadRegInteger(key, L"Enabled"), 1);
    EXPECT_EQ(ReadRegInteger(key, L"SchedType"), 2);
    auto sp = SplitParams(ReadRegString(key, L"Params"));
    EXPECT_EQ(sp.n, L"5");
    EXPECT_NEAR(*ParseDayFraction(sp.p), 1.0 / 3.0, 1e-12);
    EXPECT_EQ(Show(*ReadDateTimeValue(key, L"NextRun")), "2024-01-11 00:00:00.000");
    auto texts = ComputeScheduleTexts(key, now);
    EXPECT_EQ(texts.schedule.value_or(L""), L"Every 5 Days at " + ShortTimeText(1.0 / 3.0));
    EXPECT_EQ(texts.lastRun.value_or(L""), L"Never");
    EXPECT_EQ(texts.nextRun.value_or(L""), DateTimeText(DT(2024, 1, 11)));
    // A second first check changes nothing.
    WriteRegString(key, L"Params", L"7|0.5");
    HandleFirstCheck(key, now);
    EXPECT_EQ(ReadRegString(key, L"Params"), L"7|0.5");
}

TEST_F(ScheduleStore, NextScanFollowsNextRunThenLastRan) {
    EXPECT_FALSE(GetNextScan(key, now));   // no kind, no next run
    WriteRegInteger(key, L"SchedType", 2);
    WriteRegString(key, L"Params", L"5|" + FormatDayFraction(1.0 / 3.0));
    // Neither value: "NextRun" becomes now + 1 hour.
    EXPECT_EQ(Show(*GetNextScan(key, now)), "2024-01-10 15:20:00.000");
    EXPECT_TRUE(ReadDateTimeValue(key, L"NextRun"));
    // After a run that deleted "NextRun", the next run follows from "LastRan".
    DeleteNextRun(key);
    WriteDateTimeValue(key, L"LastRan", DT(2024, 1, 10, 14, 20));
    EXPECT_EQ(Show(*GetNextScan(key, now)), "2024-01-15 08:00:00.000");
    EXPECT_FALSE(ReadDateTimeValue(key, L"NextRun"));
    // An explicit "NextRun" wins.
    WriteDateTimeValue(key, L"NextRun", DT(2024, 2, 1, 6));
    EXPECT_EQ(Show(*GetNextScan(key, now)), "2024-02-01 06:00:00.000");
    // Start-up and shut-down kinds have no timed next run.
    WriteRegInteger(key, L"SchedType", 5);
    EXPECT_FALSE(GetNextScan(key, now));
    // A stored kind out of range is no schedule.
    WriteRegInteger(key, L"SchedType", 12);
    EXPECT_FALSE(GetNextScan(key, now));
}

TEST_F(ScheduleStore, NextRunTexts) {
    EXPECT_FALSE(ComputeScheduleTexts(key, now).schedule);   // missing key: labels stay
    WriteRegInteger(key, L"SchedType", 4);
    WriteRegString(key, L"Params", L"1|15");
    WriteDateTimeValue(key, L"NextRun", now);
    EXPECT_EQ(ComputeScheduleTexts(key, now).nextRun.value_or(L""), L"Overdue");
    WriteDateTimeValue(key, L"NextRun", DT(2024, 2, 15));
    auto t = ComputeScheduleTexts(key, now);
    EXPECT_EQ(t.nextRun.value_or(L""), DateTimeText(DT(2024, 2, 15)));
    EXPECT_EQ(t.nextRun->find(L' '), std::wstring::npos) << "midnight shows the date alone";
    WriteRegInteger(key, L"SchedType", 5);
    EXPECT_EQ(ComputeScheduleTexts(key, now).nextRun.value_or(L""), L"Next Time Windows Starts");
    WriteRegInteger(key, L"SchedType", 6);
    EXPECT_EQ(ComputeScheduleTexts(key, now).nextRun.value_or(L""), L"Next Time Windows is Shut Down");
}

TEST(ScheduleRunKey, TaskValuesQuoteTheProgramPath) {
    kestest::ScratchRegistry reg;
    SetProgramFolderOverride(L"C:\\Program Files\\Kestrune\\");
    WriteWinStart(SchedTask::Eraser);
    EXPECT_EQ(ReadRegString(kRunKey, L"Erase History at StartUp"),
              L"\"C:\\Program Files\\Kestrune\\Kestrune.exe\" /CleanHistory");
    EXPECT_EQ(ResidentCommand(), L"\"C:\\Program Files\\Kestrune\\Scheduled_Maintenance.exe\"");
    RemoveWinStart(SchedTask::Eraser);
    RegKey run = OpenKey(HKEY_CURRENT_USER, kRunKey, false);
    EXPECT_FALSE(ValueExists(run.get(), L"Erase History at StartUp"));
    SetProgramFolderOverride(L"");
}

}  // namespace
