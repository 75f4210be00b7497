#include "core/logs.h"
#include <windows.h>
#include <cmath>
#include <cstdio>
#include "core/errors.h"
#include "core/paths.h"
#include "core/registry.h"
#include "core/winhandle.h"

std::wstring LogFilePath(const std::wstring& fileName) { return ProgramFolder() + fileName; }

void WriteLogLine(const std::wstring& fileName, const std::wstring& text) {
    std::wstring path = LogFilePath(fileName);
    UniqueHandle h(::CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h) ThrowSystemError(L"Cannot write to the log file " + path, ::GetLastError());
    std::string line;
    if (!text.empty()) {
        int n = ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
        line.resize(n);
        ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), line.data(), n, nullptr, nullptr);
    }
    line += "\r\n";
    DWORD written = 0;
    if (!::WriteFile(h.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr) || written != line.size())
        ThrowSystemError(L"Cannot write to the log file " + path, ::GetLastError());
}

// --- numbers ------------------------------------------------------------------------------------

static std::wstring LocaleInfo(LCTYPE type, const wchar_t* fallback) {
    wchar_t buf[32];
    int n = ::GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buf, 32);
    return n > 1 ? std::wstring(buf, n - 1) : std::wstring(fallback);
}

// Formats a plain number text ("1536000.00") with the user's separators and `digits` decimals.
static std::wstring FormatNumberText(const std::wstring& number, UINT digits) {
    std::wstring dec = LocaleInfo(LOCALE_SDECIMAL, L".");
    std::wstring thou = LocaleInfo(LOCALE_STHOUSAND, L",");
    NUMBERFMTW fmt{};
    fmt.NumDigits = digits;
    fmt.LeadingZero = 1;
    fmt.Grouping = 3;
    fmt.lpDecimalSep = dec.data();
    fmt.lpThousandSep = thou.data();
    fmt.NegativeOrder = 1;
    wchar_t buf[128];
    int n = ::GetNumberFormatW(LOCALE_USER_DEFAULT, 0, number.c_str(), &fmt, buf, 128);
    return n > 1 ? std::wstring(buf, n - 1) : number;
}

std::wstring FormatBytes(int64_t bytes) { return FormatNumberText(std::to_wstring(bytes), 0); }

std::wstring FormatMegabytes(int64_t bytes) {
    wchar_t buf[64];
    swprintf(buf, 64, L"%.2f", static_cast<double>(bytes) / 1024000.0);
    return FormatNumberText(buf, 2);
}

std::wstring TotalSpaceLine(int64_t bytes) {
    return L"TOTAL SPACE RECOVERED: " + FormatBytes(bytes) + L" bytes (" + FormatMegabytes(bytes) + L" megabytes.)";
}

std::wstring EraserTotalSpaceLine(int64_t bytes) {
    if (bytes <= 0) return L"TOTAL SPACE RECOVERED: 0.00 bytes (0.00 megabytes.)";
    return TotalSpaceLine(bytes);
}

// --- dates --------------------------------------------------------------------------------------
// The process formats are pictures in this program's own notation: y (year), m (month, or minutes
// right after an hour), d (day), h (hour, 12-hour when an am/pm marker is present), n (minutes),
// s (seconds), "ampm"/"am/pm"/"a/p" markers, '/' and ':' the regional separators, quoted text
// taken literally.

// Turns a Windows locale picture (M/d/yyyy, h:mm:ss tt) into the program's notation.
static std::wstring FromLocalePicture(const std::wstring& pic) {
    std::wstring out;
    for (size_t i = 0; i < pic.size(); ++i) {
        wchar_t c = pic[i];
        if (c == L'\'') {
            size_t j = pic.find(L'\'', i + 1);
            if (j == std::wstring::npos) j = pic.size();
            out += L'"' + pic.substr(i + 1, j - i - 1) + L'"';
            i = j;
        } else if (c == L'M') out += L'm';
        else if (c == L'm') out += L'n';
        else if (c == L'H') out += L'h';
        else if (c == L't') {
            size_t n = 1;
            while (i + 1 < pic.size() && pic[i + 1] == L't') { ++i; ++n; }
            out += n >= 2 ? L"ampm" : L"a/p";
        } else if (c == L'g') {
            // era: not used
        } else out += c;
    }
    return out;
}

