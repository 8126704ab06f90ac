#include "qor/frontend/messages.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>

#include "qor/frontend/list_parser.h"
#include "test_support.h"

namespace qor::frontend {
namespace {

using testing::RecordingMessageBox;
using testing::ScratchDir;
using testing::UseCatalog;

class ReportErrorTest : public ::testing::Test {
  protected:
    void SetUp() override { UseCatalog(dir_, ""); }
    ScratchDir dir_;
    RecordingMessageBox box_;
};

TEST_F(ReportErrorTest, EveryFormOfMessage) {
    Messages thermal(Analyzer::Thermal, box_);
    const struct {
        int code;
        const char* argument;
        const char* text;
        MessageIcon icon;
    } cases[] = {
        {7, "ignored", "Board outline definition incomplete", MessageIcon::Warning},
        {14, "LM358", "Missing group(s) in Part: LM358", MessageIcon::Warning},
        {53, "Silk", "Silk is Not Trace Layer!", MessageIcon::Warning},
        {4, "U1", "Component: U1 already exists", MessageIcon::Warning},
        {23, "U9", "Component: U9 not found", MessageIcon::Warning},
        {59, "D0", "Bus: D0not found", MessageIcon::Warning},
        {56, "(1,2)", "Can't create B-point(1,2)", MessageIcon::Warning},
        {29, "X", "Schematic entry for this Pin is unassigned in Part:X", MessageIcon::Warning},
        {33, "7", "Next Text Edit - Pin Not Found: 7", MessageIcon::None},
        {8, "", "Cant Read Menu Profile", MessageIcon::Stop},
        {10, "", "Can't create Item: ", MessageIcon::Warning},
        {100, "", "Start Main Qor32 Application", MessageIcon::Stop},
        {3003, "", "Library already selected", MessageIcon::Warning},
        {4000, "", "Can't buildt thermo database", MessageIcon::Stop},
        {4003, "", "Thermal resistance of Interface material should be a non-zero value",
         MessageIcon::Warning},
        {10000, "", " ", MessageIcon::None},
        {10014, "", "Too many part name strings", MessageIcon::None},
        {10017, "", "Too many Package's primitives\"", MessageIcon::None},
        {2002, "arg", "Unknown Error:  2002", MessageIcon::Stop},
        {-5, "", "Unknown Error: -5", MessageIcon::Stop},
    };
    for (const auto& c : cases) {
        thermal.ReportError(c.code, c.argument);
        ASSERT_FALSE(box_.shown.empty());
        EXPECT_EQ(box_.shown.back().text, c.text) << c.code;
        EXPECT_EQ(box_.shown.back().icon, c.icon) << c.code;
        EXPECT_FALSE(box_.shown.back().systemModal);
        EXPECT_EQ(box_.shown.back().title, "Qor32 - Thermal Analyzer ()") << c.code;
    }
    EXPECT_EQ(box_.shown.size(), std::size(cases)) << "one box per report";
}

TEST_F(ReportErrorTest, EmTableHoldsItsOwnRows) {
    Messages em(Analyzer::Em, box_);
    const struct {
        int code;
        const char* argument;
        const char* text;
        MessageIcon icon;
    } cases[] = {
        {23, "U9", "Component: U9 not found", MessageIcon::None},
        {200, "CLK", "Net: CLK already set", MessageIcon::Warning},
        {300, "", "Can't create Super Node)", MessageIcon::Warning},
        {308, "1e-9", "Incorrect Time value - Step: 1e-9", MessageIcon::Warning},
        {309, "CLK", "Drives/Receivers not set - Net: CLK", MessageIcon::Warning},
        {10017, "", "Too many package's primitives", MessageIcon::None},
        {10019, "", "Too many text strings in package's primitives", MessageIcon::None},
        {14, "LM358", "Unknown Error:  14", MessageIcon::Stop},
        {3003, "", "Unknown Error:  3003", MessageIcon::Stop},
    };
    for (const auto& c : cases) {
        const MessageRequest m = em.ErrorMessage(c.code, c.argument);
        EXPECT_EQ(m.text, c.text) << c.code;
        EXPECT_EQ(m.icon, c.icon) << c.code;
        EXPECT_EQ(m.title, "Qor32 - Electromagnetic Analyzer ()");
    }
    Messages thermal(Analyzer::Thermal, box_);
    EXPECT_EQ(thermal.ErrorMessage(200, "CLK").text, "Unknown Error:  200");
}

TEST_F(ReportErrorTest, TablesHaveUniqueCodesAndTheSharedEngineRows) {
    for (const Analyzer a : {Analyzer::Thermal, Analyzer::Em}) {
        std::set<int> codes;
        for (const ErrorRow& r : ErrorTable(a)) EXPECT_TRUE(codes.insert(r.code).second) << r.code;
        for (int code = 10000; code <= 10020; ++code) EXPECT_TRUE(codes.count(code)) << code;
        for (const int code : {8, 10, 23, 100}) EXPECT_TRUE(codes.count(code)) << code;
    }
    EXPECT_EQ(ErrorTable(Analyzer::Em).size(), 4u + 21u + 12u);
}

TEST_F(ReportErrorTest, TitleCarriesTheCurrentFunction) {
    Messages thermal(Analyzer::Thermal, box_);
    thermal.SetCurrentFunction("&Move Component");
    EXPECT_EQ(thermal.Title(), "Qor32 - Thermal Analyzer (Move Component)");
    thermal.SetCurrentFunction("Copy && &Paste");
    EXPECT_EQ(thermal.currentFunction(), "Copy & Paste");
    thermal.SetCurrentFunction("");
    EXPECT_EQ(thermal.Title(), "Qor32 - Thermal Analyzer ()");
}

TEST_F(ReportErrorTest, TextsTitleAndUnknownRowAreLocalized) {
    UseCatalog(dir_,
               "99607=Qor32 -\n3998=Thermo-Analysator\n99891=Fehlende Gruppe(n) in Bauteil:\n"
               "99472=Bauelement:\n99962=nicht gefunden\n39116=Unbekannter Fehler:\n");
    Messages thermal(Analyzer::Thermal, box_);
    EXPECT_EQ(thermal.Title(), "Qor32 - Thermo-Analysator ()");
    EXPECT_EQ(thermal.ErrorMessage(14, "LM358").text, "Fehlende Gruppe(n) in Bauteil: LM358");
    EXPECT_EQ(thermal.ErrorMessage(23, "U9").text, "Bauelement: U9 nicht gefunden");
    EXPECT_EQ(thermal.ErrorMessage(2002, "").text, "Unbekannter Fehler:  2002");
    EXPECT_EQ(thermal.ErrorMessage(10000, "").text, " ")
        << "the blank of engine error 0 has no number";
}

TEST_F(ReportErrorTest, AFailingMessageBoxDoesNotEscape) {
    struct ThrowingBox : MessageBox {
        void show(const MessageRequest&) override { throw std::runtime_error("no display"); }
    } box;
    Messages thermal(Analyzer::Thermal, box);
    EXPECT_NO_THROW(thermal.ReportError(14, "x"));
    EXPECT_NO_THROW(thermal.ReportReadError("/a", "b"));
}

// The shipped English catalog holds the default text of every message number of both tables, and
// the German catalog translates each of them.
TEST(MessageCatalogs, CoverBothErrorTables) {
    std::map<int, std::string> english;
    std::ifstream in(std::string(QOR_SOURCE_DIR) + "/examples/lang/en.txt");
    for (std::string line; std::getline(in, line);) {
        const size_t eq = line.find('=');
        if (line.empty() || line[0] == '#' || eq == std::string::npos) continue;
        english[std::stoi(line.substr(0, eq))] = line.substr(eq + 1);
    }
    for (const Analyzer a : {Analyzer::Thermal, Analyzer::Em}) {
        for (const ErrorRow& r : ErrorTable(a)) {
            for (const auto& [number, text] :
                 {std::pair{r.number, r.text}, std::pair{r.secondNumber, r.secondText}}) {
                if (number == 0) continue;
                // Texts that differ only between the front ends share a number; English holds the
                // thermal spelling.
                if (a == Analyzer::Em && r.code >= 10015 && r.code <= 10019) continue;
                ASSERT_TRUE(english.count(number)) << number;
                EXPECT_EQ(english[number], TrimBlanks(text)) << number;
            }
        }
    }
    testing::UseShippedCatalog("de");
    for (const auto& [number, text] : english)
        EXPECT_NE(L32_Object_GetMessage(number), nullptr) << number;
}

}  // namespace
}  // namespace qor::frontend
