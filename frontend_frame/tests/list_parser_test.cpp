#include "qor/frontend/list_parser.h"

#include <gtest/gtest.h>

#include <vector>

namespace qor::frontend {
namespace {

TEST(ParseList, FieldsAtEveryComma) {
    const struct {
        const char* text;
        std::vector<std::string> words;
    } cases[] = {
        {"a,b,c", {"a", "b", "c"}},
        {"a,b,c,", {"a", "b", "c", ""}},
        {"", {""}},
        {"abc", {"abc"}},
        {",A", {"", "A"}},
        {",,", {"", "", ""}},
        {" a , b ", {" a ", " b "}},
        {"Thermal Analyzer - Demo, 0, 0, -1, 0",
         {"Thermal Analyzer - Demo", " 0", " 0", " -1", " 0"}},
    };
    for (const auto& c : cases) {
        const ParsedList list = ParseList(c.text);
        ASSERT_EQ(list.count(), static_cast<int>(c.words.size())) << c.text;
        EXPECT_EQ(list.ListNumbers[0], list.count()) << "index 0 of the numbers holds the count";
        EXPECT_EQ(list.ListWords[0], "");
        for (size_t i = 0; i < c.words.size(); ++i)
            EXPECT_EQ(list.word(static_cast<int>(i) + 1), c.words[i]) << c.text;
    }
}

TEST(ParseList, NumbersOfTheFields) {
    const ParsedList twelveFive = ParseList("12,5");
    ASSERT_EQ(twelveFive.count(), 2);
    EXPECT_EQ(twelveFive.ListNumbers[1], 12);
    EXPECT_EQ(twelveFive.ListNumbers[2], 5);

    const ParsedList commaLetter = ParseList(",A");
    EXPECT_EQ(commaLetter.ListNumbers[1], 0);
    EXPECT_EQ(commaLetter.ListNumbers[2], 0);

    const ParsedList record = ParseList("Caption, 2, 0, -1, 3");
    EXPECT_EQ(record.number(2), 2);
    EXPECT_EQ(record.number(4), -1);
    EXPECT_EQ(record.number(5), 3);
    EXPECT_EQ(record.number(6), 0) << "past the last field";
    EXPECT_EQ(record.word(6), "");
    EXPECT_EQ(record.word(0), "");
    EXPECT_EQ(record.number(-1), 0);
}

TEST(TextToNumber, LeadingNumberWithDecimalComma) {
    const struct {
        const char* text;
        double expected;
    } cases[] = {
        {"12,5", 12.5},  {" 7.5 inch", 7.5}, {"inch", 0},    {"", 0},    {"  -3.5e2x", -350},
        {"+4", 4},       {".5", 0.5},        {"-.5", -0.5},  {"1e", 1},  {"1e+", 1},
        {"2E-3", 0.002}, {"12.5.3", 12.5},   {"1,5,3", 1.5}, {"- 3", 0}, {".", 0},
        {"-", 0},        {"1e999", 0},       {"1.", 1},      {"007", 7}, {"0,25mm", 0.25},
        {"\t5", 0},      {"  42  ", 42},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(TextToNumber(c.text), c.expected) << '"' << c.text << '"';
}

TEST(TrimBlanks, OnlyBlanksAtBothEnds) {
    EXPECT_EQ(TrimBlanks("  a b "), "a b");
    EXPECT_EQ(TrimBlanks("   "), "");
    EXPECT_EQ(TrimBlanks("\tx"), "\tx");
}

}  // namespace
}  // namespace qor::frontend
