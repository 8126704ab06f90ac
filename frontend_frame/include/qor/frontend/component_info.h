// The component information that the information window shows for a picked component: what the
// kernel tells about the component, its part, its package and a hit pad, and the window's lines.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qor::frontend {

struct ComponentInfo {
    std::string name;
    std::string partName;  // the device's name; empty without a device
    std::string packageName;
    int32_t x = 0, y = 0;  // kernel units
    int32_t angle = 0;     // thousandths of a degree
    bool solderSide = false;
    bool locked = false;
    // A hit pad (pad number above 0): its pin name and the name of its net ("" when on none).
    int32_t pad = 0;
    std::string pinName;
    std::string netName;
    // The part's gates: the schematic component's name of each, gate 1 first.
    std::vector<std::string> gates;
};

// Reads a layout component (and the pad hit, 0 for none) through the kernel: L_ReadComponent,
// D_ReadDevice, S_ReadSymbol, PinName and the node of that pin among the nets' nodes. Nothing when
// the component cannot be read. The kernel keeps no gates, so `gates` stays empty.
std::optional<ComponentInfo> ReadComponentInfo(int32_t component, int32_t pad);

// The net index of a component's pin: the node that names both, 0 when the pin is on no net.
int32_t NetOfPin(int32_t component, int32_t pin);

// The window's lines in a length unit (0 inch, 1 mm): "Comp: ", "Part/Package: ", "Position:" with
// x, y and rotation, side and lock status, for a hit pad "Pad no. :" with the pin name and its net,
// and for a part with gates "Gates :" with the count, " In schematics:" and one line per gate.
std::vector<std::string> ComponentInfoLines(const ComponentInfo& info, int unitIndex);

}  // namespace qor::frontend
