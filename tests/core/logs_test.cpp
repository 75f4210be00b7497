#include <gtest/gtest.h>
#include "core/errors.h"
#include "core/logs.h"
#include "core/paths.h"
#include "core/registry.h"
#include "tests/support/testenv.h"

using namespace kestest;

namespace {
// Points the program folder at a scratch folder for one test.
struct LogFolder {
    ScratchFolder dir;
    LogFolder() { SetProgramFolderOverride(dir.path()); }
    ~LogFolder() { SetProgramFolderOverride(L""); }
    std::string Read(const wchar_t* name) const { return ReadTextFile(dir.path() + name); }
};
}  // namespace

TEST(Logs, LinesAreCreatedThenAppendedWithCrLfInAnsi) {
    LogFolder f;
    WriteLogLine(kLogManualJunk, L"  Start Scan...");
    WriteLogLine(kLogManualJunk, L"");
    WriteLogLine(kLogManualJunk, L"a\rb");
    EXPECT_EQ(f.Read(kLogManualJunk), "  Start Scan...\r\n\r\na\rb\r\n");
}

TEST(Logs, UnwritableLogStopsTheOperation) {
    LogFolder f;
    SetProgramFolderOverride(f.dir.path() + L"missing\\folder\\");
    EXPECT_THROW(WriteLogLine(kLogJunk, L"x"), KesError);
}

TEST(Logs, NumberFormats) {
    // The test prefix uses the English (United States) regional settings.
    struct { int64_t bytes; const wchar_t* b; const wchar_t* mb; } cases[] = {
        {0, L"0", L"0.00"},
        {1024000, L"1,024,000", L"1.00"},
        {1048576, L"1,048,576", L"1.02"},
        {1536000, L"1,536,000", L"1.50"},
        {5000000000LL, L"5,000,000,000", L"4,882.81"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatBytes(c.bytes), c.b);
        EXPECT_EQ(FormatMegabytes(c.bytes), c.mb);
    }
    EXPECT_EQ(TotalSpaceLine(0), L"TOTAL SPACE RECOVERED: 0 bytes (0.00 megabytes.)");
    EXPECT_EQ(EraserTotalSpaceLine(0), L"TOTAL SPACE RECOVERED: 0.00 bytes (0.00 megabytes.)");
    EXPECT_EQ(EraserTotalSpaceLine(1536000), L"TOTAL SPACE RECOVERED: 1,536,000 bytes (1.50 megabytes.)");
}

TEST(Logs, TimestampsFollowTheProcessFormats) {
    SYSTEMTIME st{};
    st.wYear = 2001; st.wMonth = 5; st.wDay = 17; st.wHour = 14; st.wMinute = 3; st.wSecond = 9;
    SetProcessDateTimeFormats(L"yyyy/mm/dd", L"hh:nn");
    EXPECT_EQ(FormatTimestamp(st), L"2001/05/17 14:03");
    SYSTEMTIME midnight = st;
    midnight.wHour = midnight.wMinute = midnight.wSecond = 0;
    EXPECT_EQ(FormatTimestamp(midnight), L"2001/05/17");
    SetProcessDateTimeFormats(L"m/d/yyyy", L"h:nn:ss ampm");
    EXPECT_EQ(FormatTimestamp(st), L"5/17/2001 2:03:09 PM");
    SetProcessDateTimeFormats(L"m/d/yyyy", L"h:mm:ss");   // minutes written "mm" after the hour
    EXPECT_EQ(FormatTimestamp(st), L"5/17/2001 14:03:09");
}

TEST(Logs, BlockLayouts) {
    LogFolder f;
    SetProcessDateTimeFormats(L"yyyy/mm/dd", L"hh:nn");
    WriteSessionOpen(kLogManualUninstallers, L"SESSION START: ");
    WriteSessionClose(kLogManualUninstallers, L"SESSION CLOSE: ", {L"NUMBER OF REFERENCES REMOVED: 2"});
    WriteOperationStart(kLogJunk, true);
    WriteOperationComplete(kLogJunk, {TotalSpaceLine(0)}, true);
    WriteOperationStart(kLogRegistry, false);
    WriteOperationComplete(kLogRegistry, {}, false);

    // Replace the timestamps (they follow the headings) by a marker.
    auto mask = [](std::string s) {
        for (const char* h : {"SESSION START: ", "SESSION CLOSE: ", "OPERATION START: ", "OPERATION COMPLETE: "}) {
            for (size_t p = s.find(h); p != std::string::npos; p = s.find(h, p + 1)) {
                size_t b = p + strlen(h), e = s.find("\r\n", b);
                s.replace(b, e - b, "T");
            }
        }
        return s;
    };
    const std::string sep = "========================================\r\n";
    EXPECT_EQ(mask(f.Read(kLogManualUninstallers)),
              sep + "SESSION START: T\r\n" + sep + "\r\n" + "\r\n" + sep + "SESSION CLOSE: T\r\n" +
                  "NUMBER OF REFERENCES REMOVED: 2\r\n" + sep + "\r\n");
    EXPECT_EQ(mask(f.Read(kLogJunk)), "\r\n" + sep + "OPERATION START: T\r\n" + sep + "\r\n" + "\r\n" + sep +
                                          "OPERATION COMPLETE: T\r\n" +
                                          "TOTAL SPACE RECOVERED: 0 bytes (0.00 megabytes.)\r\n" + sep + "\r\n");
    EXPECT_EQ(mask(f.Read(kLogRegistry)),
              "\r\n" + sep + "OPERATION START: T\r\n" + sep + sep + "OPERATION COMPLETE: T\r\n" + sep);
}

TEST(Counters, AddInSixtyFourBitsAndHoldAtTheTop) {
    ScratchRegistry reg;
    AddToCounter(L"JunkFiles", 7);
    EXPECT_EQ(ReadCounter(L"JunkFiles"), 7u);
    WriteRegInteger(kLogsKey, L"JunkBytes", 2147483000);
    AddToCounter(L"JunkBytes", 1000);   // past 2^31: stays positive when read unsigned
    EXPECT_EQ(ReadCounter(L"JunkBytes"), 2147484000u);
    AddToCounter(L"JunkBytes", 5000000000LL);
    EXPECT_EQ(ReadCounter(L"JunkBytes"), 0xFFFFFFFFu);
    AddToCounter(L"JunkBytes", -10);
    EXPECT_EQ(ReadCounter(L"JunkBytes"), 0xFFFFFFFFu);
}

TEST(Counters, WrongTypeFails) {
    ScratchRegistry reg;
    WriteRegString(kLogsKey, L"RegRefs", L"x");
    EXPECT_THROW(AddToCounter(L"RegRefs", 1), KesError);
}