struct ProcessFormats {
    std::wstring shortDate, longTime;
    bool set = false;
};

static ProcessFormats& Formats() {
    static ProcessFormats f;
    if (!f.set) {
        f.shortDate = FromLocalePicture(LocaleInfo(LOCALE_SSHORTDATE, L"M/d/yyyy"));
        f.longTime = FromLocalePicture(LocaleInfo(LOCALE_STIMEFORMAT, L"h:mm:ss tt"));
        f.set = true;
    }
    return f;
}

void SetProcessDateTimeFormats(const std::wstring& shortDate, const std::wstring& longTime) {
    ProcessFormats& f = Formats();
    f.shortDate = shortDate;
    f.longTime = longTime;
}

static std::wstring Pad(int v, int width) {
    std::wstring s = std::to_wstring(v);
    while (static_cast<int>(s.size()) < width) s.insert(s.begin(), L'0');
    return s;
}

static bool StartsWithNoCase(const std::wstring& s, size_t i, const wchar_t* word) {
    size_t n = wcslen(word);
    if (i + n > s.size()) return false;
    return ::CompareStringOrdinal(s.data() + i, static_cast<int>(n), word, static_cast<int>(n), TRUE) == CSTR_EQUAL;
}

static std::wstring FormatPicture(const std::wstring& pic, const SYSTEMTIME& st) {
    static const wchar_t* months[] = {L"January", L"February", L"March", L"April", L"May", L"June", L"July",
                                      L"August", L"September", L"October", L"November", L"December"};
    static const wchar_t* days[] = {L"Sunday", L"Monday", L"Tuesday", L"Wednesday", L"Thursday", L"Friday", L"Saturday"};
    bool twelve = (pic.find(L"ampm") != std::wstring::npos ||
                                                    pic.find(L"AMPM") != std::wstring::npos ||
                                                    pic.find(L"am/pm") != std::wstring::npos ||
                                                    pic.find(L"a/p") != std::wstring::npos);
    std::wstring dateSep = LocaleInfo(LOCALE_SDATE, L"/"), timeSep = LocaleInfo(LOCALE_STIME, L":");
    std::wstring out;
    wchar_t lastToken = 0;   // 'm' right after an hour means minutes
    for (size_t i = 0; i < pic.size();) {
        wchar_t c = pic[i];
        wchar_t lc = static_cast<wchar_t>(towlower(c));
        size_t run = 1;
        while (i + run < pic.size() && towlower(pic[i + run]) == lc) ++run;
        if (c == L'"' || c == L'\'') {
            size_t j = pic.find(c, i + 1);
            if (j == std::wstring::npos) j = pic.size();
            out += pic.substr(i + 1, j - i - 1);
            i = j + 1;
            continue;
        }
        if (StartsWithNoCase(pic, i, L"ampm")) { out += st.wHour < 12 ? L"AM" : L"PM"; i += 4; continue; }
        if (StartsWithNoCase(pic, i, L"am/pm")) { out += st.wHour < 12 ? L"am" : L"pm"; i += 5; continue; }
        if (StartsWithNoCase(pic, i, L"a/p")) { out += st.wHour < 12 ? L"a" : L"p"; i += 3; continue; }
        switch (lc) {
            case L'y': out += run <= 2 ? Pad(st.wYear % 100, 2) : Pad(st.wYear, 4); break;
            case L'm':
                if (lastToken == L'h' && run <= 2) out += Pad(st.wMinute, static_cast<int>(run));
                else if (run >= 4) out += months[st.wMonth - 1];
                else if (run == 3) out += std::wstring(months[st.wMonth - 1]).substr(0, 3);
                else out += Pad(st.wMonth, static_cast<int>(run));
                break;
            case L'd':
                if (run >= 4) out += days[st.wDayOfWeek % 7];
                else if (run == 3) out += std::wstring(days[st.wDayOfWeek % 7]).substr(0, 3);
                else out += Pad(st.wDay, static_cast<int>(run));
                break;
            case L'h': {
                int h = st.wHour;
                if (twelve) { h %= 12; if (h == 0) h = 12; }
                out += Pad(h, run >= 2 ? 2 : 1);
                break;
            }
            case L'n': out += Pad(st.wMinute, run >= 2 ? 2 : 1); break;
            case L's': out += Pad(st.wSecond, run >= 2 ? 2 : 1); break;
            case L'/': out += dateSep; run = 1; break;
            case L':': out += timeSep; run = 1; break;
            default: out.append(run, c); break;
        }
        if (wcschr(L"ymdhns", lc)) lastToken = lc;
        i += run;
    }
    return out;
}

