#include "demo_design.h"

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "qor/design/builder.h"

namespace qor::examples {
namespace {

using design::DesignBuilder;
using design::Pad;
using design::Point;
using design::Rect;

constexpr int32_t mm(double v) { return static_cast<int32_t>(v * design::kUnitsPerMm + (v < 0 ? -0.5 : 0.5)); }
Point at(double x, double y) { return {mm(x), mm(y)}; }

constexpr int32_t kTop = 2, kGnd = 3, kPower = 4, kBottom = 29;

// Package footprints, pads relative to the package origin.
class Packages {
public:
    explicit Packages(DesignBuilder& b) : b_(b) {}

    int32_t get(const std::string& name) {
        if (const auto it = made_.find(name); it != made_.end()) return it->second;
        const int32_t number = make(name);
        made_[name] = number;
        return number;
    }

private:
    static std::vector<Pad> twoPads(double spacing) {
        return {{1, "1", -mm(spacing / 2), 0, 0}, {2, "2", mm(spacing / 2), 0, 0}};
    }
    // Dual row: pins 1..n/2 down the left side, the rest up the right side.
    static std::vector<Pad> dualRow(int n, double pitch, double rowSpan) {
        std::vector<Pad> pads;
        const int half = n / 2;
        for (int i = 0; i < n; ++i) {
            const bool left = i < half;
            const int k = left ? i : n - 1 - i;
            const double y = (half - 1) * pitch / 2 - k * pitch;
            pads.push_back({i + 1, std::to_string(i + 1), mm(left ? -rowSpan / 2 : rowSpan / 2), mm(y), 0});
        }
        return pads;
    }
    // Quad flat: n/4 pins per side, counter-clockwise from the top of the left side.
    static std::vector<Pad> quad(int n, double pitch, double span) {
        std::vector<Pad> pads;
        const int side = n / 4;
        for (int i = 0; i < n; ++i) {
            const int s = i / side, k = i % side;
            const double t = (side - 1) * pitch / 2 - k * pitch;
            double x = 0, y = 0;
            switch (s) {
                case 0: x = -span / 2, y = t; break;
                case 1: x = -t, y = -span / 2; break;
                case 2: x = span / 2, y = -t; break;
                default: x = t, y = span / 2; break;
            }
            pads.push_back({i + 1, std::to_string(i + 1), mm(x), mm(y), 0});
        }
        return pads;
    }
    static std::vector<Pad> row(int n, double pitch) {
        std::vector<Pad> pads;
        for (int i = 0; i < n; ++i)
            pads.push_back({i + 1, std::to_string(i + 1), mm((i - (n - 1) / 2.0) * pitch), 0, 0});
        return pads;
    }
    static Rect box(double w, double h) { return {-mm(w / 2), -mm(h / 2), mm(w / 2), mm(h / 2)}; }

