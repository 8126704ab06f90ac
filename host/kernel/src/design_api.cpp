// DB_, OM_, O_, L_, D_, S_, N_ and T_ calls: reading the open design.
#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>

#include "guard.h"
#include "qor/kernel/kernel.h"
#include "tables.h"
#include "text_metrics.h"

using namespace qor::kernel;
using qor::design::Point;

namespace {

bool equalNoCase(const std::string& a, const char* b) {
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return i == a.size() && b[i] == 0;
}

// Exact match first, then the first match without regard to case.
template <typename T>
int32_t findByName(const std::vector<T>& items, const char* name) {
    for (const T& x : items)
        if (x.name == name) return x.number;
    for (const T& x : items)
        if (equalNoCase(x.name, name)) return x.number;
    return 0;
}

int32_t layerNumberFromObject(int32_t number) { return number - 1; }  // layer objects are 1..32

const std::vector<int32_t>& netNodeList(const OpenDesign& d, int32_t net) {
    static const std::vector<int32_t> none;
    const auto it = d.index.netNodes.find(net);
    return it == d.index.netNodes.end() ? none : it->second;
}

// A map's objects by position, for walks: each step looks at one position, so a walk costs O(1)
// per object.
class MapView {
public:
    // False for an unknown map or with no design open.
    bool open(int32_t map) {
        d_ = openDesign();
        map_ = map;
        if (!d_) return false;
        switch (map) {
            case kComponentMap: size_ = d_->model.components.size(); return true;
            case kNetMap: size_ = d_->model.nets.size(); return true;
            case kTraceMap: size_ = d_->index.copperTraces.size(); return true;
            case kFileMap: size_ = d_->recordCache.size(); return true;
            case kHierarchyMap: size_ = d_->model.hierarchies.size(); return true;
            case kLayerMap: size_ = d_->model.layers.size(); return true;
            default:
                if (map <= kNodeMapBase || !findNet(map - kNodeMapBase)) return false;
                size_ = netNodeList(*d_, map - kNodeMapBase).size();
                return true;
        }
    }
    size_t size() const { return size_; }

    int32_t numberAt(size_t i) const {
        switch (map_) {
            case kComponentMap: return d_->model.components[i].number;
            case kNetMap: return d_->model.nets[i].number;
            case kTraceMap: return d_->index.copperTraces[i];
            case kFileMap: return d_->recordCache[i].id;
            case kHierarchyMap: return d_->model.hierarchies[i].number;
            case kLayerMap: return d_->model.layers[i].number + 1;  // layer objects are 1..32
            default: return netNodeList(*d_, map_ - kNodeMapBase)[i];
        }
    }

    // The mask word of the object at i (records, hierarchies and layers carry none).
    int32_t maskAt(size_t i) const {
        switch (map_) {
            case kComponentMap: return d_->model.components[i].mask;
            case kNetMap: return d_->model.nets[i].mask;
            case kTraceMap: return d_->model.traces[d_->index.trace.at(d_->index.copperTraces[i])].mask;
            case kFileMap:
            case kHierarchyMap:
            case kLayerMap: return 0;
            default: return d_->model.nodes[d_->index.node.at(numberAt(i))].mask;
        }
    }

private:
    const OpenDesign* d_ = nullptr;
    int32_t map_ = 0;
    size_t size_ = 0;
};

void widen(qor::design::Rect& r, bool& any, Point p) {
    if (!any) {
        r = {p.x, p.y, p.x, p.y};
        any = true;
        return;
    }
    r.left = std::min(r.left, p.x), r.bottom = std::min(r.bottom, p.y);
    r.right = std::max(r.right, p.x), r.top = std::max(r.top, p.y);
}

void toKRect(const qor::design::Rect& r, KRect* out) { *out = {r.left, r.bottom, r.right, r.top}; }

int32_t mapHandle(int32_t handle) { return openDesign() ? handle : 0; }

}  // namespace

