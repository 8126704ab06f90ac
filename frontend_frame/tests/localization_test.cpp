#include "qor/frontend/localization.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>

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

namespace qor::frontend {
namespace {

class FakeControl : public LocalizableControl {
  public:
    FakeControl(std::string tag, std::optional<std::string> caption, bool hasFont = true)
        : tag_(std::move(tag)), caption_(std::move(caption)), hasFont_(hasFont) {}
    std::string tag() const override { return tag_; }
    bool caption(std::string& text) const override {
        if (caption_) text = *caption_;
        return caption_.has_value();
    }
    bool setCaption(const std::string& text) override {
        if (!caption_) return false;
        caption_ = text;
        return true;
    }
    bool setFontName(const std::string& name) override {
        if (hasFont_) fontName_ = name;
        return hasFont_;
    }
    bool setFont(const InterfaceFont& font) override {
        if (hasFont_) size_ = font.pointSize;
        return hasFont_;
    }
    bool setBold(bool bold) override {
        bold_ = bold;
        return true;
    }

    std::string tag_;
    std::optional<std::string> caption_;
    bool hasFont_;
    std::string fontName_ = "old";
    int size_ = 0;
    bool bold_ = true;
};

TEST(LocalizeWindow, CaptionsByTagAndTheInterfaceFont) {
    testing::ScratchDir dir;
    testing::UseCatalog(dir, "3998=Thermo-Analysator\n3911=Luftgeschwindigkeit:\n");
    FakeControl window("3998", "Thermal Analyzer");
    FakeControl label("3911", "Air velocity: ");
    FakeControl untagged("", "Unchanged");
    FakeControl noCaption("3911", std::nullopt, false);
    LocalizeWindow(window, {&label, &untagged, nullptr, &noCaption}, {"Arial", 8, 0});
    EXPECT_EQ(window.caption_, "Thermo-Analysator");
    EXPECT_EQ(window.fontName_, "old") << "the window's own font is left alone";
    EXPECT_EQ(label.caption_, "Luftgeschwindigkeit: ");
    EXPECT_EQ(untagged.caption_, "Unchanged");
    EXPECT_EQ(noCaption.caption_, std::nullopt);
    for (const FakeControl* c : {&label, &untagged}) {
        EXPECT_EQ(c->fontName_, "Arial");
        EXPECT_EQ(c->size_, 8);
        EXPECT_FALSE(c->bold_);
    }
    EXPECT_EQ(noCaption.fontName_, "old");
    EXPECT_FALSE(noCaption.bold_);

    FakeControl other("", "x");
    LocalizeWindow(window, {&other}, {"", 0, 0});
    EXPECT_EQ(other.fontName_, "old") << "an empty font name leaves the fonts as they are";
}

}  // namespace
}  // namespace qor::frontend
