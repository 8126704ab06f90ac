#include "qor/frontend/text_utils.h"

#include <gtest/gtest.h>

#include "qor/frontend/cancel_key.h"
#include "test_support.h"

namespace qor::frontend {
namespace {

using testing::ScratchDir;
using testing::UseCatalog;

TEST(HostText, CopiesOrGivesEmpty) {
    EXPECT_EQ(HostText("abc"), "abc");
    EXPECT_EQ(HostText(nullptr), "");
}

TEST(YesNoText, FixedInTheThermalFrontEndLocalizedInTheEmFrontEnd) {
    ScratchDir dir;
    UseCatalog(dir, "991426=Ja\n99938=Nein\n");
    EXPECT_EQ(YesNoText(1, Analyzer::Thermal), "Yes");
    EXPECT_EQ(YesNoText(-7, Analyzer::Thermal), "Yes");
    EXPECT_EQ(YesNoText(0, Analyzer::Thermal), "No ");
    EXPECT_EQ(YesNoText(1, Analyzer::Em), "Ja");
    EXPECT_EQ(YesNoText(0, Analyzer::Em), "Nein ") << "the default's trailing blank stays";
    UseCatalog(dir, "");
    EXPECT_EQ(YesNoText(1, Analyzer::Em), "Yes");
    EXPECT_EQ(YesNoText(0, Analyzer::Em), "No ");
}

TEST(TemperatureText, BothUnits) {
    const std::string deg(kDegreeSign);
    const struct {
        double celsius;
        int unit;
        std::string expected;
    } cases[] = {
        {25, kCentigrade, "25.00" + deg + "C"},
        {25, kFahrenheit, "77.00" + deg + "F"},
        {-40, kFahrenheit, "-40.00" + deg + "F"},
        {36.666, kCentigrade, "36.67" + deg + "C"},
        {0, kCentigrade, "0.00" + deg + "C"},
        {125.5, 2, ""},
        {125.5, -1, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TemperatureText(c.celsius, c.unit, deg), c.expected) << c.celsius;
    EXPECT_EQ(TemperatureText(25, kCentigrade, ""), "25.00C");
}

TEST(Geometry, HypotenuseAndDirectionAngle) {
    EXPECT_DOUBLE_EQ(Hypotenuse(3, 4), 5);
    EXPECT_DOUBLE_EQ(Hypotenuse(-3, 0), 3);
    const struct {
        double dx, dy, degrees;
    } cases[] = {
        {1, 0, 0},     {1, 1, 45},
        {0, 1, 90},    {0, 0, 90},
        {-1, 1, 135},  {-1, 0, 180},
        {-1, -1, 225}, {0, -1, 270},
        {1, -1, 315},  {2, -0.5, 360 - 14.036243467926479},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(DirectionAngle(c.dx, c.dy), c.degrees, 1e-9) << c.dx << "," << c.dy;
}

TEST(LengthUnits, KernelLengthsInInchesAndMillimetres) {
    EXPECT_EQ(LengthUnitOf(kUnitInch).name, "inch");
    EXPECT_EQ(LengthUnitOf(kUnitMillimetre).name, "mm");
    EXPECT_EQ(LengthText(2540000, kUnitInch), "1.0000\"");
    EXPECT_EQ(LengthText(123456, kUnitInch), "0.0486\"");
    EXPECT_EQ(LengthText(1234567, kUnitInch), "0.48605\"");
    EXPECT_EQ(LengthText(100000, kUnitMillimetre), "1.000mm");
    EXPECT_EQ(LengthText(-12345678, kUnitMillimetre), "-123.457mm");
    EXPECT_EQ(AngleText(90000), "90.0" + std::string(kDegreeSign));
    EXPECT_EQ(AngleText(45125), "45.13" + std::string(kDegreeSign));
}

TEST(CancelRequested, KeyHeldOrPressedSinceTheLastTest) {
    LatchedCancelKey key;
    EXPECT_FALSE(CancelRequested(key));
    key.pressed();
    key.released();
    EXPECT_TRUE(CancelRequested(key)) << "a press between two tests is not lost";
    EXPECT_FALSE(CancelRequested(key)) << "and counts once";
    key.pressed();
    EXPECT_TRUE(CancelRequested(key));
    EXPECT_TRUE(CancelRequested(key)) << "a held key cancels at every test";
    key.released();
    EXPECT_FALSE(CancelRequested(key));
}

}  // namespace
}  // namespace qor::frontend