extern "C" {

int32_t DB_DataBase(void) { return openDesign() ? makeObject(kDesignObject, 1) : 0; }
int32_t DB_CurHier(void) {
    const OpenDesign* d = openDesign();
    return d ? d->model.currentHierarchy : 0;
}
int32_t DB_HierarchyMap(void) { return mapHandle(kHierarchyMap); }
int32_t DB_LayCompMap(void) { return mapHandle(kComponentMap); }
int32_t DB_NetMap(void) { return mapHandle(kNetMap); }
int32_t DB_TraceMap(void) { return mapHandle(kTraceMap); }
int32_t DB_FileMap(void) { return mapHandle(kFileMap); }
int32_t DB_LayerMap(void) { return mapHandle(kLayerMap); }

int32_t OM_GetFirst(int32_t map) {
    (void)map;
    return 0;  // a cursor is the position of the next object to look at
}

int32_t OM_SearchMask(int32_t map, int32_t* cursor, int32_t mask, int32_t value) {
    return guard(0, [&] {
        MapView v;
        if (!cursor || *cursor < 0 || !v.open(map)) return 0;
        for (auto i = static_cast<size_t>(*cursor); i < v.size(); ++i) {
            if ((v.maskAt(i) & mask) != value) continue;
            *cursor = static_cast<int32_t>(i + 1);
            return v.numberAt(i);
        }
        *cursor = static_cast<int32_t>(std::min<size_t>(v.size(), INT32_MAX));
        return 0;
    });
}

int32_t OM_GetCount(int32_t map) {
    return guard(0, [&] {
        MapView v;
        return v.open(map) ? static_cast<int32_t>(v.size()) : 0;
    });
}

int32_t OM_FindName(int32_t map, const char* name) {
    return guard(0, [&]() -> int32_t {
        const OpenDesign* d = openDesign();
        if (!d || !name) return 0;
        switch (map) {
            case kComponentMap: return findByName(d->model.components, name);
            case kNetMap: return findByName(d->model.nets, name);
            case kHierarchyMap: return findByName(d->model.hierarchies, name);
            case kLayerMap: {
                const int32_t layer = findByName(d->model.layers, name);
                for (const auto& l : d->model.layers)
                    if (l.number == layer && (l.name == name || equalNoCase(l.name, name))) return layer + 1;
                return 0;
            }
            case kFileMap:
                for (const auto& r : d->recordCache)
                    if (r.name == name) return r.id;
                return 0;
            default: return 0;
        }
    });
}

int32_t OM_Object(int32_t map, int32_t number) {
    return guard(0, [&]() -> int32_t {
        const OpenDesign* d = openDesign();
        if (!d) return 0;
        switch (map) {
            case kComponentMap: return findComponent(number) ? makeObject(kComponentObject, number) : 0;
            case kNetMap: return findNet(number) ? makeObject(kNetObject, number) : 0;
            case kTraceMap: return findTrace(number) ? makeObject(kTraceObject, number) : 0;
            case kHierarchyMap:
                for (const auto& h : d->model.hierarchies)
                    if (h.number == number) return makeObject(kHierarchyObject, number);
                return 0;
            case kLayerMap:
                return number >= 1 && number <= static_cast<int32_t>(d->model.layers.size())
                           ? makeObject(kLayerObject, number)
                           : 0;
            case kFileMap:
                for (const auto& r : d->recordCache)
                    if (r.id == number) return makeObject(kRecordObject, number);
                return 0;
            default:
                if (map > kNodeMapBase && findNode(number) && findNode(number)->net == map - kNodeMapBase)
                    return makeObject(kNodeObject, number);
                return 0;
        }
    });
}

int32_t OM_MaskAll(int32_t map, int32_t value, int32_t mask) {
    return guard(0, [&] {
        OpenDesign* d = openDesign();
        if (!d) return 0;
        const auto apply = [&](int32_t& m) { m = (m & ~mask) | (value & mask); };
        switch (map) {
            case kComponentMap:
                for (auto& c : d->model.components) apply(c.mask);
                return 1;
            case kNetMap:
                for (auto& n : d->model.nets) apply(n.mask);
                return 1;
            case kTraceMap:
                for (auto& t : d->model.traces)
                    if (t.number != qor::design::kOutlineTrace) apply(t.mask);
                return 1;
            default:
                if (map > kNodeMapBase) {
                    for (auto& n : d->model.nodes)
                        if (n.net == map - kNodeMapBase) apply(n.mask);
                    return 1;
                }
                return 0;
        }
    });
}

const char* O_GetName(int32_t object) {
    return guard<const char*>(nullptr, [&]() -> const char* {
        const OpenDesign* d = openDesign();
        if (!d) return nullptr;
        const int32_t n = objectNumber(object);
        switch (objectKind(object)) {
            case kDesignObject: return d->model.name.c_str();
            case kHierarchyObject:
                for (const auto& h : d->model.hierarchies)
                    if (h.number == n) return h.name.c_str();
                return nullptr;
            case kLayerObject: {
                const int32_t layer = layerNumberFromObject(n);
                for (const auto& l : d->model.layers)
                    if (l.number == layer) return l.name.c_str();
                return nullptr;
            }
            case kComponentObject: {
                const auto* c = findComponent(n);
                return c ? c->name.c_str() : nullptr;
            }
            case kDeviceObject: {
                const auto* v = findDevice(n);
                return v ? v->name.c_str() : nullptr;
            }
            case kSymbolObject: {
                const auto* s = findSymbol(n);
                return s ? s->name.c_str() : nullptr;
            }
            case kNetObject: {
                const auto* net = findNet(n);
                return net ? net->name.c_str() : nullptr;
            }
            case kRecordObject:
                for (const auto& r : d->recordCache)
                    if (r.id == n) return r.name.c_str();
                return nullptr;
            default: return nullptr;
        }
    });
}

int32_t L_ReadComponent(int32_t index, KComponentRecord* out) {
    return guard(0, [&] {
        const auto* c = findComponent(index);
        if (!c || !out) return 0;
        *out = KComponentRecord{};
        out->flags = c->flags, out->angle = c->angle, out->x = c->x, out->y = c->y;
        out->number = c->number, out->symbol = c->symbol, out->device = c->device;
        out->mask = c->mask, out->hierarchy = c->hierarchy, out->name = c->name.c_str();
        return 1;
    });
}

int32_t L_Component(int32_t index) { return findComponent(index) ? makeObject(kComponentObject, index) : 0; }

int32_t L_FrameCompEntries(int32_t index, KRect* frame) {
    return guard(0, [&] {
        const auto* c = findComponent(index);
        const auto* s = c ? findSymbol(c->symbol) : nullptr;
        if (!s || !frame || s->pads.empty()) return 0;
        qor::design::Rect r;
        bool any = false;
        for (const auto& p : s->pads) widen(r, any, qor::design::place(*c, {p.x, p.y}));
        toKRect(r, frame);
        return 1;
    });
}

int32_t L_FrameCompItems(int32_t index, KRect* frame) {
    return guard(0, [&] {
        const auto* c = findComponent(index);
        const auto* s = c ? findSymbol(c->symbol) : nullptr;
        if (!s || !frame) return 0;
        qor::design::Rect r;
        bool any = false;
        for (const auto& it : s->items) {
            if (it.kind != qor::design::kItemLine && it.kind != qor::design::kItemBox) continue;
            widen(r, any, qor::design::place(*c, {it.x, it.y}));
            widen(r, any, qor::design::place(*c, {it.x + it.dx, it.y + it.dy}));
        }
        if (!any) return 0;
        toKRect(r, frame);
        return 1;
    });
}

int32_t L_CoverComponent(int32_t x, int32_t y, int32_t aperture, int32_t* pad) {
    return guard(0, [&] {
        if (pad) *pad = 0;
        const auto* d = openDesign();
        if (!d) return 0;
        const int64_t reach = std::max<int32_t>(aperture, 0);
        int32_t best = 0;
        double bestArea = 0;
        for (const auto& c : d->model.components) {
            const auto* s = findSymbol(c.symbol);
            if (!s) continue;
            qor::design::Rect r;
            bool any = false;
            for (const auto& p : s->pads) {
                const qor::design::Point at = qor::design::place(c, {p.x, p.y});
                int64_t half = reach;
                for (const auto& stack : s->padStacks)
                    if (stack.number == p.padStack) half += stack.sizeUnits / 2;
                if (std::llabs(int64_t{x} - at.x) <= half && std::llabs(int64_t{y} - at.y) <= half) {
                    if (pad) *pad = p.pin;
                    return c.number;
                }
                widen(r, any, at);
            }
            for (const auto& it : s->items) {
                if (it.kind != qor::design::kItemLine && it.kind != qor::design::kItemBox) continue;
                widen(r, any, qor::design::place(c, {it.x, it.y}));
                widen(r, any, qor::design::place(c, {it.x + it.dx, it.y + it.dy}));
            }
            if (!any || x < r.left - reach || x > r.right + reach || y < r.bottom - reach ||
                y > r.top + reach)
                continue;
            const double area = (double(r.right) - r.left + 1) * (double(r.top) - r.bottom + 1);
            if (!best || area < bestArea) {
                best = c.number;
                bestArea = area;
            }
        }
        return best;
    });
}

int32_t D_ReadDevice(int32_t device, KDeviceRecord* out) {
    return guard(0, [&] {
        const auto* v = findDevice(device);
        if (!v || !out) return 0;
        *out = KDeviceRecord{};
        out->number = v->number;
        out->name = v->name.c_str();
        out->package = v->package.c_str();
        return 1;
    });
}

int32_t D_Device(int32_t index) {
    const auto* c = findComponent(index);
    return c && findDevice(c->device) ? makeObject(kDeviceObject, c->device) : 0;
}

int32_t S_ReadSymbol(int32_t symbol, KSymbolRecord* out) {
    return guard(0, [&] {
        const auto* s = findSymbol(symbol);
        if (!s || !out) return 0;
        *out = KSymbolRecord{};
        out->number = s->number;
        out->padCount = static_cast<int32_t>(s->pads.size());
        out->itemCount = static_cast<int32_t>(s->items.size());
        out->padStackCount = static_cast<int32_t>(s->padStacks.size());
        out->mask = s->mask;
        out->name = s->name.c_str();
        return 1;
    });
}

int32_t N_Net(int32_t net) { return findNet(net) ? makeObject(kNetObject, net) : 0; }

int32_t N_NodeMap(int32_t net) { return findNet(net) && net > 0 ? kNodeMapBase + net : 0; }

int32_t N_ReadNode(int32_t node, KNodeRecord* out) {
    return guard(0, [&] {
        const auto* n = findNode(node);
        if (!n || !out) return 0;
        KNodeRecord r{};
        r.flags = n->flags, r.net = n->net, r.mask = n->mask, r.component = n->component;
        r.pin = n->pin, r.x = n->x, r.y = n->y;
        *out = r;
        return 1;
    });
}

int32_t T_ReadTrace(int32_t trace, KTraceRecord* out) {
    return guard(0, [&] {
        const auto* t = findTrace(trace);
        if (!t || !out) return 0;
        *out = KTraceRecord{};
        out->flags = t->flags, out->net = t->net, out->mask = t->mask, out->number = t->number;
        out->recordCount = static_cast<int32_t>(std::min<size_t>(t->points.size(), INT32_MAX));
        return 1;
    });
}

int32_t T_ReadRecord(int32_t trace, int32_t index, KTracePoint* out) {
    return guard(0, [&] {
        const auto* t = findTrace(trace);
        if (!t || !out || index < 1 || static_cast<size_t>(index) > t->points.size()) return 0;
        const auto i = static_cast<size_t>(index - 1);
        const auto& p = t->points[i];
        KTracePoint r{};
        r.flags = p.flags;
        if (p.flags & qor::design::kPointArcCentre) {
            r.centreDx = p.centreDx, r.centreDy = p.centreDy, r.radius = p.radius;
            // The point of an arc-centre record lies on the arc, halfway between its ends.
            if (i > 0 && i + 1 < t->points.size()) {
                const Point start{t->points[i - 1].x, t->points[i - 1].y};
                const Point end{t->points[i + 1].x, t->points[i + 1].y};
                const Point mid = qor::design::arcMidpoint(start, end, p);
                r.x = mid.x, r.y = mid.y;
            } else if (i > 0) {
                r.x = t->points[i - 1].x, r.y = t->points[i - 1].y;
            }
        } else {
            r.node = p.node, r.layer = p.layer, r.width = p.width, r.x = p.x, r.y = p.y;
        }
        *out = r;
        return 1;
    });
}

int32_t T_SearchNet(int32_t* cursor, int32_t net) {
    return guard(0, [&] {
        const OpenDesign* d = openDesign();
        if (!d || !cursor || *cursor < 0) return 0;
        const auto it = d->index.netTraces.find(net);
        if (it == d->index.netTraces.end() || static_cast<size_t>(*cursor) >= it->second.size()) return 0;
        return it->second[static_cast<size_t>((*cursor)++)];
    });
}

int32_t T_FrameTraceLines(int32_t trace, int32_t layerMask, KRect* frame) {
    return guard(0, [&] {
        const auto* t = findTrace(trace);
        if (!t || !frame) return 0;
        qor::design::Rect r;
        bool any = false;
        const bool outline = trace == qor::design::kOutlineTrace;
        for (const auto& p : t->points) {
            if (p.flags & qor::design::kPointArcCentre) continue;
            if (!outline && (p.layer < 0 || p.layer > 31 || !((static_cast<uint32_t>(layerMask) >> p.layer) & 1u)))
                continue;
            widen(r, any, {p.x, p.y});
        }
        if (!any) return 0;
        toKRect(r, frame);
        return 1;
    });
}

}  // extern "C"

