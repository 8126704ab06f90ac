#include "qor/frontend/component_info.h"

#include "qor/frontend/localization.h"
#include "qor/frontend/pin_name.h"
#include "qor/frontend/text_utils.h"
#include "qor/kernel/kernel.h"

namespace qor::frontend {

namespace {

constexpr int32_t kLockedFlag = 1;
constexpr int32_t kMirroredFlag = 2;

}  // namespace

int32_t NetOfPin(int32_t component, int32_t pin) {
    if (component == 0 || pin == 0) return 0;
    const int32_t nets = DB_NetMap();
    int32_t netCursor = OM_GetFirst(nets);
    while (const int32_t net = OM_SearchMask(nets, &netCursor, 0, 0)) {
        const int32_t nodes = N_NodeMap(net);
        int32_t nodeCursor = OM_GetFirst(nodes);
        while (const int32_t node = OM_SearchMask(nodes, &nodeCursor, 0, 0)) {
            KNodeRecord record{};
            if (N_ReadNode(node, &record) && record.component == component && record.pin == pin)
                return net;
        }
    }
    return 0;
}

std::optional<ComponentInfo> ReadComponentInfo(int32_t component, int32_t pad) {
    KComponentRecord c{};
    if (L_ReadComponent(component, &c) != 1) return std::nullopt;
    ComponentInfo info;
    info.name = HostText(c.name);
    info.x = c.x;
    info.y = c.y;
    info.angle = c.angle;
    info.solderSide = (c.flags & kMirroredFlag) != 0;
    info.locked = (c.flags & kLockedFlag) != 0;
    KDeviceRecord device{};
    if (c.device != 0 && D_ReadDevice(c.device, &device)) {
        info.partName = HostText(device.name);
        info.packageName = HostText(device.package);
    }
    // The package placed is the component's own symbol; the device's package name stands in
    // when the symbol cannot be read.
    KSymbolRecord symbol{};
    if (S_ReadSymbol(c.symbol, &symbol)) info.packageName = HostText(symbol.name);
    if (pad > 0) {
        info.pad = pad;
        info.pinName = PinName(component, pad);
        if (const int32_t net = NetOfPin(component, pad))
            info.netName = HostText(O_GetName(N_Net(net)));
    }
    return info;
}

std::vector<std::string> ComponentInfoLines(const ComponentInfo& info, int unitIndex) {
    std::vector<std::string> lines;
    lines.push_back(LocalText("Comp: ", 99454) + info.name);
    lines.push_back(LocalText("Part/Package: ", 99545) + info.partName + " / " + info.packageName);
    lines.push_back(LocalText("Position:", 991062) + " x:" + LengthText(info.x, unitIndex) +
                    " y:" + LengthText(info.y, unitIndex) + LocalText(" rot:", 991112) +
                    AngleText(info.angle));
    lines.push_back((info.solderSide ? LocalText("Solder Side / ", 991237)
                                     : LocalText("Component Side / ", 99470)) +
                    (info.locked ? LocalText("Status: Locked", 991258)
                                 : LocalText("Status: Unlocked", 991259)));
    if (info.pad > 0) {
        std::string line = LocalText("Pad no. :", 99999) + info.pinName;
        if (!info.netName.empty()) line += LocalText(" in Net: ", 99767) + info.netName;
        lines.push_back(line);
    }
    if (!info.gates.empty()) {
        lines.push_back(LocalText("Gates :", 99718) + std::to_string(info.gates.size()) +
                        LocalText(" In schematics:", 99769));
        for (size_t g = 0; g < info.gates.size(); ++g)
            lines.push_back(" " + std::to_string(g + 1) + "." + info.gates[g]);
    }
    return lines;
}

}  // namespace qor::frontend
