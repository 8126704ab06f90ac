// The kernel's one process-wide state: the open design with its lookup tables, the named-record
// positions, the string store and the drawing state.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "qor/design/design_file.h"
#include "qor/design/model.h"
#include "qor/kernel/surface.h"

namespace qor::kernel {

// Map handles. Node maps carry their net in the low bits.
enum MapHandle : int32_t {
    kComponentMap = 1,
    kNetMap = 2,
    kTraceMap = 3,
    kFileMap = 4,
    kHierarchyMap = 5,
    kLayerMap = 6,
    kNodeMapBase = 0x10000000,
};

// Object handles: kind in the top byte, the number (signed, 24 bits) below.
enum ObjectKind : int32_t {
    kDesignObject = 1,
    kHierarchyObject = 2,
    kLayerObject = 3,
    kComponentObject = 4,
    kDeviceObject = 5,
    kSymbolObject = 6,
    kNetObject = 7,
    kNodeObject = 8,
    kTraceObject = 9,
    kRecordObject = 10,
    kSymbolItemArray = 11,  // the item array of a symbol; the number is the symbol's
    kLayoutTextArray = 12,  // the design's layout texts (number 1)
};
inline int32_t makeObject(ObjectKind kind, int32_t number) {
    return static_cast<int32_t>((static_cast<uint32_t>(kind) << 24) | (static_cast<uint32_t>(number) & 0xFFFFFFu));
}
inline ObjectKind objectKind(int32_t object) { return static_cast<ObjectKind>(static_cast<uint32_t>(object) >> 24); }
inline int32_t objectNumber(int32_t object) {
    const auto low = static_cast<uint32_t>(object) & 0xFFFFFFu;
    return static_cast<int32_t>(low & 0x800000u ? low | 0xFF000000u : low);  // sign-extend 24 bits
}

// Lookup tables over a loaded design: number -> position, per-net trace and node lists.
struct DesignIndex {
    std::unordered_map<int32_t, size_t> component, device, symbol, net, node, trace;
    std::unordered_map<int32_t, std::vector<int32_t>> netTraces, netNodes;
    std::vector<int32_t> copperTraces;  // every trace but the outline, in number order
    void rebuild(const design::Design& d);
};

struct OpenDesign {
    std::unique_ptr<design::DesignFile> file;
    design::Design model;
    DesignIndex index;
    std::map<int32_t, size_t> recordPosition;  // F_ handle -> position
    std::vector<design::DesignFile::RecordInfo> recordCache;  // for walks and names of the file map
};

struct DrawState {
    std::map<int32_t, std::unique_ptr<Surface>> surfaces;
    int32_t nextSurface = 1;
    Surface* current = nullptr;
    int32_t colour = 15;
    int32_t style = 16;
    int32_t drawFlags = 0;    // the draw mode (G_SetDrawMode)
    int32_t widthPixels = 1;  // pen width of G_Line
    // The view of the open context, or of the last one: G_DPtoLP, the grid and the cached picture
    // work on it after the context is closed. lastSurface is 0 before the first G_OpenDC and after
    // that surface was deleted.
    bool haveView = false;
    KViewRecord lastView{};
    int32_t lastSurface = 0;
    std::set<int32_t>
        thickPens;  // distinct pen widths (pixels) above one pixel since the last free
};

struct KernelState {
    std::unique_ptr<OpenDesign> design;
    std::string lastError;
    std::map<std::string, std::string> strings;
    std::string scratch;  // backs texts returned by calls that build them
    DrawState draw;
};

KernelState& state();

// The open design, or nullptr.
inline OpenDesign* openDesign() { return state().design.get(); }

// Lookups in the open design; nullptr when absent.
const design::Component* findComponent(int32_t index);
const design::Device* findDevice(int32_t number);
const design::Symbol* findSymbol(int32_t number);
const design::Net* findNet(int32_t number);
const design::Node* findNode(int32_t number);
const design::Trace* findTrace(int32_t number);

// Colour of a layer's copper when the kernel draws it.
int32_t layerColour(int32_t layer);

}  // namespace qor::kernel