// ---- Symbol entries and item arrays --------------------------------------------------------------

namespace {

namespace qd = qor::design;

// The items behind an array handle: a symbol's items or the design's layout texts.
std::vector<qd::Item>* itemsOfArray(int32_t array) {
    OpenDesign* d = openDesign();
    if (!d) return nullptr;
    switch (objectKind(array)) {
        case kSymbolItemArray: {
            const auto it = d->index.symbol.find(objectNumber(array));
            return it == d->index.symbol.end() ? nullptr : &d->model.symbols[it->second].items;
        }
        case kLayoutTextArray:
            return objectNumber(array) == 1 ? &d->model.layoutTexts : nullptr;
        default:
            return nullptr;
    }
}

const qd::Item* itemAt(int32_t array, int32_t position) {
    const auto* items = itemsOfArray(array);
    if (!items || position < 1 || static_cast<size_t>(position) > items->size()) return nullptr;
    return &(*items)[static_cast<size_t>(position - 1)];
}

qd::Symbol* mutableSymbol(int32_t number) {
    OpenDesign* d = openDesign();
    if (!d) return nullptr;
    const auto it = d->index.symbol.find(number);
    return it == d->index.symbol.end() ? nullptr : &d->model.symbols[it->second];
}

// Symbol numbers travel in 24 bits inside item-array handles.
constexpr int32_t kLowestSymbol = -0x800000;

}  // namespace

