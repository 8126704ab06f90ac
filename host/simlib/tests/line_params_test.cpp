// Per-unit-length values against published line figures, and the cross-section rule.
#include "line_params.h"

#include <gtest/gtest.h>

#include <cmath>

#include "units.h"

namespace qor::simlib {
namespace {

struct PublishedLine {
    const char* source;
    double widthM;
    double heightM;
    double thicknessM;
    double relPermittivity;
    double z0Ohm;
    double epsEff;  // 0 where the source gives none
};

// Published 50 ohm microstrip designs.
const PublishedLine kMicrostrips[] = {
    // Pozar, Microwave Engineering, example 3.7: W/d = 3.081 on d = 1.27 mm, er = 2.2.
    {"Pozar ex. 3.7", 3.913e-3, 1.27e-3, 0, 2.2, 50.0, 1.87},
    // Widely quoted 50 ohm line on 1.6 mm FR-4 (er = 4.4): about 3.0 mm wide.
    {"FR-4 1.6 mm", 3.06e-3, 1.6e-3, 0, 4.4, 50.0, 3.33},
};

TEST(LineParameters, MicrostripMatchesPublishedDesigns) {
    for (const PublishedLine& line : kMicrostrips) {
        SCOPED_TRACE(line.source);
        const LineParameters p =
            microstrip(line.widthM, line.heightM, line.thicknessM, line.relPermittivity, 1.7e-8);
        EXPECT_NEAR(p.z0Ohm, line.z0Ohm, 0.03 * line.z0Ohm);
        if (line.epsEff > 0) {
            EXPECT_NEAR(p.epsEff, line.epsEff, 0.03 * line.epsEff);
        }
        // L and C agree with Z0 and the phase velocity.
        EXPECT_NEAR(std::sqrt(p.lHPerM / p.cFPerM), p.z0Ohm, 1e-9 * p.z0Ohm);
        EXPECT_NEAR(p.delaySPerM() * kSpeedOfLightMPerS, std::sqrt(p.epsEff), 1e-9);
    }
}

TEST(LineParameters, StriplineMatchesPozarExample) {
    // Pozar example 3.5: 50 ohm stripline, b = 3.2 mm, er = 2.2, W = 2.66 mm.
    const LineParameters p = stripline(2.66e-3, 1.6e-3, 1.6e-3, 0, 2.2, 1.7e-8);
    EXPECT_NEAR(p.z0Ohm, 50.0, 1.5);
    EXPECT_DOUBLE_EQ(p.epsEff, 2.2);
}

TEST(LineParameters, ThicknessLowersImpedanceAndResistanceFollowsSection) {
    const LineParameters thin = microstrip(0.3e-3, 0.2e-3, 0, 4.5, 1.739e-8);
    const LineParameters thick = microstrip(0.3e-3, 0.2e-3, 35e-6, 4.5, 1.739e-8);
    EXPECT_LT(thick.z0Ohm, thin.z0Ohm);
    EXPECT_GT(thick.z0Ohm, 0.9 * thin.z0Ohm);
    EXPECT_NEAR(thick.rOhmPerM, 1.739e-8 / (0.3e-3 * 35e-6), 1e-9);
}

TEST(LineParameters, CrossSectionPicksReturnPlane) {
    BoardParameters board;
    board.boardThicknessM = 1.6e-3;
    board.copperThicknessM = 35e-6;
    const CrossSection top = crossSectionAt(board, 1.6e-3 - 17.5e-6);
    EXPECT_EQ(top.kind, LineKind::Microstrip);
    EXPECT_DOUBLE_EQ(top.planeZM, 0);
    EXPECT_NEAR(top.heightM, 1.6e-3 - 35e-6, 1e-12);

    const CrossSection bottom = crossSectionAt(board, 17.5e-6);
    EXPECT_EQ(bottom.kind, LineKind::Microstrip);
    EXPECT_DOUBLE_EQ(bottom.planeZM, 1.6e-3);

    const CrossSection inner = crossSectionAt(board, 0.5e-3);
    EXPECT_EQ(inner.kind, LineKind::Stripline);
    EXPECT_DOUBLE_EQ(inner.planeZM, 0);
    EXPECT_NEAR(inner.heightM + inner.otherHeightM, 1.6e-3, 1e-12);

    // A layer missing from the sandwich is passed at the full height: the top face.
    EXPECT_EQ(crossSectionAt(board, 2e-3).kind, LineKind::Microstrip);
}

}  // namespace
}  // namespace qor::simlib
