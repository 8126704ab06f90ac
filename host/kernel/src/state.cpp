#include "state.h"

namespace qor::kernel {

KernelState& state() {
    static KernelState s;
    return s;
}

void DesignIndex::rebuild(const design::Design& d) {
    *this = DesignIndex{};
    for (size_t i = 0; i < d.components.size(); ++i) component[d.components[i].number] = i;
    for (size_t i = 0; i < d.devices.size(); ++i) device[d.devices[i].number] = i;
    for (size_t i = 0; i < d.symbols.size(); ++i) symbol[d.symbols[i].number] = i;
    for (size_t i = 0; i < d.nets.size(); ++i) net[d.nets[i].number] = i;
    for (size_t i = 0; i < d.nodes.size(); ++i) {
        node[d.nodes[i].number] = i;
        netNodes[d.nodes[i].net].push_back(d.nodes[i].number);
    }
    for (size_t i = 0; i < d.traces.size(); ++i) {
        const design::Trace& t = d.traces[i];
        trace[t.number] = i;
        if (t.number == design::kOutlineTrace) continue;
        copperTraces.push_back(t.number);
        netTraces[t.net].push_back(t.number);
    }
}

namespace {
template <typename T>
const T* lookup(const std::vector<T>& items, const std::unordered_map<int32_t, size_t>& idx, int32_t n) {
    const auto it = idx.find(n);
    return it == idx.end() ? nullptr : &items[it->second];
}
}  // namespace

const design::Component* findComponent(int32_t index) {
    const OpenDesign* d = openDesign();
    return d ? lookup(d->model.components, d->index.component, index) : nullptr;
}
const design::Device* findDevice(int32_t number) {
    const OpenDesign* d = openDesign();
    return d ? lookup(d->model.devices, d->index.device, number) : nullptr;
}
const design::Symbol* findSymbol(int32_t number) {
    const OpenDesign* d = openDesign();
    return d ? lookup(d->model.symbols, d->index.symbol, number) : nullptr;
}
const design::Net* findNet(int32_t number) {
    const OpenDesign* d = openDesign();
    return d ? lookup(d->model.nets, d->index.net, number) : nullptr;
}
const design::Node* findNode(int32_t number) {
    const OpenDesign* d = openDesign();
    return d ? lookup(d->model.nodes, d->index.node, number) : nullptr;
}
const design::Trace* findTrace(int32_t number) {
    const OpenDesign* d = openDesign();
    return d ? lookup(d->model.traces, d->index.trace, number) : nullptr;
}

int32_t layerColour(int32_t layer) {
    switch (layer) {
        case 2: return 9;    // component side: red
        case 29: return 12;  // solder side: blue
        case 3: return 10;   // inner layers: green, yellow
        case 4: return 11;
        default: return 13;
    }
}

}  // namespace qor::kernel
