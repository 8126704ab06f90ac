#include "qor/frontend/localization.h"

#include <gtest/gtest.h>

#include <map>

#include "test_support.h"

namespace qor::frontend {
namespace {

using testing::ScratchDir;
using testing::UseCatalog;

TEST(LocalText, KeepsTheBlanksOfTheDefaultText) {
    ScratchDir dir;
    UseCatalog(dir, "100=  Beschriftung \n101=Text\n102=   \n");
    const struct {
        const char* text;
        int number;
        const char* expected;
    } cases[] = {
        {"  Caption ", 100, "  Beschriftung "},
        {"Caption", 100, "Beschriftung"},
        {"Caption: ", 101, "Text "},
        {"  Caption ", 999, "  Caption "},
        {" ", 101, " Text"},
        {"Caption", 102, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LocalText(c.text, c.number), c.expected) << c.text << c.number;
}

TEST(LocalText, NumberGivenAsTextReadsItsLeadingNumber) {
    ScratchDir dir;
    UseCatalog(dir, "3998=Thermo-Analysator\n");
    EXPECT_EQ(LocalText("Thermal Analyzer", "3998"), "Thermo-Analysator");
    EXPECT_EQ(LocalText("Thermal Analyzer", " 3998abc"), "Thermo-Analysator");
    EXPECT_EQ(LocalText("Thermal Analyzer", ""), "Thermal Analyzer");
    EXPECT_EQ(LocalText("Thermal Analyzer", "abc"), "Thermal Analyzer");
    EXPECT_EQ(LocalText("Thermal Analyzer", "1e30"), "Thermal Analyzer");
}

class FakeFonts : public FontSystem {
  public:
    std::map<std::string, std::string> installed;  // requested name -> name the system reports
    std::string iconTitle;
    std::string defaultGui = "Sans";
    int charset = 238;

    std::string reportedFaceName(const std::string& name) override {
        const auto it = installed.find(name);
        return it == installed.end() ? "Fallback Face" : it->second;
    }
    std::string iconTitleFaceName() override { return iconTitle; }
    std::string defaultGuiFaceName() override { return defaultGui; }
    int userLocaleCharset() override { return charset; }
};

uint32_t locale(uint32_t primary, uint32_t sub) {
    return primary | (sub << 10);
}

TEST(ChooseInterfaceFont, FixedFacesForEastAsianLocales) {
    FakeFonts fonts;
    const struct {
        uint32_t locale;
        InterfaceFont font;
    } cases[] = {
        {locale(4, 1), {"\u65B0\u7D30\u660E\u9AD4", 9, 136}},
        {locale(4, 2), {"\u5B8B\u4F53", 9, 134}},
        {locale(4, 3), {"", 0, 0}},
        {locale(17, 1), {"\uFF2D\uFF33 \uFF30\u30B4\u30B7\u30C3\u30AF", 9, 128}},
        {locale(17, 5), {"\uFF2D\uFF33 \uFF30\u30B4\u30B7\u30C3\u30AF", 9, 128}},
        {locale(18, 1), {"\uAD74\uB9BC", 9, 129}},
        {locale(18, 2), {"\uAD74\uB9BC", 9, 129}},
        {locale(18, 3), {"", 9, 129}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ChooseInterfaceFont(c.locale, fonts), c.font) << std::hex << c.locale;
}

TEST(ChooseInterfaceFont, FirstInstalledFaceOtherwise) {
    FakeFonts fonts;
    const uint32_t german = locale(7, 1);
    fonts.installed = {{"Arial", "ARIAL"}, {"System", "System"}};
    EXPECT_EQ(ChooseInterfaceFont(german, fonts), (InterfaceFont{"ARIAL", 8, 238}))
        << "the name compares without case and is used as the system writes it";
    fonts.installed["MS Sans Serif"] = "MS Sans Serif";
    EXPECT_EQ(ChooseInterfaceFont(german, fonts).name, "MS Sans Serif");
    fonts.installed = {};
    fonts.iconTitle = std::string("Segoe UI\0garbage", 16);
    fonts.charset = 0;
    EXPECT_EQ(ChooseInterfaceFont(locale(9, 1), fonts), (InterfaceFont{"Segoe UI", 8, 0}));
    fonts.iconTitle.clear();
    EXPECT_EQ(ChooseInterfaceFont(locale(9, 1), fonts).name, "Sans");
}

}  // namespace
}  // namespace qor::frontend
