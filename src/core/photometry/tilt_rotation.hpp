// Directions between the luminaire's own frame and the installed (tilted) frame, and the
// intensity of the tilted luminaire in any direction of the road frame.
#pragma once

#include <span>
#include <vector>

#include "core/numeric/spline.hpp"
#include "core/photometry/photometry_table.hpp"
#include "core/refusal.hpp"

namespace vl {

struct Direction {
    double c = 0;      // azimuth of the half-plane, deg
    double gamma = 0;  // from the downward vertical, deg
};

// A direction the rotation cannot take (a negative gamma); the message is the line the
// run stops with.
class RotationError : public Refusal {
public:
    using Refusal::Refusal;
};

// Installed-frame direction of the luminaire-frame direction (c, gamma) for tilt t.
Direction rotang(double c, double gamma, double t);
// Luminaire-frame direction of the installed-frame direction (c, gamma); inverse of rotang.
Direction rotphot(double c, double gamma, double t);

// The photometry prepared for lookups: a bicubic spline over (C, gamma), natural ends.
// The table must outlive it.
class LuminaireIntensity {
public:
    LuminaireIntensity(const PhotometryTable& table, double tilt, EqualAbscissae onEqual = {});
    // Intensity (cd/klm, never negative) of the tilted luminaire towards the road-frame
    // direction (c, gamma).
    double at(double c, double gamma) const;
    // The same for a batch of road-frame directions (x1 = c, x2 = gamma), each value the
    // bits at() gives; a second gamma on the same c shares the column solve when the
    // luminaire is not tilted. The directions may be changed (a C beyond 360 turned back).
    // A RotationError leaves the lookups before the failing one evaluated.
    void atMany(std::span<TableLookup> lookups) const;
    // The same for a direction already in the luminaire's own frame.
    double untilted(Direction d) const;
    const PhotometryTable& table() const { return *table_; }
    double tilt() const { return tilt_; }

private:
    const PhotometryTable* table_;
    double tilt_;
    PreparedSplineTable2D spline_;
    EqualAbscissae onEqual_;
};

// The photometry as the tilted luminaire emits it into the road frame.
struct RotatedPhotometry {
    // For a tilt: the road-frame direction of every table direction, gamma outer and C
    // inner; a rotation error leaves it short at the failing direction.
    std::vector<Direction> rotatedDirections;
    // R(i, j) at [i + nC * j]: the intensity towards the table's own directions in the road
    // frame (the table itself at tilt 0).
    std::vector<double> rotatedIntensity;
};

// Fills `rotated` (a RotationError leaves what was computed before it).
void rotatePhotometry(const LuminaireIntensity& luminaire, RotatedPhotometry& rotated);

}  // namespace vl
