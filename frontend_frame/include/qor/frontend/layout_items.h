// The layout item routines that labels and texts are made of: thin sequences of kernel item calls
// (create, delete by mask, find at a point, read, change, draw and erase in exclusive-or mode,
// frames). The kernel's item calls for layout texts come with the labels; until then the front
// ends program against this interface.
#pragma once

#include <cstdint>
#include <string>

namespace qor::frontend {

// The collections a routine works on, by kind number.
enum class ItemCollection : int32_t {
    SymbolItems = 0,              // the items of a symbol (S_SymbolItemArray)
    SchematicComponentTexts = 1,  // C_CompTextArray
    LayoutComponentTexts = 2,     // L_CompTextArray
    LayoutTexts = 3,              // the layout texts of the design (DB_LayoutTextArray)
    BranchTexts = 4,              // B_BranchTextArray
};

inline constexpr int32_t kTextItemKind = 6;
inline constexpr int32_t kDrawnTextMask = 4;  // set on a text while it is drawn

struct LayoutItem {
    int32_t kind = kTextItemKind;  // 1 line, 3 box, 6 text
    int32_t flags = 0;
    int32_t mask = 0;
    int32_t link = 0;
    int32_t layer = 0;
    int32_t x = 0, y = 0;    // start point (text position)
    int32_t dx = 0, dy = 0;  // offset to the end point (box: width and height)
    int32_t width = 0;
    int32_t gap = 0;
    int32_t angle = 0;
    int32_t textSize = 0;
    int32_t attributes = 0;
    std::string text;
};

struct ItemFrame {
    int32_t left = 0, bottom = 0, right = 0, top = 0;
};

// Status results are 0 for success and 1 for failure, as everywhere in the front ends. `owner` is
// the symbol, component or branch of a collection that belongs to one (ignored for LayoutTexts).
class LayoutItems {
  public:
    virtual ~LayoutItems() = default;
    // Makes a text item (I_MakeText) or another item (I_MakeItem), sets its link and gap and adds
    // it to the collection; the new position in `position`. 1 when the kernel refuses.
    virtual int CreateItem(ItemCollection collection, int32_t owner, const LayoutItem& item,
                           int32_t& position) = 0;
    // Deletes every item of the collection that carries the mask bit.
    virtual void DeleteByMask(ItemCollection collection, int32_t owner, int32_t mask) = 0;
    // The first item from position 1 on that covers the point within the pick aperture; 1 when
    // none.
    virtual int FindAt(ItemCollection collection, int32_t owner, int32_t x, int32_t y,
                       int32_t& position) = 0;
    // Reads the item at a position; 1 when it cannot be read.
    virtual int ReadLabel(ItemCollection collection, int32_t owner, int32_t position,
                          LayoutItem& item) = 0;
    // Writes link, gap, position, attributes and text size back and clears mask bit 4.
    virtual int ChangeItem(ItemCollection collection, int32_t owner, int32_t position,
                           const LayoutItem& item) = 0;
    // Draws a layout text in exclusive-or mode (colour 15, or 0 in monochrome) and sets mask bit 4.
    virtual void DrawText(int32_t position, bool monochrome) = 0;
    // Draws a layout text once more so that it disappears, clears mask bit 4 and, when asked,
    // deletes it.
    virtual void EraseText(int32_t position, bool monochrome, bool deleteText) = 0;
    // Erases (and, when asked, deletes) every layout text with the mask bit and the link number.
    virtual void EraseTextsByLink(int32_t mask, int32_t link, bool monochrome,
                                  bool deleteTexts) = 0;
    // The union of the frames of all layout texts with the mask bit; false when there is none.
    virtual bool FrameOfTexts(int32_t mask, ItemFrame& frame) = 0;
    // Places a symbol (S_SetCompLocation) and draws it (S_DrawSymbol(symbol, -1, -1)).
    virtual void DrawSymbolAt(int32_t symbol, int32_t x, int32_t y, int32_t angle,
                              int32_t side) = 0;
};

}  // namespace qor::frontend