std::wstring FormatDate(const SYSTEMTIME& st) { return FormatPicture(Formats().shortDate, st); }
std::wstring FormatTime(const SYSTEMTIME& st) { return FormatPicture(Formats().longTime, st); }

std::wstring FormatTimestamp(const SYSTEMTIME& st) {
    std::wstring s = FormatDate(st);
    if (st.wHour != 0 || st.wMinute != 0 || st.wSecond != 0 || st.wMilliseconds != 0) s += L" " + FormatTime(st);
    return s;
}

std::wstring TimestampNow() {
    SYSTEMTIME st;
    ::GetLocalTime(&st);
    return FormatTimestamp(st);
}

// --- blocks -------------------------------------------------------------------------------------

void WriteSessionOpen(const std::wstring& file, const std::wstring& heading) {
    WriteLogLine(file, kLogSeparator);
    WriteLogLine(file, heading + TimestampNow());
    WriteLogLine(file, kLogSeparator);
    WriteLogLine(file, L"");
}

void WriteSessionClose(const std::wstring& file, const std::wstring& heading, const std::vector<std::wstring>& totals) {
    WriteLogLine(file, L"");
    WriteLogLine(file, kLogSeparator);
    WriteLogLine(file, heading + TimestampNow());
    for (const auto& t : totals) WriteLogLine(file, t);
    WriteLogLine(file, kLogSeparator);
    WriteLogLine(file, L"");
}

void WriteOperationStart(const std::wstring& file, bool junk) {
    WriteLogLine(file, L"");
    WriteLogLine(file, kLogSeparator);
    WriteLogLine(file, L"OPERATION START: " + TimestampNow());
    WriteLogLine(file, kLogSeparator);
    if (junk) WriteLogLine(file, L"");
}

void WriteOperationComplete(const std::wstring& file, const std::vector<std::wstring>& totals, bool junk) {
    if (junk) WriteLogLine(file, L"");
    WriteLogLine(file, kLogSeparator);
    WriteLogLine(file, L"OPERATION COMPLETE: " + TimestampNow());
    for (const auto& t : totals) WriteLogLine(file, t);
    WriteLogLine(file, kLogSeparator);
    if (junk) WriteLogLine(file, L"");
}

// --- counters -----------------------------------------------------------------------------------

uint32_t ReadCounter(const std::wstring& name) { return static_cast<uint32_t>(ReadRegInteger(kLogsKey, name)); }

void AddToCounter(const std::wstring& name, int64_t amount) {
    if (amount <= 0) return;
    uint64_t sum = static_cast<uint64_t>(ReadCounter(name)) + static_cast<uint64_t>(amount);
    if (sum > 0xFFFFFFFFull) sum = 0xFFFFFFFFull;
    WriteRegInteger(kLogsKey, name, static_cast<int32_t>(static_cast<uint32_t>(sum)));
}
