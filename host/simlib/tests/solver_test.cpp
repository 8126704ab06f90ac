// The transient engine against analytic circuits, and the line model against the lossless
// line's delay and matched termination.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "circuit.h"
#include "engine.h"
#include "network.h"

namespace qor::simlib {
namespace {

// A network of one generator branch into node 1, with whatever load a test adds.
Network sourceInto(const SourceDef& source, double rOhm, double lH) {
    Network net;
    net.nodeCount = 1;
    net.nodeCapF = {0, 0};
    net.sources = {source};
    net.branches = {{0, 1, rOhm, lH, 0}};
    net.sourceBranch = {0};
    return net;
}

SourceDef pwlSource() {
    SourceDef s;
    s.kind = SourceKind::Pwl;
    return s;
}

// Runs the engine with the PWL source at `volts` from the first step after t = 0.
std::vector<double> stepResponse(const Network& net, double stepS, int steps, double volts) {
    TransientEngine engine(net);
    EXPECT_TRUE(engine.prepare());
    EXPECT_TRUE(engine.setTimeStep(stepS));
    EXPECT_TRUE(engine.init());
    std::vector<double> v;
    for (int k = 0; k < steps; ++k) {
        engine.setPwlVoltage(0, k == 0 ? 0.0 : volts);
        EXPECT_TRUE(engine.step());
        v.push_back(engine.nodeVoltage(1));
    }
    return v;
}

TEST(TransientEngine, RcChargingFollowsExponential) {
    const double rOhm = 100;
    const double capF = 1e-9;
    const double tau = rOhm * capF;
    Network net = sourceInto(pwlSource(), rOhm, 0);
    net.nodeCapF[1] = capF;
    const double h = tau / 200;
    const auto v = stepResponse(net, h, 1000, 1.0);
    // The source ramps over the first step: the exact response to that ramp.
    for (int k = 1; k < 1000; k += 37) {
        const double t = k * h;
        const double exact = 1 - tau / h * (std::exp(h / tau) - 1) * std::exp(-t / tau);
        EXPECT_NEAR(v[static_cast<std::size_t>(k)], exact, 1e-4) << "t = " << t;
    }
}

TEST(TransientEngine, RlBranchIntoResistorFollowsExponential) {
    const double lH = 10e-9;
    const double rOhm = 50;
    const double tau = lH / rOhm;
    Network net = sourceInto(pwlSource(), 0, lH);
    net.conductances = {{1, 0, 1 / rOhm}};
    const double h = tau / 200;
    const auto v = stepResponse(net, h, 1000, 2.0);
    for (int k = 1; k < 1000; k += 41) {
        const double t = k * h;
        const double exact = 2.0 * (1 - tau / h * (std::exp(h / tau) - 1) * std::exp(-t / tau));
        EXPECT_NEAR(v[static_cast<std::size_t>(k)], exact, 2e-4) << "t = " << t;
    }
}

TEST(TransientEngine, OperatingPointIsTheFirstStep) {
    SourceDef constant;
    constant.kind = SourceKind::Constant;
    constant.vMaxV = 3.0;
    Network net = sourceInto(constant, 100, 5e-9);
    net.conductances = {{1, 0, 1.0 / 200}};
    net.nodeCapF[1] = 1e-12;
    TransientEngine engine(net);
    ASSERT_TRUE(engine.prepare());
    ASSERT_TRUE(engine.setTimeStep(1e-12));
    ASSERT_TRUE(engine.init());
    ASSERT_TRUE(engine.step());
    EXPECT_DOUBLE_EQ(engine.timeS(), 0);
    EXPECT_NEAR(engine.nodeVoltage(1), 2.0, 1e-12);
    // Steady state stays put.
    for (int k = 0; k < 50; ++k) ASSERT_TRUE(engine.step());
    EXPECT_NEAR(engine.nodeVoltage(1), 2.0, 1e-9);
    EXPECT_NEAR(engine.timeS(), 50e-12, 1e-24);
}

TEST(TransientEngine, SineThroughRcHasLowPassAmplitude) {
    const double rOhm = 1000;
    const double capF = 1e-9;
    const double freqHz = 1 / (2 * std::numbers::pi * rOhm * capF);  // corner frequency
    SourceDef sine;
    sine.kind = SourceKind::Sine;
    sine.vMinV = -1;
    sine.vMaxV = 1;
    sine.freqHz = freqHz;
    Network net = sourceInto(sine, rOhm, 0);
    net.nodeCapF[1] = capF;
    TransientEngine engine(net);
    ASSERT_TRUE(engine.prepare());
    const double periodS = 1 / freqHz;
    ASSERT_TRUE(engine.setTimeStep(periodS / 400));
    ASSERT_TRUE(engine.init());
    double peak = 0;
    for (int k = 0; k < 400 * 12; ++k) {
        ASSERT_TRUE(engine.step());
        if (k > 400 * 10) peak = std::max(peak, engine.nodeVoltage(1));
    }
    EXPECT_NEAR(peak, 1 / std::sqrt(2.0), 2e-3);
}

TEST(TransientEngine, RefusesUnusableSettings) {
    Network net = sourceInto(pwlSource(), 10, 0);
    TransientEngine engine(net);
    EXPECT_FALSE(engine.step());  // not initialised
    EXPECT_FALSE(engine.init());  // no time step yet
    EXPECT_FALSE(engine.setTimeStep(0));
    EXPECT_FALSE(engine.setTimeStep(-1e-12));
    EXPECT_FALSE(engine.setTimeStep(std::nan("")));
    EXPECT_FALSE(engine.setPwlVoltage(1, 1.0));
    EXPECT_FALSE(engine.setPwlVoltage(0, std::nan("")));

    Network empty;
    TransientEngine none(empty);
    EXPECT_FALSE(none.prepare());
    EXPECT_FALSE(none.setTimeStep(1e-12));
}

TEST(CircuitNodes, TracesEndingOnAnotherTraceSplitIt) {
    // Trunk (0, 0)-(20, 0) mm and a stub from its middle, added in either order.
    for (const bool trunkFirst : {true, false}) {
        SCOPED_TRACE(trunkFirst);
        Circuit c;
        const auto trunk = [&] { ASSERT_TRUE(c.addLine({0, 0}, {20e-3, 0}, 0.3e-3, 1e-3)); };
        const auto stub = [&] {
            ASSERT_TRUE(c.addLine({10e-3, 0.1e-3}, {10e-3, 10e-3}, 0.2e-3, 1e-3));
        };
        if (trunkFirst) {
            trunk();
            stub();
        } else {
            stub();
            trunk();
        }
        ASSERT_EQ(c.segments().size(), 3u);
        ASSERT_EQ(c.nodes().size(), 4u);
        double lengthM = 0;
        int meetings = 0;
        for (const Segment& s : c.segments()) {
            lengthM += s.lengthM();
            for (const Segment& other : c.segments()) {
                if (&s != &other && (s.endNode == other.startNode || s.endNode == other.endNode)) {
                    ++meetings;
                }
            }
        }
        EXPECT_NEAR(lengthM, 20e-3 + 9.9e-3, 1e-6);
        EXPECT_GE(meetings, 2);  // the three segments share the junction node
    }
    // Two points on one segment split it twice, in order along it.
    Circuit c;
    ASSERT_TRUE(c.addLine({0, 0}, {30e-3, 0}, 0.3e-3, 1e-3));
    ASSERT_TRUE(c.attachNode({20e-3, 0}));
    ASSERT_TRUE(c.attachNode({10e-3, 0}));
    ASSERT_FALSE(c.attachNode({15e-3, 1e-3}));  // beside the copper
    ASSERT_EQ(c.segments().size(), 3u);
    for (const Segment& s : c.segments()) EXPECT_NEAR(s.lengthM(), 10e-3, 1e-12);
}

TEST(Sources, WaveformsFollowTheirParameters) {
    SourceDef pulse;
    pulse.kind = SourceKind::Pulse;
    pulse.vMinV = 0.5;
    pulse.vMaxV = 2.5;
    pulse.riseS = 1e-9;
    pulse.highS = 3e-9;
    pulse.fallS = 2e-9;
    pulse.lowS = 4e-9;
    SourceDef sine;
    sine.kind = SourceKind::Sine;
    sine.vMinV = -1;
    sine.vMaxV = 3;
    sine.freqHz = 1e8;
    sine.phaseS = 2.5e-9;  // a quarter period later
    struct Case {
        const SourceDef* source;
        double tS;
        double volts;
    };
    const Case cases[] = {
        {&pulse, 0, 0.5},     {&pulse, 0.5e-9, 1.5}, {&pulse, 2e-9, 2.5},
        {&pulse, 5e-9, 1.5},  {&pulse, 8e-9, 0.5},   {&pulse, 10.5e-9, 1.5},
        {&sine, 2.5e-9, 1.0}, {&sine, 5e-9, 3.0},    {&sine, 10e-9, -1.0},
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(c.source->voltageAt(c.tS, 0), c.volts, 1e-9) << c.tS;
    }
    EXPECT_DOUBLE_EQ(*pulse.edgeS(), 1e-9);
    EXPECT_NEAR(*sine.edgeS(), 3e-9, 1e-18);
    SourceDef pwl;
    pwl.kind = SourceKind::Pwl;
    EXPECT_EQ(pwl.voltageAt(1e-9, 1.8), 1.8);
    EXPECT_EQ(*pwl.edgeS(), 0.0);  // a jump between two steps
    SourceDef constant;
    EXPECT_FALSE(constant.edgeS().has_value());
}

// A 50 ohm microstrip of 100 mm between a matched source and a matched load.
struct MatchedLine {
    BoardParameters board{4.5, 1.739e-8, 35e-6, 1.5e-3};
    double widthM = 2.8e-3;
    double lengthM = 0.1;
    Circuit circuit;
    LineParameters line = traceParameters(board, widthM, board.boardThicknessM - 17.5e-6);

