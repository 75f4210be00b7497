#include <gtest/gtest.h>
#include "core/errors.h"
#include "core/registry.h"
#include "tests/support/testenv.h"

using namespace kestest;

TEST(Registry, AbsentValuesReadAsDefaultsAndCreateTheKey) {
    ScratchRegistry reg;
    EXPECT_EQ(ReadRegInteger(L"\\Software\\Ostrel\\Kestrune\\Logs", L"JunkBytes"), 0);
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, L"Software\\Ostrel\\Kestrune\\Logs"));
    EXPECT_TRUE(ReadRegBool(L"\\Software\\Ostrel\\Kestrune\\Logs", L"DoJunk"));
}

TEST(Registry, RoundTripsAndDeletes) {
    ScratchRegistry reg;
    const std::wstring key = L"\\Software\\Ostrel\\Kestrune\\Logs";
    WriteRegInteger(key, L"JunkFiles", -5);
    EXPECT_EQ(ReadRegInteger(key, L"JunkFiles"), -5);
    WriteRegBool(key, L"DoJunk", false);
    EXPECT_FALSE(ReadRegBool(L"software\\ostrel\\kestrune\\logs", L"DoJunk"));
    DeleteRegValue(key, L"DoJunk");
    EXPECT_TRUE(ReadRegBool(key, L"DoJunk"));
}

TEST(Registry, WrongTypeFailsWithAClearError) {
    ScratchRegistry reg;
    WriteRegString(L"Software\\Ostrel\\Kestrune\\Logs", L"JunkBytes", L"lots");
    try {
        ReadRegInteger(L"Software\\Ostrel\\Kestrune\\Logs", L"JunkBytes");
        FAIL() << "no error";
    } catch (const KesError& e) {
        EXPECT_EQ(e.message(), L"Invalid data type for 'JunkBytes'");
    }
}