    int32_t make(const std::string& name) {
        if (name == "0603") return b_.addSymbol(name, twoPads(1.6), box(2.2, 1.1), false, mm(0.9));
        if (name == "0805") return b_.addSymbol(name, twoPads(2.0), box(2.8, 1.5), false, mm(1.2));
        if (name == "1206") return b_.addSymbol(name, twoPads(3.2), box(4.2, 1.9), false, mm(1.6));
        if (name == "SOD-123") return b_.addSymbol(name, twoPads(3.6), box(3.8, 1.8), false, mm(1.1));
        if (name == "DO-41") return b_.addSymbol(name, twoPads(10.16), box(6.0, 3.0), true, mm(2.0));
        if (name == "AXIAL-2W") return b_.addSymbol(name, twoPads(15.24), box(12.0, 4.5), true, mm(2.2));
        if (name == "CP-6.3") return b_.addSymbol(name, twoPads(2.5), box(6.6, 6.6), true, mm(1.8));
        if (name == "HC-49") return b_.addSymbol(name, twoPads(4.88), box(11.0, 4.7), true, mm(1.6));
        if (name == "SO-8") return b_.addSymbol(name, dualRow(8, 1.27, 5.4), box(3.9, 4.9), false, mm(0.6));
        if (name == "SO-16") return b_.addSymbol(name, dualRow(16, 1.27, 5.4), box(3.9, 9.9), false, mm(0.6));
        if (name == "DIP-16") return b_.addSymbol(name, dualRow(16, 2.54, 7.62), box(6.4, 19.3), true, mm(1.6));
        if (name == "LQFP-48") return b_.addSymbol(name, quad(48, 0.5, 8.6), box(7.0, 7.0), false, mm(0.3));
        if (name == "TO-220") return b_.addSymbol(name, row(3, 2.54), {-mm(5.1), -mm(1.5), mm(5.1), mm(3.2)}, true, mm(1.8));
        if (name == "SOT-223") {
            auto pads = row(3, 2.3);
            for (auto& p : pads) p.y = -mm(3.15);
            pads.push_back({4, "4", 0, mm(3.15), 0});
            return b_.addSymbol(name, pads, box(6.5, 3.5), false, mm(1.5));
        }
        if (name == "BARREL-JACK") {
            std::vector<Pad> pads{{1, "1", 0, 0, 0}, {2, "2", -mm(6), 0, 0}, {3, "3", -mm(3), mm(4.7), 0}};
            return b_.addSymbol(name, pads, {-mm(10.5), -mm(4.5), mm(3.5), mm(4.5)}, true, mm(2.5));
        }
        if (name == "XH-2") return b_.addSymbol(name, row(2, 2.5), box(5.0, 5.75), true, mm(1.7));
        if (name == "XH-4") return b_.addSymbol(name, row(4, 2.5), box(10.0, 5.75), true, mm(1.7));
        if (name == "HDR-6") return b_.addSymbol(name, row(6, 2.54), box(15.24, 2.54), true, mm(1.7));
        throw std::invalid_argument("unknown package " + name);
    }

