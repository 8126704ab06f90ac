#include "qor/frontend/localization.h"

#include <array>
#include <cctype>

#include "qor/frontend/list_parser.h"
#include "qor/localtext/localtext.h"

namespace qor::frontend {

namespace {

size_t leadingBlanks(std::string_view s) {
    const size_t first = s.find_first_not_of(' ');
    return first == std::string_view::npos ? s.size() : first;
}

size_t trailingBlanks(std::string_view s) {
    const size_t last = s.find_last_not_of(' ');
    return last == std::string_view::npos ? 0
                                          : s.size() - 1 - last;  // an all-blank text counts once
}

bool equalNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string cutAtZero(std::string s) {
    if (const size_t zero = s.find('\0'); zero != std::string::npos) s.resize(zero);
    return s;
}

}  // namespace

std::string LocalText(std::string_view defaultText, int32_t messageNumber) {
    const char* localized = L32_Object_GetMessage(messageNumber);
    if (!localized) return std::string(defaultText);
    return std::string(leadingBlanks(defaultText), ' ') + TrimBlanks(localized) +
           std::string(trailingBlanks(defaultText), ' ');
}

std::string LocalText(std::string_view defaultText, std::string_view messageNumber) {
    const double number = TextToNumber(messageNumber);
    if (number < INT32_MIN || number > INT32_MAX) return std::string(defaultText);
    return LocalText(defaultText, static_cast<int32_t>(number));
}

InterfaceFont ChooseInterfaceFont(uint32_t locale, FontSystem& fonts) {
    const uint32_t primary = locale & 0x3FF;
    const uint32_t sub = locale >> 10;
    switch (primary) {
        case 4:  // Chinese
            if (sub == 1) return {"\u65B0\u7D30\u660E\u9AD4", 9, 136};
            if (sub == 2) return {"\u5B8B\u4F53", 9, 134};
            return {"", 0, 0};
        case 17:  // Japanese
            return {"\uFF2D\uFF33 \uFF30\u30B4\u30B7\u30C3\u30AF", 9, 128};
        case 18:  // Korean
            if (sub == 1 || sub == 2) return {"\uAD74\uB9BC", 9, 129};
            return {"", 9, 129};
        default:
            break;
    }
    InterfaceFont font{"", 8, fonts.userLocaleCharset()};
    for (const char* candidate : {"MS Sans Serif", "Arial", "System"}) {
        const std::string reported = cutAtZero(fonts.reportedFaceName(candidate));
        if (equalNoCase(reported, candidate)) {
            font.name = reported;
            return font;
        }
    }
    font.name = cutAtZero(fonts.iconTitleFaceName());
    if (font.name.empty()) font.name = cutAtZero(fonts.defaultGuiFaceName());
    return font;
}

void LocalizeWindow(LocalizableControl& window, const std::vector<LocalizableControl*>& controls,
                    const InterfaceFont& font) {
    const auto localize = [](LocalizableControl& c) {
        const std::string tag = c.tag();
        std::string caption;
        if (!tag.empty() && c.caption(caption)) c.setCaption(LocalText(caption, tag));
    };
    localize(window);
    for (LocalizableControl* c : controls) {
        if (!c) continue;
        if (!font.name.empty()) {
            c->setFontName(font.name);
            c->setFont(font);
        }
        c->setBold(false);
        localize(*c);
    }
}

}  // namespace qor::frontend
