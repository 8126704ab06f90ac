#include <gtest/gtest.h>

#include "qor/kernel/kernel.h"

namespace {

TEST(StringStore, WholeValuesSetReplacedAndRemoved) {
    EXPECT_EQ(E_GetString("IniFile"), nullptr) << "absent keys read as a null pointer";
    ASSERT_EQ(E_SetString("IniFile", "/etc/qor32.ini"), 1);
    EXPECT_STREQ(E_GetString("IniFile"), "/etc/qor32.ini");
    EXPECT_EQ(E_GetString("INIFILE"), nullptr) << "keys match exactly";
    ASSERT_EQ(E_SetString("IniFile", "/home/u/qor32.ini"), 1);
    EXPECT_STREQ(E_GetString("IniFile"), "/home/u/qor32.ini");
    ASSERT_EQ(E_SetString("IniFile", ""), 1);
    EXPECT_EQ(E_GetString("IniFile"), nullptr);
    ASSERT_EQ(E_SetString("QORTHERMMW_", "1"), 1);
    ASSERT_EQ(E_SetString("QORTHERMMW_", nullptr), 1);
    EXPECT_EQ(E_GetString("QORTHERMMW_"), nullptr);
    EXPECT_EQ(E_SetString(nullptr, "x"), 0);
    EXPECT_EQ(E_SetString("", "x"), 0);
    EXPECT_EQ(E_GetString(nullptr), nullptr);
}

}  // namespace
