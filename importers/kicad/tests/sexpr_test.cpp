#include <gtest/gtest.h>

#include "sexpr.h"

using qor::kicad::FormatError;
using qor::kicad::parseSexpr;

namespace {

TEST(Sexpr, ParsesListsAtomsAndStrings) {
    const auto s = parseSexpr("(kicad_pcb (version 20211014)\n  (net 1 \"A \\\"b\\\" (c)\")\n  (locked) -1.5e2)");
    EXPECT_EQ(s.head(), "kicad_pcb");
    ASSERT_NE(s.find("version"), nullptr);
    EXPECT_EQ(s.find("version")->number(1), 20211014);
    EXPECT_EQ(s.find("net")->text(2), "A \"b\" (c)");
    EXPECT_EQ(s.find("net")->line, 2);
    EXPECT_EQ(s.number(4), -150);
    EXPECT_EQ(s.find("nothing"), nullptr);
}

TEST(Sexpr, BadInputNamesTheLineAndWhatWasExpected) {
    struct Case {
        const char* text;
        int line;
        const char* expected;
    } cases[] = {
        {"", 1, "empty file"},
        {"   \n\n", 3, "empty file"},
        {"kicad_pcb", 1, "expected '('"},
        {"(kicad_pcb\n(version 1)\n", 3, "expected ')' closing the list opened on line 1"},
        {"(a \"never ends\n\n)", 1, "unterminated string"},
        {"(a) (b)", 1, "unexpected text after the end"},
    };
    for (const auto& c : cases) {
        try {
            parseSexpr(c.text);
            ADD_FAILURE() << "no error for " << c.text;
        } catch (const FormatError& e) {
            EXPECT_EQ(e.line(), c.line) << c.text;
            EXPECT_NE(std::string(e.what()).find(c.expected), std::string::npos) << e.what();
        }
    }
}

TEST(Sexpr, DeepNestingIsRefusedNotOverflowed) {
    const std::string deep(100000, '(');
    EXPECT_THROW(parseSexpr(deep), FormatError);
}

TEST(Sexpr, NumbersAndTextsAreChecked) {
    const auto s = parseSexpr("(at 1.5 x (y))");
    EXPECT_EQ(s.number(1), 1.5);
    EXPECT_THROW(s.number(2), FormatError);
    EXPECT_THROW(s.text(3), FormatError);
    EXPECT_THROW(s.number(9), FormatError);
    EXPECT_FALSE(s.numberIf(2).has_value());
}

}  // namespace
