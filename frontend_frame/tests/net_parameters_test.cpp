#include <gtest/gtest.h>

#include <map>

#include "qor/frontend/net_parameters.h"

using namespace qor::frontend;

namespace {

TEST(NetParamTable, SlotsAreSetOnlyWithBothValues) {
    NetParamTable t;
    double v = 0, f = 0;
    EXPECT_TRUE(t.set(1, 5, 10e6));
    EXPECT_TRUE(t.get(1, v, f));
    EXPECT_EQ(v, 5);
    EXPECT_EQ(f, 10e6);
    EXPECT_FALSE(t.set(1, 0, 10e6)) << "a zero value clears the slot";
    EXPECT_FALSE(t.get(1, v, f));
    EXPECT_TRUE(t.set(32768, 3.3, 1e3));
    EXPECT_FALSE(t.set(32769, 3.3, 1e3));
    EXPECT_FALSE(t.set(0, 3.3, 1e3));
    EXPECT_TRUE(t.clear(32768));
    EXPECT_FALSE(t.get(32768, v, f));
    EXPECT_FALSE(t.clear(-4));
    t.set(7, 1, 1);
    t.set(3, 1, 1);
    EXPECT_EQ(t.setIndices(), (std::vector<int32_t>{3, 7}));
    t.clearAll();
    EXPECT_TRUE(t.setIndices().empty());
}

TEST(EngineeringText, FormatsAndReads) {
    EXPECT_EQ(FormatEngValue(5, "V"), "5V");
    EXPECT_EQ(FormatEngValue(10e6, "Hz"), "10MHz");
    EXPECT_EQ(FormatEngValue(35e-6, "m"), "35\xC2\xB5m") << "the micro sign is the localized text";
    EXPECT_EQ(FormatEngValue(1.5e-9, "s"), "1.5ns");
    EXPECT_DOUBLE_EQ(ParseEngValue("  10M "), 10e6);
    EXPECT_DOUBLE_EQ(ParseEngValue(""), 0);
    EXPECT_DOUBLE_EQ(ParseEngValue(FormatEngValue(35e-6, "m")), 35e-6);
}

TEST(NetParameterFile, LoadsAppendsAndWritesBack) {
    const std::map<std::string, int32_t> nets{{"VCC", 1}, {"CLK", 2}, {"DATA", 3}};
    const auto index = [&](const std::string& name) {
        const auto it = nets.find(name);
        return it == nets.end() ? 0 : it->second;
    };
    NetParamTable t;
    t.set(3, 1, 1);
    const auto loaded = LoadNetParameters("VCC,5V,x ,x,10MHz\r\n\r\n CLK ,3.3,x ,x,25M\r\nNOPE,1V,x ,x,1Hz\r\n"
                                          "too,few,fields\r\nDATA,x,x ,x,1MHz\r\n",
                                          false, t, index);
    EXPECT_EQ(loaded.applied, 3);
    EXPECT_EQ(loaded.skipped, 2);
    double v = 0, f = 0;
    ASSERT_TRUE(t.get(2, v, f));
    EXPECT_DOUBLE_EQ(v, 3.3);
    EXPECT_DOUBLE_EQ(f, 25e6);
    EXPECT_FALSE(t.get(3, v, f)) << "loading clears first, and a missing value leaves the net clear";

    const auto appended = LoadNetParameters("VCC,12V,x ,x,1kHz\nDATA,2V,x ,x,2kHz\n", true, t, index);
    EXPECT_EQ(appended.applied, 1);
    EXPECT_EQ(appended.skipped, 1);
    ASSERT_TRUE(t.get(1, v, f));
    EXPECT_EQ(v, 5) << "append keeps the nets already set";

    const std::map<int32_t, std::string> names{{1, "VCC"}, {2, "CLK"}, {3, "DATA"}};
    const std::string text = NetParameterText(t, [&](int32_t i) { return names.at(i); });
    EXPECT_EQ(text, "VCC,5V,x ,x,10MHz\r\nCLK,3.3V,x ,x,25MHz\r\nDATA,2V,x ,x,2kHz\r\n");
    NetParamTable back;
    LoadNetParameters(text, false, back, index);
    EXPECT_EQ(back.setIndices(), t.setIndices());
}

}  // namespace
