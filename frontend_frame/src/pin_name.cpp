#include "qor/frontend/pin_name.h"

#include <cmath>
#include <limits>
#include <optional>
#include <vector>

#include "qor/frontend/list_parser.h"
#include "qor/frontend/text_utils.h"
#include "qor/kernel/kernel.h"

namespace qor::frontend {

namespace {

constexpr int32_t kNamingTextMask = 4;
constexpr int32_t kTextItem = 6;

// The text of the symbol's naming item, if it has one.
std::optional<std::string> namingText(int32_t symbol) {
    const int32_t items = S_SymbolItemArray(symbol);
    if (!items) return std::nullopt;
    for (int32_t at = OA_SearchMask(items, 1, kNamingTextMask); at > 0;
         at = OA_SearchMask(items, at + 1, kNamingTextMask)) {
        KItemRecord item{};
        if (I_ReadItem(items, at, &item) && item.kind == kTextItem) return HostText(item.text);
    }
    return std::nullopt;
}

// (distance / pitch) + 1, rounded; 1 for a pitch of 0.
int64_t gridIndex(int64_t distance, int64_t pitch) {
    if (pitch == 0) return 1;
    return std::llround(static_cast<double>(distance) / static_cast<double>(pitch) + 1);
}

}  // namespace

std::string PinName(int32_t component, int32_t pad) {
    const std::string number = std::to_string(pad);
    KComponentRecord c{};
    if (L_ReadComponent(component, &c) != 1) return number;
    const std::optional<std::string> text = namingText(c.symbol);
    if (!text) return number;
    const ParsedList naming = ParseList(*text);
    if (naming.count() < 3) return number;
    const double columns = naming.number(2);

    KSymbolRecord symbol{};
    KRect frame{};
    if (!S_ReadSymbol(c.symbol, &symbol) || !S_FrameSymbolEntries(c.symbol, &frame)) return number;
    std::vector<KEntryRecord> entries;
    for (int32_t i = 1; i <= symbol.padCount; ++i) {
        KEntryRecord e{};
        if (S_ReadSymbolEntry(c.symbol, i, &e)) entries.push_back(e);
    }
    int64_t columnPitch = int64_t{frame.right} - frame.left;
    int64_t rowPitch = int64_t{frame.top} - frame.bottom;
    const KEntryRecord* entry = nullptr;
    for (const KEntryRecord& e : entries) {
        const int64_t dx = std::llabs(int64_t{e.x} - frame.left);
        const int64_t dy = std::llabs(int64_t{frame.top} - e.y);
        if (dx != 0 && dx < columnPitch) columnPitch = dx;
        if (dy != 0 && dy < rowPitch) rowPitch = dy;
        if (e.pin == pad && !entry) entry = &e;
    }
    if (!entry) return number;
    const int64_t column = gridIndex(int64_t{entry->x} - frame.left, columnPitch);
    const int64_t row = gridIndex(int64_t{frame.top} - entry->y, rowPitch);
    if (row < 1 || row > naming.count() - 2 || column < 1 || static_cast<double>(column) > columns)
        return number;
    const std::string rowName = TrimBlanks(naming.word(static_cast<int>(row) + 2));
    if (rowName.empty()) return number;
    return std::to_string(column) + rowName;
}

}  // namespace qor::frontend
