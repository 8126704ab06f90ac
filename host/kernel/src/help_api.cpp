// E_SysTable, E_MemCopy and H_: the host's system tables and its context help.
#include <algorithm>
#include <array>
#include <cstring>

#include "guard.h"
#include "qor/kernel/help.h"
#include "qor/kernel/kernel.h"
#include "tables.h"

namespace qor::kernel {

namespace {

namespace qd = qor::design;

struct HostTables {
    std::array<std::array<int32_t, 32>, 32> words{};
    HelpDisplay help;
};

HostTables& tables() {
    static HostTables t;
    return t;
}

enum Table : size_t {
    kLayerCodes = 2,
    kGridSteps = 5,
    kSnapSteps = 6,
    kAngleSnap = 7,
    kLayerVisibility = 11,
    kZooms = 21,
};

constexpr int32_t kMil = qd::kUnitsPerInch / 1000;   // 2540 units
constexpr int32_t kMicron = qd::kUnitsPerMm / 1000;  // 100 units

// Grid and snap: word 0 the initial entry, 1-6 inch steps of 1, 5, 10, 25, 50 and 100 mil,
// 8-13 mm steps of 0.01, 0.05, 0.1, 0.25, 0.5 and 1 mm.
constexpr std::array<int32_t, 14> kStepTable = {
    0, 1 * kMil,     5 * kMil,     10 * kMil,     25 * kMil,     50 * kMil,     100 * kMil,
    0, 10 * kMicron, 50 * kMicron, 100 * kMicron, 250 * kMicron, 500 * kMicron, 1000 * kMicron};
constexpr int32_t kInitialGrid = 5;  // 50 mil
constexpr int32_t kInitialSnap = 4;  // 25 mil

// Zooms in units per pixel: 1-15 from 0.05 to 1000 mil per pixel, 17-31 from 1 um to 25.4 mm per
// pixel (the largest zoom a view takes).
constexpr std::array<int32_t, 15> kInchZooms = {127,    254,    508,    1270,    2540,
                                                5080,   7620,   12700,  25400,   50800,
                                                127000, 254000, 508000, 1270000, 2540000};
constexpr std::array<int32_t, 15> kMmZooms = {100,    200,    500,     1000,    2000,
                                              5000,   10000,  20000,   50000,   100000,
                                              200000, 500000, 1000000, 2000000, 2540000};
constexpr int32_t kInitialZoom = 8;  // 5 mil per pixel: a 100 mm board fills about 800 pixels

// One character per layer: the layer number in base 32, "0" ... "9", then "A" ... "V".
constexpr char kLayerCodeText[] = "0123456789ABCDEFGHIJKLMNOPQRSTUV";
static_assert(sizeof kLayerCodeText == 33);

}  // namespace

void setHelpDisplay(HelpDisplay display) {
    tables().help = std::move(display);
}

uint32_t usedLayers(const qd::Design& d) {
    uint32_t used = 0;
    const auto add = [&](int32_t layer) {
        if (layer >= 0 && layer < qd::kLayerCount) used |= 1u << layer;
    };
    for (const auto& t : d.traces) {
        if (t.number == qd::kOutlineTrace) {
            if (!t.points.empty()) add(0);
            continue;
        }
        for (const auto& p : t.points)
            if (!(p.flags & qd::kPointArcCentre)) add(p.layer);
    }
    for (const auto& c : d.components) add(c.flags & qd::kComponentMirrored ? 29 : 2);
    for (const auto& s : d.symbols)
        if (s.number < 0)
            for (const auto& it : s.items) add(it.layer & 0x1F);
    for (const auto& it : d.layoutTexts) add(it.layer & 0x1F);
    return used;
}

int32_t activeLayer(const qd::Design& d) {
    const uint32_t used = usedLayers(d);
    for (int32_t layer = 2; layer <= 29; ++layer)
        if ((used >> layer) & 1u) return layer;
    return 2;
}

void fillDesignTables(const qd::Design& d) {
    auto& w = tables().words;
    w[kLayerCodes].fill(0);
    std::memcpy(w[kLayerCodes].data(), kLayerCodeText, 32);

    for (const size_t t : {kGridSteps, kSnapSteps}) {
        w[t].fill(0);
        std::copy(kStepTable.begin(), kStepTable.end(), w[t].begin());
    }
    w[kGridSteps][0] = kInitialGrid;
    w[kSnapSteps][0] = kInitialSnap;

    w[kAngleSnap].fill(0);
    w[kAngleSnap][0] = 45000;

    // The model keeps no visibility: every layer that carries something is shown; a design that
    // carries nothing shows every layer, so whatever is added to it is seen.
    uint32_t visible = usedLayers(d);
    if (visible == 0) visible = 0xFFFFFFFFu;
    w[kLayerVisibility].fill(0);
    w[kLayerVisibility][0] = static_cast<int32_t>(visible & 0xFFFFu);
    w[kLayerVisibility][1] = static_cast<int32_t>(visible >> 16);

    w[kZooms].fill(0);
    std::copy(kInchZooms.begin(), kInchZooms.end(), w[kZooms].begin() + 1);
    std::copy(kMmZooms.begin(), kMmZooms.end(), w[kZooms].begin() + 17);
    w[kZooms][0] = kInitialZoom;
}

bool layerVisible(int32_t layer) {
    if (layer < 0 || layer >= qd::kLayerCount) return false;
    const int32_t word = tables().words[kLayerVisibility][static_cast<size_t>(layer / 16)];
    return (static_cast<uint32_t>(word) >> (layer % 16)) & 1u;
}

bool anyLayerVisible(uint32_t layers) {
    for (int32_t layer = 0; layer < qd::kLayerCount; ++layer)
        if (((layers >> layer) & 1u) && layerVisible(layer)) return true;
    return false;
}

}  // namespace qor::kernel

using namespace qor::kernel;

extern "C" {

int32_t* E_SysTable(int32_t table) {
    if (table < 0 || table >= 32) return nullptr;
    return tables().words[static_cast<size_t>(table)].data();
}

int32_t E_MemCopy(void* destination, const void* source, int32_t bytes) {
    if (!destination || !source || bytes <= 0) return 0;
    // A caller may copy a table onto itself shifted; memmove keeps overlapping copies right.
    std::memmove(destination, source, static_cast<size_t>(bytes));
    return bytes;
}

int32_t H_DispTopic(int32_t owner, const char* helpFile, int32_t topic) {
    return guard(0, [&] {
        if (!tables().help) return 0;
        tables().help(owner, helpFile ? helpFile : "", topic);
        return 1;
    });
}

}  // extern "C"