    DesignBuilder& b_;
    std::map<std::string, int32_t> made_;
};

// A text item of the silk screen.
design::Item silkText(Point p, double heightMm, std::string text) {
    design::Item it;
    it.kind = design::kItemText;
    it.layer = 1;
    it.x = p.x, it.y = p.y;
    it.textSize = mm(heightMm);
    it.text = std::move(text);
    return it;
}

design::Item silkLine(Point from, Point to) {
    design::Item it;
    it.kind = design::kItemLine;
    it.layer = 1;
    it.x = from.x, it.y = from.y, it.dx = to.x - from.x, it.dy = to.y - from.y;
    it.width = mm(0.15);
    return it;
}

// The board's title on the silk screen, a revision note, and the board width dimensioned below it.
void addNotesAndDimensions(DesignBuilder& b) {
    b.addLayoutText(silkText(at(6, 74), 2.0, "MC-100 MOTOR CONTROLLER"));
    design::Symbol notes;
    notes.number = design::boardNotesSymbol(b.design().currentHierarchy);
    notes.name = "@BRDNOTES";
    notes.items.push_back(silkText(at(6, 71), 1.2, "REV B"));
    design::Symbol dims;
    dims.number = design::dimensionsSymbol(b.design().currentHierarchy);
    dims.name = "@BRDDIM";
    dims.items = {silkLine(at(0, -4), at(100, -4)), silkLine(at(0, -2), at(0, -6)),
                  silkLine(at(100, -2), at(100, -6)), silkText(at(44, -3.5), 1.5, "100.00 mm")};
    b.design().symbols.insert(b.design().symbols.begin(), {std::move(notes), std::move(dims)});
}

}  // namespace

design::Design buildDemoDesign() {
    DesignBuilder b("Motor controller MC-100");
    b.setLayerName(0, "Board");
    b.setLayerName(1, "Silk");
    b.setLayerName(kTop, "Top");
    b.setLayerName(kGnd, "GND");
    b.setLayerName(kPower, "PWR");
    b.setLayerName(kBottom, "Bottom");
    Packages pkg(b);

    std::map<std::string, int32_t> devices;
    std::map<std::string, int32_t> comp;
    const auto place = [&](const std::string& ref, const std::string& part, const std::string& package,
                           Point p, int32_t angle = 0, bool bottom = false) {
        auto [it, fresh] = devices.try_emplace(part, 0);
        if (fresh) it->second = b.addDevice(part, package);
        comp[ref] = b.addComponent(ref, pkg.get(package), it->second, p, angle, bottom);
    };

    // Power entry and regulation along the top edge.
    place("J1", "DC-JACK-2.1", "BARREL-JACK", at(12, 70));
    place("D1", "1N5819", "SOD-123", at(22, 72));
    place("U1", "LM7805", "TO-220", at(34, 72));
    place("C1", "ELCAP-6.3X11", "CP-6.3", at(27, 62));
    place("C2", "ELCAP-6.3X11", "CP-6.3", at(42, 62));
    place("C3", "C0603", "0603", at(30, 66));
    place("C4", "C0603", "0603", at(38, 66));
    place("U2", "AMS1117-3.3", "SOT-223", at(55, 71));
    place("C5", "C0805", "0805", at(50, 64));
    place("C6", "C0805", "0805", at(61, 64));
    // Microcontroller with its clock and decoupling in the middle.
    place("U3", "STM32F103C8T6", "LQFP-48", at(50, 42));
    place("Y1", "HC49", "HC-49", at(36, 42), 90000);
    place("C7", "C0603", "0603", at(32, 36));
    place("C8", "C0603", "0603", at(32, 48));
    place("C9", "C0603", "0603", at(44, 50));
    place("C10", "C0603", "0603", at(56, 50));
    place("C11", "C0603", "0603", at(44, 34));
    place("C12", "C0603", "0603", at(56, 34));
    place("R1", "R0603", "0603", at(40, 54));
    place("U8", "LM358", "SO-8", at(30, 28));
    // Drivers and power stage on the right.
    place("U4", "ULN2003A", "SO-16", at(72, 52));
    place("U5", "L293D", "DIP-16", at(72, 24));
    place("Q1", "IRLZ44N", "TO-220", at(88, 60), 90000);
    place("Q2", "IRF540N", "TO-220", at(88, 44), 90000);
    place("R2", "RAXIAL-2W", "AXIAL-2W", at(84, 12));
    place("R3", "RAXIAL-2W", "AXIAL-2W", at(84, 5));
    place("R4", "R0603", "0603", at(80, 60), 90000);
    place("R5", "R0603", "0603", at(80, 44), 90000);
    place("R6", "R0805", "0805", at(64, 60));
    place("R7", "R0805", "0805", at(64, 44));
    place("D2", "1N4007", "DO-41", at(92, 30), 90000);
    place("D3", "1N4007", "DO-41", at(64, 8));
    place("J2", "JST-XH-2P", "XH-2", at(96, 20), 90000);
    place("J3", "HDR-1X04", "XH-4", at(96, 50), 90000);
    // Serial interface, shift register and indicators on the left and bottom.
    place("J4", "HDR-1X06", "HDR-6", at(12, 12));
    place("U6", "MAX232", "SO-16", at(16, 30));
    place("C13", "C0805", "0805", at(10, 40));
    place("C14", "C0805", "0805", at(22, 40));
    place("C15", "C0805", "0805", at(10, 22));
    place("C16", "C0805", "0805", at(22, 22), 0, true);
    place("U7", "74HC595", "SO-16", at(48, 14));
    place("LED1", "LED0603", "0603", at(60, 26));
    place("LED2", "LED0603", "0603", at(60, 20));
    place("R8", "R0603", "0603", at(54, 26));
    place("R9", "R0603", "0603", at(54, 20));

    // Outline: chamfered top-right corner and a mounting notch on the left edge.
    b.setOutline({at(0, 0), at(100, 0), at(100, 70), at(90, 80), at(0, 80), at(0, 45), at(4, 45), at(4, 35),
                  at(0, 35)});

    std::map<std::string, int32_t> nets;
    const auto net = [&](const std::string& name) {
        auto [it, fresh] = nets.try_emplace(name, 0);
        if (fresh) it->second = b.addNet(name);
        return it->second;
    };
    // One node per component pin, however often a route names it.
    std::map<std::pair<std::string, int32_t>, int32_t> pins;
    const auto pin = [&](const std::string& n, const std::string& ref, int32_t p) {
        auto [it, fresh] = pins.try_emplace({ref, p}, 0);
        if (fresh) it->second = b.connect(net(n), comp.at(ref), p);
        return it->second;
    };
    // A route from pin to pin: horizontal, then vertical (or the reverse).
    const auto route = [&](const std::string& n, int32_t from, int32_t to, int32_t widthUnits,
                           bool verticalFirst = false) {
        const auto& a = b.node(from);
        const auto& c = b.node(to);
        auto t = b.trace(net(n), kTop, widthUnits);
        t.fromNode(from);
        if (a.x != c.x && a.y != c.y) t.bendTo(verticalFirst ? Point{a.x, c.y} : Point{c.x, a.y});
        t.toNode(to);
    };
    // A route that drops to the bottom layer through a via on its way.
    const auto routeVia = [&](const std::string& n, int32_t from, int32_t to, int32_t widthUnits, Point via) {
        const auto& a = b.node(from);
        const auto& c = b.node(to);
        b.trace(net(n), kTop, widthUnits)
            .fromNode(from)
            .bendTo({via.x, a.y})
            .viaTo(via, kBottom)
            .bendTo({via.x, c.y})
            .toNode(to);
    };

    const int32_t power = mm(1.0), signal = mm(0.25), motor = mm(1.5);

    route("VIN", pin("VIN", "J1", 1), pin("VIN", "D1", 1), power);
    route("VRAW", pin("VRAW", "D1", 2), pin("VRAW", "U1", 1), power);
    route("VRAW", pin("VRAW", "U1", 1), pin("VRAW", "C1", 1), power, true);
    const int32_t u1Out = pin("+5V", "U1", 3);
    route("+5V", u1Out, pin("+5V", "C2", 1), power, true);
    route("+5V", u1Out, pin("+5V", "U2", 3), power);
    route("+5V", pin("+5V", "C3", 1), pin("+5V", "C4", 2), signal);
    routeVia("+5V", pin("+5V", "U2", 4), pin("+5V", "U4", 9), power, at(68, 71));
    routeVia("+5V", pin("+5V", "U5", 16), pin("+5V", "U5", 8), power, at(79, 34));
    route("+5V", pin("+5V", "U6", 16), pin("+5V", "U7", 16), signal, true);

    // 3.3 V: regulator output around the controller, with an arc at the corner.
    const int32_t u2Out = pin("+3V3", "U2", 2);
    const int32_t c5 = pin("+3V3", "C5", 2);
    route("+3V3", u2Out, c5, power, true);
    {
        const auto& s = b.node(c5);
        const int32_t vdd = pin("+3V3", "U3", 36);
        const auto& e = b.node(vdd);
        b.trace(net("+3V3"), kTop, signal)
            .fromNode(c5)
            .bendTo({s.x, mm(58)})
            .arcTo({s.x + mm(4), mm(54)}, {s.x + mm(4), mm(58)}, false)
            .bendTo({e.x, mm(54)})
            .toNode(vdd);
    }
    route("+3V3", pin("+3V3", "C9", 1), pin("+3V3", "U3", 48), signal);
    route("+3V3", pin("+3V3", "C10", 2), pin("+3V3", "U3", 24), signal, true);
    route("+3V3", pin("+3V3", "R1", 1), pin("+3V3", "C9", 2), signal);

    // Clock, reset and serial lines of the controller.
    route("OSC_IN", pin("OSC_IN", "Y1", 1), pin("OSC_IN", "U3", 5), signal);
    route("OSC_IN", pin("OSC_IN", "C7", 2), pin("OSC_IN", "Y1", 1), signal);
    route("OSC_OUT", pin("OSC_OUT", "Y1", 2), pin("OSC_OUT", "U3", 6), signal);
    route("OSC_OUT", pin("OSC_OUT", "C8", 2), pin("OSC_OUT", "Y1", 2), signal);
    route("NRST", pin("NRST", "R1", 2), pin("NRST", "U3", 7), signal, true);
    routeVia("USART_TX", pin("USART_TX", "U3", 30), pin("USART_TX", "U6", 11), signal, at(40, 22));
    routeVia("USART_RX", pin("USART_RX", "U3", 31), pin("USART_RX", "U6", 12), signal, at(41, 24));
    route("RS232_TX", pin("RS232_TX", "U6", 14), pin("RS232_TX", "J4", 2), signal);
    route("RS232_RX", pin("RS232_RX", "U6", 13), pin("RS232_RX", "J4", 3), signal);

    // Gate drive and loads.
    route("GATE1", pin("GATE1", "U3", 25), pin("GATE1", "R4", 1), signal);
    route("GATE1", pin("GATE1", "R4", 2), pin("GATE1", "Q1", 1), signal);
    route("GATE1", pin("GATE1", "R6", 2), pin("GATE1", "R4", 1), signal);
    route("GATE2", pin("GATE2", "U3", 26), pin("GATE2", "R5", 1), signal, true);
    route("GATE2", pin("GATE2", "R5", 2), pin("GATE2", "Q2", 1), signal);
    route("LOAD1", pin("LOAD1", "Q1", 2), pin("LOAD1", "J3", 1), motor);
    route("LOAD2", pin("LOAD2", "Q2", 2), pin("LOAD2", "J3", 2), motor);
    route("SENSE", pin("SENSE", "Q2", 3), pin("SENSE", "R2", 2), motor, true);
    route("SENSE", pin("SENSE", "R2", 1), pin("SENSE", "U8", 3), signal);
    route("MOTOR_A", pin("MOTOR_A", "U5", 3), pin("MOTOR_A", "J2", 1), motor);
    route("MOTOR_B", pin("MOTOR_B", "U5", 6), pin("MOTOR_B", "J2", 2), motor, true);
    route("MOTOR_B", pin("MOTOR_B", "D2", 1), pin("MOTOR_B", "J2", 2), motor);
    route("COIL1", pin("COIL1", "U4", 16), pin("COIL1", "J3", 3), signal);
    route("COIL2", pin("COIL2", "U4", 15), pin("COIL2", "J3", 4), signal);
    route("LED_R", pin("LED_R", "R8", 2), pin("LED_R", "LED1", 1), signal);
    route("LED_G", pin("LED_G", "R9", 2), pin("LED_G", "LED2", 1), signal);
    route("SER", pin("SER", "U3", 15), pin("SER", "U7", 14), signal, true);

    // Ground: pins tied to the inner plane, which covers the board inside a 1 mm margin.
    const int32_t gnd = net("GND");
    for (const auto& [ref, p] : std::vector<std::pair<std::string, int32_t>>{
             {"J1", 2}, {"U1", 2}, {"C1", 2}, {"C2", 2}, {"C3", 2}, {"C4", 1}, {"U2", 1}, {"C5", 1},
             {"C6", 1}, {"U3", 23}, {"U3", 35}, {"U3", 47}, {"C7", 1}, {"C8", 1}, {"C11", 1}, {"C12", 1},
             {"U4", 8}, {"U5", 4}, {"U5", 5}, {"U5", 12}, {"U5", 13}, {"R3", 1}, {"R3", 2}, {"U6", 15},
             {"U7", 8}, {"U8", 4}, {"LED1", 2}, {"LED2", 2}, {"J4", 1}, {"D3", 1}})
        pin("GND", ref, p);
    route("GND", pin("GND", "C6", 2), pin("GND", "U2", 1), power, true);
    b.addCopperArea(gnd, kGnd,
                    {at(1, 1), at(99, 1), at(99, 69.6), at(89.6, 79), at(1, 79), at(1, 46), at(5, 46),
                     at(5, 34), at(1, 34)});
    b.addCopperArea(net("+5V"), kPower, {at(60, 30), at(84, 30), at(84, 58), at(60, 58)});
    addNotesAndDimensions(b);
    return b.take();
}

}  // namespace qor::examples
