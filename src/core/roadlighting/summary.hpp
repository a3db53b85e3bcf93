// The figures of the road lighting summary and of the energy section.
#pragma once

#include "core/roadlighting/road_lighting.hpp"

namespace vl {

FluxUse computeFluxUse(double averageIlluminance, const RoadInstallation& road, const EmissionData& emission);

// True when a tilted luminaire's photometry stops short of gamma 180 deg.
bool photometryIncompleteForTilt(double tilt, const PhotometryTable& photometry);

// Flux use, installed flux and power per unit length, area and luminance, for the lamp.
EnergyFigures computeEnergyFigures(const RoadLightingResult& result, const RoadInstallation& road,
                                   const EmissionData& emission, const PhotometryTable& photometry,
                                   const LampSet& lamp);

}  // namespace vl