extern "C" {

int32_t DB_LayoutTextArray(void) {
    return openDesign() ? makeObject(kLayoutTextArray, 1) : 0;
}

int32_t DB_ActiveLayer(void) {
    return guard(0, [&] {
        const OpenDesign* d = openDesign();
        return d ? activeLayer(d->model) : 0;
    });
}

int32_t S_FrameSymbolEntries(int32_t symbol, KRect* frame) {
    return guard(0, [&] {
        const auto* s = findSymbol(symbol);
        if (!s || !frame || s->pads.empty()) return 0;
        qor::design::Rect r;
        bool any = false;
        for (const auto& p : s->pads) widen(r, any, {p.x, p.y});
        toKRect(r, frame);
        return 1;
    });
}

int32_t S_ReadSymbolEntry(int32_t symbol, int32_t position, KEntryRecord* entry) {
    return guard(0, [&] {
        const auto* s = findSymbol(symbol);
        if (!s || !entry || position < 1 || static_cast<size_t>(position) > s->pads.size()) return 0;
        const auto& p = s->pads[static_cast<size_t>(position - 1)];
        *entry = KEntryRecord{p.pin, p.x, p.y, p.padStack};
        return 1;
    });
}

int32_t S_CreateSymbol(int32_t symbol, const char* name) {
    return guard(0, [&] {
        OpenDesign* d = openDesign();
        if (!d || symbol >= 0 || symbol < kLowestSymbol || !name || !*name || findSymbol(symbol))
            return 0;
        for (const auto& s : d->model.symbols)
            if (s.name == name) return 0;
        qd::Symbol s;
        s.number = symbol;
        s.name = name;
        d->model.symbols.push_back(std::move(s));
        d->index.symbol[symbol] = d->model.symbols.size() - 1;
        return symbol;
    });
}

int32_t S_FindSymbol(const char* name) {
    return guard(0, [&] {
        const OpenDesign* d = openDesign();
        if (!d || !name) return 0;
        for (const auto& s : d->model.symbols)
            if (s.name == name) return s.number;
        return 0;
    });
}

int32_t S_MaskSymbol(int32_t symbol, int32_t value, int32_t mask) {
    return guard(0, [&] {
        qd::Symbol* s = mutableSymbol(symbol);
        if (!s) return 0;
        s->mask = (s->mask & ~mask) | (value & mask);
        return 1;
    });
}

int32_t S_SymbolItemArray(int32_t symbol) {
    return guard(0, [&] {
        return findSymbol(symbol) && symbol >= kLowestSymbol ? makeObject(kSymbolItemArray, symbol)
                                                             : 0;
    });
}

int32_t OA_SearchMask(int32_t array, int32_t from, int32_t mask) {
    return guard(0, [&] {
        const auto* items = itemsOfArray(array);
        if (!items) return 0;
        for (auto i = static_cast<size_t>(std::max(from, 1)); i <= items->size(); ++i)
            if ((*items)[i - 1].mask & mask) return static_cast<int32_t>(i);
        return 0;
    });
}

int32_t OA_GetCount(int32_t array) {
    return guard(0, [&] {
        const auto* items = itemsOfArray(array);
        return items ? static_cast<int32_t>(std::min<size_t>(items->size(), INT32_MAX)) : 0;
    });
}

int32_t OA_Delete(int32_t array, int32_t position) {
    return guard(0, [&] {
        auto* items = itemsOfArray(array);
        if (!items || position < 1 || static_cast<size_t>(position) > items->size()) return 0;
        items->erase(items->begin() + (position - 1));
        return 1;
    });
}

int32_t I_ReadItem(int32_t array, int32_t position, KItemRecord* out) {
    return guard(0, [&] {
        const auto* item = itemAt(array, position);
        if (!item || !out) return 0;
        const auto& it = *item;
        KItemRecord r{};
        r.kind = it.kind, r.flags = it.flags, r.mask = it.mask, r.link = it.link, r.layer = it.layer;
        r.x = it.x, r.y = it.y, r.dx = it.dx, r.dy = it.dy, r.width = it.width, r.gap = it.gap;
        r.angle = it.angle, r.textSize = it.textSize, r.attributes = it.attributes;
        r.text = it.text.c_str();
        *out = r;
        return 1;
    });
}

int32_t I_FrameItem(int32_t array, int32_t position, KRect* frame) {
    return guard(0, [&] {
        const auto* item = itemAt(array, position);
        if (!item || !frame) return 0;
        const auto& it = *item;
        qd::Rect r;
        bool any = false;
        if (it.kind == qd::kItemText) {
            const int32_t height = it.textSize > 0 ? it.textSize : openDesign()->model.textSize;
            for (const auto& p : textCorners(it.x, it.y, height, it.angle, it.text.size()))
                widen(r, any, p);
        } else {
            // A line or a box: both ends, widened by half the pen on every side.
            widen(r, any, {it.x, it.y});
            widen(r, any,
                  {static_cast<int32_t>(int64_t{it.x} + it.dx),
                   static_cast<int32_t>(int64_t{it.y} + it.dy)});
            const int32_t half = std::max(it.width, 0) / 2;
            r.left -= half, r.bottom -= half, r.right += half, r.top += half;
        }
        toKRect(r, frame);
        return 1;
    });
}

}  // extern "C"
