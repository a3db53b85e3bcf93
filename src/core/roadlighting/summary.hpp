// The "Road lighting parameters:" and "Energy and cost parameters:" sections.
#pragma once

#include "writers/streams.hpp"
#include "core/roadlighting/road_geometry.hpp"
#include "app/computation_state.hpp"

namespace vl {

// Heading of "Road lighting parameters:" on both streams and the maintenance factor line.
void writeRoadLightingHeading(double q);

// The 68 lines of the section body on one stream.
void writeRoadLightingBody(Stream stream, const ResultMaps& maps);

// Utilization factor and the used and wasted flux fractions.
struct FluxUse {
    double utilizationFactor = 0;
    double usedLuminaireFluxPercent = 0;
    double wastedDownwardFluxPercent = 0;
};
FluxUse computeFluxUse(double averageIlluminance, const RoadInstallation& road, const EmissionData& emission);

// True when a tilted luminaire's photometry stops short of gamma 180 deg.
bool photometryIncompleteForTilt(double tilt, const PhotometryTable& photometry);

// Computes the flux use into maps and writes the energy section on both streams.
void writeEnergySection(const RoadInstallation& road, const EmissionData& emission, const PhotometryTable& photometry,
                        const LampSet& lamp, ResultMaps& maps);

}  // namespace vl
