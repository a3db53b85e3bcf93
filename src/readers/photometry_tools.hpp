// Operations on a photometry table that the readers and the converter share, whatever
// file the table came from: the step of an axis, the luminous flux, and turning the
// table about the vertical axis.
#pragma once

#include <vector>

#include "core/photometry/photometry_table.hpp"

namespace vl {

// The step between the angles when they are equally spaced (to 1e-9 deg), else 0.
double uniformStep(const std::vector<double>& angles);

// Flux of the table below and above the horizontal, in the unit of its intensities
// times sr (lm for cd, lm per klm of lamp flux for cd/klm). Each C plane below 360 deg
// spans half-way to its neighbours (around the circle); each gamma angle spans half-way
// to its neighbours, the first and the last to the ends of the axis; a band that
// crosses 90 deg is split there.
struct TableFlux {
    double downward = 0;
    double upward = 0;
    double total() const { return downward + upward; }
};
TableFlux integrateFlux(const PhotometryTable& table);

// One plane of a table turned about the vertical axis: the plane `from` of the table
// (0-based, below 360), or for a plane interpolated at C = 0 the blend
// (1 - weight) * plane `from` + weight * plane `other`.
struct TurnedPlane {
    double c = 0;
    int from = 0;
    int other = -1;
    double weight = 0;
};

// The planes below 360 deg of the axis `angles` (ascending, in [0, 360)) turned by
// `degrees` (C' = C + degrees modulo 360), ascending from 0. When no plane lands on
// C' = 0 one is interpolated linearly in angle between its two neighbours.
std::vector<TurnedPlane> turnedPlanes(const std::vector<double>& angles, double degrees);

// Turns the table (closing plane included) by `degrees` and closes it again at 360;
// cStep becomes the step of the new axis. Returns whether a plane was interpolated.
bool turnAzimuth(PhotometryTable& table, double degrees);

}  // namespace vl
