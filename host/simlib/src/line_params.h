// Per-unit-length parameters of a trace over its return plane, and the cross-section rule that
// picks the plane.
//
// Cross-section: the board's two outer faces are the only return planes the library knows of.
// A trace within one copper thickness of a face is a microstrip over the opposite face; any
// other trace is an offset stripline between the two faces.
#pragma once

namespace qor::simlib {

struct BoardParameters {
    double relPermittivity = 4.5;
    double resistivityOhmM = 1.739e-8;
    double copperThicknessM = 35e-6;
    double boardThicknessM = 1.5e-3;

    bool valid() const;
};

enum class LineKind { Microstrip, Stripline };

// Where the conductor sits relative to its return plane(s).
struct CrossSection {
    LineKind kind = LineKind::Microstrip;
    double heightM = 0;       // microstrip: dielectric height under the trace; stripline: to face 1
    double otherHeightM = 0;  // stripline: distance to the other face
    double planeZM = 0;       // height of the (nearest) return plane above the board bottom
};

CrossSection crossSectionAt(const BoardParameters& board, double centreZM);

struct LineParameters {
    double rOhmPerM = 0;
    double lHPerM = 0;
    double cFPerM = 0;
    double z0Ohm = 0;
    double epsEff = 1;

    double delaySPerM() const;
};

// Hammerstad-Jensen microstrip (1980): impedance and effective permittivity with the
// Hammerstad-Jensen thickness correction. Accurate to about 1 % for 0.01 < w/h < 100.
LineParameters microstrip(double widthM, double heightM, double thicknessM, double relPermittivity,
                          double resistivityOhmM);

// Centred stripline between planes spacingM apart (Wheeler's effective-width formula, zero
// thickness); an offset stripline is the parallel combination of the two centred lines whose
// spacing is twice each face distance (the usual asymmetric-stripline approximation).
LineParameters stripline(double widthM, double toFace1M, double toFace2M, double thicknessM,
                         double relPermittivity, double resistivityOhmM);

// Line parameters of a trace of the given width whose centre is centreZM above the board bottom.
LineParameters traceParameters(const BoardParameters& board, double widthM, double centreZM);

}  // namespace qor::simlib
