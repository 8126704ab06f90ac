// Localized texts by message number, and the interface font chosen from the system locale.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qor::frontend {

// The localized text of a message number, keeping the blanks that the default text has at its
// start and end: the default's leading blanks, the localized text trimmed of blanks, the default's
// trailing blanks. The default text unchanged when the catalog has no text for the number.
std::string LocalText(std::string_view defaultText, int32_t messageNumber);
// The same with the number given as text (a window's or control's tag), read by its leading number.
std::string LocalText(std::string_view defaultText, std::string_view messageNumber);

// The interface font: face name (UTF-8, empty = leave the controls' fonts as they are), point size
// and character set.
struct InterfaceFont {
    std::string name;
    int pointSize = 0;
    int charset = 0;
    friend bool operator==(const InterfaceFont&, const InterfaceFont&) = default;
};

// What the system tells about fonts. The GUI implements it over the real font system.
class FontSystem {
  public:
    virtual ~FontSystem() = default;
    // The face name that a font object created for `name` reports back.
    virtual std::string reportedFaceName(const std::string& name) = 0;
    // The face name of the icon-title font; empty when it cannot be read.
    virtual std::string iconTitleFaceName() = 0;
    // The face name of the default GUI font.
    virtual std::string defaultGuiFaceName() = 0;
    // The character set matching the user locale's font signature; 0 when none matches.
    virtual int userLocaleCharset() = 0;
};

// The interface font for a locale number (primary language = locale AND 0x3FF, sublanguage =
// locale shifted right by 10): fixed faces for Chinese, Japanese and Korean, otherwise the first
// installed of "MS Sans Serif", "Arial" and "System" in 8 points, else the system's icon-title
// font (or its default GUI font).
InterfaceFont ChooseInterfaceFont(uint32_t locale, FontSystem& fonts);

// A window or control as LocalizeWindow sees it. A property that a control lacks answers false
// and is passed over.
class LocalizableControl {
  public:
    virtual ~LocalizableControl() = default;
    // The message number of the control's text ("" = not localized).
    virtual std::string tag() const = 0;
    // The caption; false when the control has none.
    virtual bool caption(std::string& text) const = 0;
    virtual bool setCaption(const std::string& text) = 0;
    virtual bool setFontName(const std::string& name) = 0;
    virtual bool setFont(const InterfaceFont& font) = 0;
    virtual bool setBold(bool bold) = 0;
};

// Localizes a window: its caption by its tag, then for every control in the window's order the
// font name, the font, bold off and, when the control has a tag, its caption. An empty font name
// leaves the fonts as they are.
void LocalizeWindow(LocalizableControl& window, const std::vector<LocalizableControl*>& controls,
                    const InterfaceFont& font);

}  // namespace qor::frontend