    MatchedLine() {
        const double zM = board.boardThicknessM - 17.5e-6;
        circuit.addLine({0, 0}, {lengthM / 2, 0}, widthM, zM);
        circuit.addLine({lengthM / 2, 0}, {lengthM, 0}, widthM, zM);
        SourceDef s;
        s.kind = SourceKind::Pulse;
        s.vMaxV = 2;
        s.riseS = 100e-12;
        s.highS = 1;
        s.rOutOhm = line.z0Ohm;
        s.atM = {0, 0};
        circuit.addSource(s);
        circuit.addInput({{lengthM, 0}, 0, line.z0Ohm, 0, 0});
        circuit.addViewAt({lengthM, 0});
    }
};

TEST(LineModel, MatchedLineDelaysAndHalvesTheEdge) {
    MatchedLine m;
    const double stepS = 2e-12;
    const Network net = buildNetwork(m.circuit, m.board, stepS);
    ASSERT_EQ(net.sectionsPerSegment.size(), 2u);
    EXPECT_GE(net.sectionsPerSegment[0], 20);  // a tenth of the 100 ps edge per section

    TransientEngine engine(net);
    ASSERT_TRUE(engine.prepare());
    ASSERT_TRUE(engine.setTimeStep(stepS));
    ASSERT_TRUE(engine.init());
    const double delayS = m.lengthM * m.line.delaySPerM();
    double crossingS = -1;
    double previous = 0;
    for (int k = 0; k < 1500; ++k) {
        ASSERT_TRUE(engine.step());
        const double v = engine.nodeVoltage(net.viewNode[0]);
        if (crossingS < 0 && v >= 0.5 && previous < 0.5) {
            crossingS = engine.timeS() - stepS * (v - 0.5) / (v - previous);
        }
        previous = v;
    }
    // Half the source swing arrives after the line delay plus half the edge.
    EXPECT_NEAR(crossingS, delayS + 50e-12, 0.02 * delayS);
    EXPECT_NEAR(previous, 1.0, 0.01);  // matched: no reflection, only the small DC loss
}

TEST(LineModel, SectionsFollowEdgeAndStep) {
    MatchedLine m;
    const Network fine = buildNetwork(m.circuit, m.board, 1e-12);
    const Network coarse = buildNetwork(m.circuit, m.board, 100e-12);
    EXPECT_GT(fine.sectionsPerSegment[0], coarse.sectionsPerSegment[0]);
    EXPECT_EQ(coarse.sectionsPerSegment[0], 4);  // 306 ps of line in steps of 100 ps
    // The pi-sections keep the line's total capacitance.
    double capF = 0;
    for (const double c : fine.nodeCapF) capF += c;
    EXPECT_NEAR(capF, m.line.cFPerM * m.lengthM, 1e-6 * capF);
}

}  // namespace
}  // namespace qor::simlib
