// Painting and display details of single controls: group box insides, time picker text, labels.
#include <gtest/gtest.h>
#include <memory>
#include "tests/support/testenv.h"
#include "tests/ui/themed.h"
#include "ui/ui.h"

namespace {

TEST(Controls, TimePickerFormatFromLocaleFormat) {
    const struct {
        const wchar_t* locale;
        const wchar_t* picker;
    } cases[] = {
        {L"h:mm:ss tt", L"hh:mm tt"},
        {L"HH:mm:ss", L"HH:mm"},
        {L"H:mm:ss", L"HH:mm"},
        {L"tt h:mm:ss", L"tt hh:mm"},
        {L"H.mm.ss", L"HH.mm"},
        {L"HH'h'mm", L"HH'h'mm"},
        {L"ss:H:mm", L"HH:mm"},
        {L"", L"hh:mm tt"},
        {L"tt", L"hh:mm tt"},
    };
    for (const auto& c : cases) EXPECT_EQ(ui::TimePickerFormat(c.locale), c.picker) << c.locale;
}

TEST(Controls, TimePickerShowsHoursAndMinutesWithoutGap) {
    ui::Form f(L"Time", 200, 60);
    ui::DateTimePicker dt{f, 8, 8, 120, 22, true};
    SYSTEMTIME st{};
    ::GetLocalTime(&st);
    st.wHour = 8;
    st.wMinute = 5;
    st.wSecond = 0;
    dt.SetValue(st);
    wchar_t locale[80] = {};
    ASSERT_GT(::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_STIMEFORMAT, locale, 80), 0);
    std::wstring format = ui::TimePickerFormat(locale);
    wchar_t expected[80] = {};
    ASSERT_GT(::GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &st, format.c_str(), expected, 80), 0);
    EXPECT_EQ(dt.Text(), expected);
    EXPECT_EQ(dt.Text().find(L" :"), std::wstring::npos);
    EXPECT_EQ(dt.Value().wHour, 8);
    EXPECT_EQ(dt.Value().wMinute, 5);
}

// Labels show "&" literally unless one opts in to a mnemonic, which then leads to the next control.
TEST(Controls, LabelAmpersandLiteralUnlessMnemonicWanted) {
    ui::Form f(L"Labels", 240, 100);
    ui::Label lblPath{f, 8, 8, 220, 16, L"C:\\Tom & Jerry\\notes.txt"};
    ui::Edit first{f, 8, 28, 100, 22};
    ui::Label lblName{f, 8, 56, 60, 16, L"&Name:"};
    ui::Edit name{f, 70, 54, 100, 22};
    EXPECT_FALSE(lblPath.ShowsAccelerator());
    EXPECT_EQ(lblPath.Text(), L"C:\\Tom & Jerry\\notes.txt");
    lblName.SetShowAccelerator(true);
    EXPECT_TRUE(lblName.ShowsAccelerator());
    f.Show();
    ::SetForegroundWindow(f.Handle());
    first.SetFocus();
    ASSERT_EQ(::GetFocus(), first.Handle());
    MSG alt{first.Handle(), WM_SYSCHAR, 'n', static_cast<LPARAM>(1u << 29)};
    EXPECT_TRUE(f.PreTranslate(alt));
    EXPECT_EQ(::GetFocus(), name.Handle());
}

// A form whose group box is the only thing redrawn: the frame's inside shows the form's
// background, and the control inside the frame keeps its own painting.
TEST(Controls, GroupBoxPaintsParentBackgroundInside) {
    for (bool themed : {false, true}) {
        SCOPED_TRACE(themed ? "themed" : "classic");
        std::unique_ptr<kestest::CommonControls6> v6;
        if (themed) v6 = std::make_unique<kestest::CommonControls6>();
        ui::Form f(L"Frame", 240, 140);
        ui::GroupBox gb{f, 8, 8, 220, 120, L"Options"};
        ui::Picture red{f, 20, 40, 30, 30};
        red.OnPaint = [](HDC dc, const RECT& rc) {
            HBRUSH b = ::CreateSolidBrush(RGB(255, 0, 0));
            ::FillRect(dc, &rc, b);
            ::DeleteObject(b);
        };
        f.SetPosition(40, 40);
        f.Show();
        ::RedrawWindow(f.Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        HDC dc = ::GetDC(f.Handle());
        RECT stale{ui::Scale(12), ui::Scale(30), ui::Scale(220), ui::Scale(120)};
        ::FillRect(dc, &stale, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        ::RedrawWindow(red.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        ::RedrawWindow(gb.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        COLORREF inside = ::GetPixel(dc, ui::Scale(150), ui::Scale(90));
        COLORREF picture = ::GetPixel(dc, ui::Scale(35), ui::Scale(55));
        ::ReleaseDC(f.Handle(), dc);
        EXPECT_EQ(inside, ::GetSysColor(COLOR_BTNFACE));
        EXPECT_EQ(picture, RGB(255, 0, 0));
        f.Close();
    }
}

}  // namespace
