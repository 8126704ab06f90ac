#include "line_params.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "units.h"

namespace qor::simlib {
namespace {

constexpr double kPi = std::numbers::pi;

// Hammerstad-Jensen impedance of a zero-thickness microstrip in air, u = w/h.
double airImpedance(double u) {
    const double f = 6.0 + (2.0 * kPi - 6.0) * std::exp(-std::pow(30.666 / u, 0.7528));
    return kEta0Ohm / (2.0 * kPi) * std::log(f / u + std::sqrt(1.0 + 4.0 / (u * u)));
}

// Hammerstad-Jensen effective permittivity of a zero-thickness microstrip.
double effectivePermittivity(double u, double er) {
    const double a =
        1.0 + std::log((std::pow(u, 4) + std::pow(u / 52.0, 2)) / (std::pow(u, 4) + 0.432)) / 49.0 +
        std::log(1.0 + std::pow(u / 18.1, 3)) / 18.7;
    const double b = 0.564 * std::pow((er - 0.9) / (er + 3.0), 0.053);
    return (er + 1.0) / 2.0 + (er - 1.0) / 2.0 * std::pow(1.0 + 10.0 / u, -a * b);
}

// Centred stripline, Wheeler's formula with the effective-width correction for narrow strips.
double centredStriplineImpedance(double widthM, double spacingM, double er) {
    const double wb = widthM / spacingM;
    const double weff = wb < 0.35 ? wb - (0.35 - wb) * (0.35 - wb) : wb;
    return 30.0 * kPi / std::sqrt(er) / (std::max(weff, 1e-6) + 0.441);
}

LineParameters fromImpedance(double z0, double epsEff, double rOhmPerM) {
    LineParameters p;
    p.z0Ohm = z0;
    p.epsEff = epsEff;
    p.lHPerM = z0 * std::sqrt(epsEff) / kSpeedOfLightMPerS;
    p.cFPerM = std::sqrt(epsEff) / (kSpeedOfLightMPerS * z0);
    p.rOhmPerM = rOhmPerM;
    return p;
}

}  // namespace

bool BoardParameters::valid() const {
    return std::isfinite(relPermittivity) && relPermittivity >= 1.0 &&
           std::isfinite(resistivityOhmM) && resistivityOhmM > 0 &&
           std::isfinite(copperThicknessM) && copperThicknessM > 0 &&
           std::isfinite(boardThicknessM) && boardThicknessM > 0;
}

double LineParameters::delaySPerM() const {
    return std::sqrt(lHPerM * cFPerM);
}

CrossSection crossSectionAt(const BoardParameters& board, double centreZM) {
    const double boardM = board.boardThicknessM;
    const double t = board.copperThicknessM;
    const double z = std::clamp(centreZM, 0.0, boardM);
    // Smallest dielectric height kept, so that a trace given on a face still has a line model.
    const double minHeightM = std::max(boardM * 1e-3, 1e-6);
    CrossSection cs;
    const bool nearTop = boardM - z <= t;
    const bool nearBottom = z <= t;
    if (nearTop && (!nearBottom || z >= boardM / 2)) {
        cs.kind = LineKind::Microstrip;
        cs.heightM = std::max(z - t / 2, minHeightM);
        cs.planeZM = 0;
    } else if (nearBottom) {
        cs.kind = LineKind::Microstrip;
        cs.heightM = std::max(boardM - z - t / 2, minHeightM);
        cs.planeZM = boardM;
    } else {
        cs.kind = LineKind::Stripline;
        cs.heightM = std::max(z, minHeightM);
        cs.otherHeightM = std::max(boardM - z, minHeightM);
        cs.planeZM = z <= boardM / 2 ? 0 : boardM;
    }
    return cs;
}

LineParameters microstrip(double widthM, double heightM, double thicknessM, double er,
                          double resistivityOhmM) {
    const double u = widthM / heightM;
    double u1 = u;
    double ur = u;
    if (thicknessM > 0) {
        // Hammerstad-Jensen width correction for a strip of finite thickness.
        const double th = thicknessM / heightM;
        const double coth = 1.0 / std::tanh(std::sqrt(6.517 * u));
        const double du1 = th / kPi * std::log(1.0 + 4.0 * std::numbers::e / (th * coth * coth));
        const double dur = 0.5 * (1.0 + 1.0 / std::cosh(std::sqrt(er - 1.0))) * du1;
        u1 = u + du1;
        ur = u + dur;
    }
    const double zr = airImpedance(ur);
    const double epsR = effectivePermittivity(ur, er);
    const double z0 = zr / std::sqrt(epsR);
    const double z1 = airImpedance(u1);
    const double epsEff = epsR * (z1 / zr) * (z1 / zr);
    const double rOhmPerM = thicknessM > 0 ? resistivityOhmM / (widthM * thicknessM) : 0;
    return fromImpedance(z0, epsEff, rOhmPerM);
}

LineParameters stripline(double widthM, double toFace1M, double toFace2M, double thicknessM,
                         double er, double resistivityOhmM) {
    const double z1 = centredStriplineImpedance(widthM, 2 * toFace1M, er);
    const double z2 = centredStriplineImpedance(widthM, 2 * toFace2M, er);
    const double z0 = 2 * z1 * z2 / (z1 + z2);
    const double rOhmPerM = thicknessM > 0 ? resistivityOhmM / (widthM * thicknessM) : 0;
    return fromImpedance(z0, er, rOhmPerM);
}

LineParameters traceParameters(const BoardParameters& board, double widthM, double centreZM) {
    const CrossSection cs = crossSectionAt(board, centreZM);
    if (cs.kind == LineKind::Microstrip) {
        return microstrip(widthM, cs.heightM, board.copperThicknessM, board.relPermittivity,
                          board.resistivityOhmM);
    }
    return stripline(widthM, cs.heightM, cs.otherHeightM, board.copperThicknessM,
                     board.relPermittivity, board.resistivityOhmM);
}

}  // namespace qor::simlib
