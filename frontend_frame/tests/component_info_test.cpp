#include "qor/frontend/component_info.h"

#include <gtest/gtest.h>

#include "qor/frontend/text_utils.h"
#include "qor/kernel/kernel.h"
#include "test_support.h"

namespace qor::frontend {
namespace {

using testing::ScratchDir;
using testing::UseCatalog;

class ComponentInfoTest : public testing::DemoDesignTest {
  protected:
    static int32_t Component(const char* name) { return OM_FindName(DB_LayCompMap(), name); }
};

TEST_F(ComponentInfoTest, DemoComponentWithAHitPadOnANet) {
    const int32_t u1 = Component("U1");
    ASSERT_NE(u1, 0);
    const auto info = ReadComponentInfo(u1, 1);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->name, "U1");
    EXPECT_EQ(info->partName, "LM7805");
    EXPECT_EQ(info->packageName, "TO-220");
    EXPECT_EQ(info->netName, "VRAW");
    const std::string deg(kDegreeSign);
    EXPECT_EQ(
        ComponentInfoLines(*info, kUnitMillimetre),
        (std::vector<std::string>{"Comp: U1", "Part/Package: LM7805 / TO-220",
                                  "Position: x:34.000mm y:72.000mm rot:0.0" + deg,
                                  "Component Side / Status: Unlocked", "Pad no. :1 in Net: VRAW"}));
    EXPECT_EQ(ComponentInfoLines(*info, kUnitInch)[2],
              "Position: x:1.33858\" y:2.83465\" rot:0.0" + deg);
}

TEST_F(ComponentInfoTest, DemoComponentsWithoutPadTurnedAndOnTheSolderSide) {
    const auto y1 = ReadComponentInfo(Component("Y1"), 0);
    ASSERT_TRUE(y1);
    const auto lines = ComponentInfoLines(*y1, kUnitMillimetre);
    ASSERT_EQ(lines.size(), 4u) << "no pad line without a hit pad";
    EXPECT_EQ(lines[2], "Position: x:36.000mm y:42.000mm rot:90.0" + std::string(kDegreeSign));

    const auto c16 = ReadComponentInfo(Component("C16"), 2);
    ASSERT_TRUE(c16);
    EXPECT_EQ(ComponentInfoLines(*c16, kUnitMillimetre)[3], "Solder Side / Status: Unlocked");

    EXPECT_FALSE(ReadComponentInfo(0, 0)) << "no component";
    EXPECT_FALSE(ReadComponentInfo(9999, 1));
}

TEST_F(ComponentInfoTest, PadsOnNoNetAndPinsOfOtherComponents) {
    const int32_t u1 = Component("U1");
    EXPECT_NE(NetOfPin(u1, 3), 0);
    EXPECT_NE(NetOfPin(u1, 3), NetOfPin(u1, 1)) << "+5V and VRAW";
    EXPECT_EQ(NetOfPin(u1, 99), 0);
    EXPECT_EQ(NetOfPin(0, 1), 0);
    const int32_t u3 = Component("U3");
    const auto info = ReadComponentInfo(u3, 1);  // LQFP-48 pin 1 is left unconnected
    ASSERT_TRUE(info);
    ASSERT_EQ(NetOfPin(u3, 1), 0);
    EXPECT_EQ(ComponentInfoLines(*info, kUnitMillimetre).back(), "Pad no. :1");
}

TEST(ComponentInfoLines, GatesAndLocalizedTexts) {
    ScratchDir dir;
    UseCatalog(dir, "99454=Bauteil:\n99718=Gatter:\n99769=Im Schaltplan:\n991258=Gesperrt\n");
    ComponentInfo info;
    info.name = "U8";
    info.partName = "LM358";
    info.packageName = "SO-8";
    info.locked = true;
    info.gates = {"U8A", "U8B"};
    const auto lines = ComponentInfoLines(info, kUnitMillimetre);
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[0], "Bauteil: U8") << "the default's trailing blank stays";
    EXPECT_EQ(lines[3], "Component Side / Gesperrt");
    EXPECT_EQ(lines[4], "Gatter:2 Im Schaltplan:");
    EXPECT_EQ(lines[5], " 1.U8A");
    EXPECT_EQ(lines[6], " 2.U8B");
    UseCatalog(dir, "");
}

}  // namespace
}  // namespace qor::frontend
