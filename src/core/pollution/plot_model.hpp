// The model road surface of the 3D plot images: a directional (mirrored) part and a
// lambertian part of the road's upward intensity, with the fluxes they carry.
#pragma once

#include <vector>

#include "core/pollution/pollution.hpp"

namespace vl {

struct PlotModel {
    std::vector<double> reflected;  // Rr(l, m) at [l + nC * m], cd/klm
    std::vector<double> total;      // Rt(l, m)
    double reflectedFluxPercent = 0;
    double diffusedFluxPercent = 0;
    double totalFluxPercent = 0;
    int firstRow = 0;               // 0-based gamma row of the images' first line
};

// Upward flux (lm per klm of lamp flux) of a table laid out like the photometry: each
// cell at or above the horizontal weighted by its band solid angle, the closing 360 deg
// plane left out.
double integrateTableFlux(const PhotometryTable& photometry, const std::vector<double>& table);

// "(" + I3(nC) + "F8.2)".
PlotModel buildPlotModel(const PollutionInputs& in, const DirectionalPollution& directional,
                         const AgedAsphaltReflectance& agedAsphalt);

}  // namespace vl
