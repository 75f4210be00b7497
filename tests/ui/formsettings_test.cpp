// The form-settings store: nothing is written unless the form restored first.
#include <gtest/gtest.h>
#include "core/registry.h"
#include "tests/support/testenv.h"
#include "ui/formsettings.h"
#include "ui/ui.h"

namespace {

const wchar_t* const kKey = L"software\\Ostrel\\Kestrune\\junk\\pos";

struct OptionsForm : ui::Form {
    OptionsForm() : ui::Form(L"Options", 300, 200, ui::FormStyle::Sizeable) {
        fs.Add(L"cbTemp", cbTemp);
        fs.Add(L"meDays", meDays);
        fs.Add(L"neAge", neAge);
        fs.Add(L"pc", pc);
    }
    ui::CheckBox cbTemp{*this, 8, 8, 120, 20, L"Temporary files"};
    ui::Edit meDays{*this, 8, 32, 60, 22, L"14"};
    ui::NumEdit neAge{*this, 8, 60, 60, 22, 1, 99, 7};
    ui::PageControl pc{*this, 8, 90, 200, 100};
    ui::TabPage p1{pc, L"One"}, p2{pc, L"Two"};
    ui::FormSettings fs{*this, kKey};   // after the controls it stores
};

TEST(FormSettings, NeverShownFormStoresNothing) {
    kestest::ScratchRegistry reg;
    {
        OptionsForm f;
        f.cbTemp.SetChecked(true);
        f.Close();
    }
    {
        OptionsForm f;   // destroyed without a close
        f.cbTemp.SetChecked(true);
    }
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kKey));
}

TEST(FormSettings, RestoreWithoutKeyKeepsDesignValuesThenRoundTrips) {
    kestest::ScratchRegistry reg;
    {
        OptionsForm f;
        f.fs.Restore();
        EXPECT_TRUE(f.fs.Restored());
        EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kKey));   // restoring creates nothing
        EXPECT_EQ(f.meDays.Text(), L"14");
        EXPECT_FALSE(f.cbTemp.Checked());
        f.cbTemp.SetChecked(true);
        f.meDays.SetText(L"30");
        f.neAge.SetValue(42);
        f.pc.SetActivePage(f.p2);
        ::SetWindowPos(f.Handle(), nullptr, 40, 50, 400, 300, SWP_NOZORDER | SWP_NOACTIVATE);
        f.Close();
    }
    ASSERT_TRUE(KeyExists(HKEY_CURRENT_USER, kKey));
    {
        OptionsForm f;
        EXPECT_FALSE(f.cbTemp.Checked());
        f.Show();   // the first show restores
        EXPECT_TRUE(f.fs.Restored());
        EXPECT_TRUE(f.cbTemp.Checked());
        EXPECT_EQ(f.meDays.Text(), L"30");
        EXPECT_EQ(f.neAge.Value(), 42);
        EXPECT_EQ(f.pc.ActivePageIndex(), 1);
        RECT rc{};
        ::GetWindowRect(f.Handle(), &rc);
        EXPECT_EQ(rc.left, 40);
        EXPECT_EQ(rc.top, 50);
        EXPECT_EQ(rc.right - rc.left, 400);
        EXPECT_EQ(rc.bottom - rc.top, 300);
        f.Close();
    }
}

TEST(FormSettings, WrongTypeOrOffScreenValuesKeepDesign) {
    kestest::ScratchRegistry reg;
    {
        RegKey k = OpenKey(HKEY_CURRENT_USER, kKey, true);
        SetString(k.get(), L"cbTemp", L"yes");   // not a number
        SetDword(k.get(), L"meDays", 5);         // not a text
        SetDword(k.get(), L"Left", static_cast<uint32_t>(-30000));
        SetDword(k.get(), L"Top", static_cast<uint32_t>(-30000));
    }
    OptionsForm f;
    RECT before{};
    ::GetWindowRect(f.Handle(), &before);
    f.fs.Restore();
    RECT after{};
    ::GetWindowRect(f.Handle(), &after);
    EXPECT_FALSE(f.cbTemp.Checked());
    EXPECT_EQ(f.meDays.Text(), L"14");
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
}

}  // namespace
